#include "host/file_questions.h"

#include "host/tap.h"

static_assert(static_cast<std::uint8_t>(WriteFault::Other) ==
              fileAnswersAtMost[static_cast<std::size_t>(FileQuestion::Create)]);
static_assert(static_cast<std::uint8_t>(FileKind::Other) ==
              fileAnswersAtMost[static_cast<std::size_t>(FileQuestion::Kind)]);

namespace {

// The answer to a question other than a read, which ask gives when the disk
// answers.
template <typename Ask>
auto asked(FileQuestion question, const Ask& ask) {
    using Answer = decltype(ask());
    const DiskAnswer askDisk = [](const void* asking) {
        return static_cast<std::uint8_t>((*static_cast<const Ask*>(asking))());
    };
    const auto answer = static_cast<Answer>(fileQuestionAnswer(question, askDisk, &ask));
    if (tapOpen()) [[unlikely]] {
        tapFile(question, static_cast<std::uint8_t>(answer), {});
    }
    return answer;
}

} // namespace

FileRead readFileAsked(const std::string& path, std::size_t bytesAtMost) {
    FileRead read = fileReadAnswer(path, bytesAtMost);
    if (tapOpen()) [[unlikely]] {
        tapFile(FileQuestion::Read, static_cast<std::uint8_t>(read.answer), read.bytes);
    }
    return read;
}

FileKind fileKindAsked(const std::string& path) {
    return asked(FileQuestion::Kind, [&] { return fileKind(path); });
}

bool readOnlyAsked(const std::string& path) {
    return asked(FileQuestion::ReadOnly, [&] { return readOnlyFile(path); });
}

bool sameFolderAsked(const std::string& a, const std::string& b) {
    return asked(FileQuestion::SameFolder, [&] { return sameFolder(a, b); });
}

// A write that isn't made when a replay answers: a file created there has no
// handle, and writing to it or closing it is answered by the replay too.
WriteFault createOutputAsked(const std::string& path, OutputFile& file) {
    return asked(FileQuestion::Create, [&] { return createOutput(path, file); });
}

WriteFault appendOutputAsked(const std::string& path, OutputFile& file) {
    return asked(FileQuestion::Append, [&] { return appendOutput(path, file); });
}

WriteFault writeOutputAsked(const OutputFile& file, const void* data, std::size_t size) {
    return asked(FileQuestion::Write, [&] { return writeOutput(file, data, size); });
}

WriteFault flushOutputAsked(const OutputFile& file) {
    return asked(FileQuestion::Flush, [&] { return flushOutput(file); });
}

WriteFault closeOutputAsked(OutputFile& file) {
    return asked(FileQuestion::Close, [&] { return closeOutput(file); });
}

WriteFault replaceFileAsked(const std::string& from, const std::string& to) {
    return asked(FileQuestion::Replace, [&] { return replaceFile(from, to); });
}

bool removeFileAsked(const std::string& path) {
    return asked(FileQuestion::Remove, [&] {
               return removeFile(path) ? WriteFault::None : WriteFault::Other;
           }) == WriteFault::None;
}
