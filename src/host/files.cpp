// What the two file backends (files_windows.cpp, files_posix.cpp) share.
#include "host/files.h"

#include <cerrno>

FileRead readFileUpTo(const std::string& path, std::size_t bytesAtMost) {
    FileRead read;
    const FileKind kind = fileKind(path);
    if (kind != FileKind::Missing && kind != FileKind::Regular) {
        read.answer = ReadAnswer::NotAFile;
        return read;
    }
    errno = 0;
    const SharedFile file = openSharedForReading(path);
    if (!file) {
        read.error = errno;
        read.answer = kind == FileKind::Missing || errno == ENOENT ? ReadAnswer::Missing
                      : openRefusedAsHeld()                        ? ReadAnswer::InUse
                                                                   : ReadAnswer::Denied;
        return read;
    }
    char chunk[4096];
    for (std::size_t got = 1; got > 0 && read.bytes.size() <= bytesAtMost;) {
        got = std::fread(chunk, 1, sizeof chunk, file.get());
        read.bytes.append(chunk, got);
    }
    if (std::ferror(file.get())) {
        read.error = errno;
        read.answer = ReadAnswer::Failed;
    } else {
        read.answer = read.bytes.size() > bytesAtMost ? ReadAnswer::TooLarge : ReadAnswer::Read;
    }
    if (read.answer != ReadAnswer::Read) {
        read.bytes.clear();
    }
    return read;
}

std::string_view writeFaultText(WriteFault fault) {
    switch (fault) {
    case WriteFault::DiskFull:
        return "the disk is full";
    case WriteFault::ReadOnlyDisk:
        return "the disk is read-only";
    case WriteFault::AccessDenied:
        return "access is denied";
    case WriteFault::NameTaken:
        return "no free file name";
    case WriteFault::None:
    case WriteFault::Other:
        break;
    }
    return "a write error";
}
