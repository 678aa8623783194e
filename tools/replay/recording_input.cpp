#include "replay/recording_input.h"

#include <filesystem>
#include <new>

#include "host/files.h"

namespace fs = std::filesystem;

namespace {

// Reads from the file until bytes is full; false when it ends before.
bool fill(std::FILE* file, std::string& bytes, std::size_t from) {
    while (from < bytes.size()) {
        const std::size_t got = std::fread(bytes.data() + from, 1, bytes.size() - from, file);
        if (got == 0) {
            return false;
        }
        from += got;
    }
    return true;
}

// What kind of file path is and its size, without opening it: opening a FIFO
// would wait for a writer.
std::string kindProblem(const std::string& path, std::uintmax_t& size) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (status.type() == fs::file_type::not_found) {
        return "no such file";
    }
    if (error) {
        return error.message();
    }
    if (fs::is_directory(status)) {
        return "it is a folder";
    }
    if (!fs::is_regular_file(status)) {
        return "it is not a regular file";
    }
    size = fs::file_size(path, error);
    return error ? error.message() : std::string();
}

} // namespace

RecordingRead readRecordingFile(const std::string& path, HeaderCheck checkHeader) {
    RecordingRead read;
    std::uintmax_t size = 0;
    if (const std::string problem = kindProblem(path, size); !problem.empty()) {
        read.error = "cannot read " + path + ": " + problem;
        return read;
    }
    const SharedFile file = openSharedForReading(path);
    std::string bytes(std::min<std::uintmax_t>(size, recordingLeadBytes), '\0');
    if (!file || !fill(file.get(), bytes, 0)) {
        read.error = "cannot read " + path;
        return read;
    }
    read.error = recordingLeadProblem(bytes, size);
    if (read.error.empty()) {
        const std::size_t head = bytes.size();
        bytes.resize(
            std::min<std::uintmax_t>(size, recordingLeadBytes + recordingHeaderBytesAtMost));
        if (!fill(file.get(), bytes, head)) {
            read.error = "cannot read " + path;
            return read;
        }
        read = readRecordingHeader(bytes);
    }
    if (read.error.empty()) {
        read.error = checkHeader(read.recording);
    }
    if (!read.error.empty()) {
        read.error = path + ": " + read.error;
        return read;
    }
    // The lead checked the size against the length it announces, so the
    // whole file is one recording's.
    const std::size_t head = bytes.size();
    try {
        bytes.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        read.error =
            "cannot read " + path + ": its " + std::to_string(size) + " bytes don't fit in memory";
        return read;
    }
    if (!fill(file.get(), bytes, head)) {
        read.error = "cannot read " + path;
        return read;
    }
    readRecordingBody(std::move(bytes), read);
    if (!read.error.empty()) {
        read.error = path + ": " + read.error;
    }
    return read;
}
