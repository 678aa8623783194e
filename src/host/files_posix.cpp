// The files natively, through POSIX's calls, for the native build's tests and
// tools.
#include "host/files.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Only Windows refuses an open because another program holds the file.
bool openRefusedAsHeld() {
    return false;
}

SharedFile openSharedForReading(const std::string& path) {
    return SharedFile(std::fopen(path.c_str(), "rb"));
}

bool removeFile(const std::string& path) {
    return std::remove(path.c_str()) == 0;
}

namespace {

WriteFault writeFault(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return WriteFault::DiskFull;
    case EROFS:
        return WriteFault::ReadOnlyDisk;
    case EACCES:
    case EPERM:
    case EISDIR:
        return WriteFault::AccessDenied;
    case EEXIST:
        return WriteFault::NameTaken;
    default:
        return WriteFault::Other;
    }
}

} // namespace

WriteFault createOutput(const std::string& path, OutputFile& file) {
    const int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (descriptor < 0) {
        return writeFault(errno);
    }
    file.handle = descriptor;
    return WriteFault::None;
}

WriteFault appendOutput(const std::string& path, OutputFile& file) {
    const int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (descriptor < 0) {
        return writeFault(errno);
    }
    file.handle = descriptor;
    return WriteFault::None;
}

WriteFault writeOutput(const OutputFile& file, const void* data, std::size_t size) {
    const auto* at = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = write(static_cast<int>(file.handle), at, size);
        if (written < 0 && errno != EINTR) {
            return writeFault(errno);
        }
        if (written == 0) {
            return WriteFault::DiskFull;
        }
        if (written > 0) {
            at += written;
            size -= static_cast<std::size_t>(written);
        }
    }
    return WriteFault::None;
}

WriteFault flushOutput(const OutputFile& file) {
    return fsync(static_cast<int>(file.handle)) == 0 ? WriteFault::None : writeFault(errno);
}

WriteFault closeOutput(OutputFile& file) {
    if (file.handle == -1) {
        return WriteFault::None;
    }
    const bool closed = close(static_cast<int>(file.handle)) == 0;
    file.handle = -1;
    return closed ? WriteFault::None : writeFault(errno);
}

WriteFault replaceFile(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0 ? WriteFault::None : writeFault(errno);
}

WriteFault renameToFree(const std::string& from, const std::string& to) {
    return renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0
               ? WriteFault::None
               : writeFault(errno);
}

FileKind fileKind(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        return FileKind::Missing;
    }
    return S_ISREG(status.st_mode)                              ? FileKind::Regular
           : S_ISDIR(status.st_mode)                            ? FileKind::Folder
           : S_ISFIFO(status.st_mode)                           ? FileKind::Fifo
           : S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode) ? FileKind::Device
                                                                : FileKind::Other;
}

bool readOnlyFile(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && (status.st_mode & 0222) == 0;
}

std::string& nativeModuleFolder() {
    static std::string folder = [] {
        char program[4096];
        const ssize_t length = readlink("/proc/self/exe", program, sizeof program - 1);
        if (length <= 0) {
            return std::string();
        }
        const std::string path(program, static_cast<std::size_t>(length));
        return path.substr(0, path.find_last_of('/'));
    }();
    return folder;
}

std::string moduleFolder() {
    return nativeModuleFolder();
}

std::string workingFolder() {
    char folder[4096];
    return getcwd(folder, sizeof folder) != nullptr ? std::string(folder) : std::string();
}

bool sameFolder(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::string inFolder(const std::string& folder, const std::string& name) {
    if (folder.empty()) {
        return name;
    }
    return folder + (folder.back() == '/' ? "" : "/") + name;
}

namespace {

FileAnswers fileAnswers = nullptr;

// A question the replay has no answer to reads as if the file weren't there
// (0: missing, not read-only, not the same folder), or the write failed.
std::uint8_t unanswered(FileQuestion question) {
    return question >= FileQuestion::Create ? static_cast<std::uint8_t>(WriteFault::Other) : 0;
}

} // namespace

void answerFileQuestionsWith(FileAnswers answers) {
    fileAnswers = answers;
}

std::uint8_t fileQuestionAnswer(FileQuestion question, DiskAnswer askDisk, const void* asked) {
    if (fileAnswers == nullptr) {
        return askDisk(asked);
    }
    const std::optional<FileAnswer> answer = fileAnswers(question);
    return answer ? answer->answer : unanswered(question);
}

FileRead fileReadAnswer(const std::string& path, std::size_t bytesAtMost) {
    if (fileAnswers == nullptr) {
        return readFileUpTo(path, bytesAtMost);
    }
    const std::optional<FileAnswer> answer = fileAnswers(FileQuestion::Read);
    FileRead read;
    read.answer = answer ? static_cast<ReadAnswer>(answer->answer) : ReadAnswer::Missing;
    read.bytes = answer ? answer->bytes : std::string_view();
    return read;
}
