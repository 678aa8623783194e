// The files on Windows, through its own calls: paths in UTF-16, files shared
// with other programs as Windows shares them.
#include "host/files.h"

#include <share.h>
#include <windows.h>

// The image base of whichever module this is linked into.
extern "C" IMAGE_DOS_HEADER __ImageBase;

bool openRefusedAsHeld() {
    const DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

std::wstring wide(std::string_view text) {
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(),
                        length);
    return result;
}

std::string utf8(std::wstring_view text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(),
                        length, nullptr, nullptr);
    return result;
}

namespace {

// Asks a Windows call that fills a buffer until the buffer is big enough;
// paths may be longer than MAX_PATH.
template <typename Fill>
std::wstring filled(Fill fill) {
    std::wstring text(MAX_PATH, L'\0');
    while (text.size() <= 32768) {
        const DWORD length = fill(text.data(), static_cast<DWORD>(text.size()));
        if (length == 0) {
            return {};
        }
        if (length < text.size()) {
            text.resize(length);
            return text;
        }
        text.resize(text.size() * 2);
    }
    return {};
}

WriteFault writeFault(DWORD error) {
    switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return WriteFault::DiskFull;
    case ERROR_WRITE_PROTECT:
        return WriteFault::ReadOnlyDisk;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return WriteFault::AccessDenied;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
        return WriteFault::NameTaken;
    default:
        return WriteFault::Other;
    }
}

HANDLE handleOf(const OutputFile& file) {
    return reinterpret_cast<HANDLE>(file.handle);
}

std::string withoutLastPart(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? std::string() : path.substr(0, separator);
}

} // namespace

SharedFile openSharedForReading(const std::string& path) {
    // Denies other openers neither reading nor writing.
    return SharedFile(_wfsopen(wide(path).c_str(), L"rb", _SH_DENYNO));
}

WriteFault replaceFile(const std::string& from, const std::string& to) {
    return MoveFileExW(wide(from).c_str(), wide(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0
               ? WriteFault::None
               : writeFault(GetLastError());
}

bool removeFile(const std::string& path) {
    return DeleteFileW(wide(path).c_str()) != 0;
}

WriteFault createOutput(const std::string& path, OutputFile& file) {
    const HANDLE handle = CreateFileW(wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return writeFault(GetLastError());
    }
    file.handle = reinterpret_cast<std::intptr_t>(handle);
    return WriteFault::None;
}

WriteFault appendOutput(const std::string& path, OutputFile& file) {
    const HANDLE handle = CreateFileW(wide(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return writeFault(GetLastError());
    }
    file.handle = reinterpret_cast<std::intptr_t>(handle);
    return WriteFault::None;
}

// The plug-in's writes are far below 4 GiB. A write that succeeds with fewer
// bytes than asked ran out of room, as on a nearly full disk under Wine.
WriteFault writeOutput(const OutputFile& file, const void* data, std::size_t size) {
    DWORD written = 0;
    if (!WriteFile(handleOf(file), data, static_cast<DWORD>(size), &written, nullptr)) {
        return writeFault(GetLastError());
    }
    return written == size ? WriteFault::None : WriteFault::DiskFull;
}

WriteFault flushOutput(const OutputFile& file) {
    return FlushFileBuffers(handleOf(file)) != 0 ? WriteFault::None : writeFault(GetLastError());
}

WriteFault closeOutput(OutputFile& file) {
    if (file.handle == -1) {
        return WriteFault::None;
    }
    const bool closed = CloseHandle(handleOf(file)) != 0;
    file.handle = -1;
    return closed ? WriteFault::None : writeFault(GetLastError());
}

WriteFault renameToFree(const std::string& from, const std::string& to) {
    // Without MOVEFILE_REPLACE_EXISTING, a file at to fails the move.
    return MoveFileExW(wide(from).c_str(), wide(to).c_str(), 0) != 0 ? WriteFault::None
                                                                     : writeFault(GetLastError());
}

FileKind fileKind(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return FileKind::Missing;
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileKind::Folder
           : (attributes & FILE_ATTRIBUTE_DEVICE) != 0  ? FileKind::Device
                                                        : FileKind::Regular;
}

bool readOnlyFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

std::string moduleFolder() {
    const auto module = reinterpret_cast<HMODULE>(&__ImageBase);
    return withoutLastPart(utf8(filled([module](wchar_t* buffer, DWORD size) {
        return GetModuleFileNameW(module, buffer, size);
    })));
}

std::string workingFolder() {
    return utf8(filled([](wchar_t* buffer, DWORD size) {
        const DWORD length = GetCurrentDirectoryW(size, buffer);
        // A buffer too small is answered with the size it takes.
        return length > size ? size : length;
    }));
}

bool sameFolder(const std::string& a, const std::string& b) {
    const auto identity = [](const std::string& folder, BY_HANDLE_FILE_INFORMATION& info) {
        const HANDLE handle = CreateFileW(
            wide(folder).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            return false;
        }
        const bool known = GetFileInformationByHandle(handle, &info) != 0;
        CloseHandle(handle);
        return known;
    };
    BY_HANDLE_FILE_INFORMATION first{};
    BY_HANDLE_FILE_INFORMATION second{};
    return identity(a, first) && identity(b, second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh &&
           first.nFileIndexLow == second.nFileIndexLow;
}

std::string inFolder(const std::string& folder, const std::string& name) {
    if (folder.empty()) {
        return name;
    }
    return folder + (folder.back() == '\\' || folder.back() == '/' ? "" : "\\") + name;
}

std::uint8_t fileQuestionAnswer(FileQuestion, DiskAnswer askDisk, const void* asked) {
    return askDisk(asked);
}

FileRead fileReadAnswer(const std::string& path, std::size_t bytesAtMost) {
    return readFileUpTo(path, bytesAtMost);
}
