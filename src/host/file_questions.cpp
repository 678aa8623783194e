#include "host/file_questions.h"

#include "host/recorded_answers.h"
#include "host/tap.h"

static_assert(static_cast<std::uint8_t>(WriteFault::Other) ==
              fileAnswersAtMost[static_cast<std::size_t>(FileQuestion::Create)]);
static_assert(static_cast<std::uint8_t>(FileKind::Other) ==
              fileAnswersAtMost[static_cast<std::size_t>(FileQuestion::Kind)]);

namespace {

// The answer to a question other than a read, as a number; fallback is what
// the plug-in gets when answers are injected but none to this question.
template <typename Answer, typename Ask>
Answer asked(FileQuestion question, [[maybe_unused]] Answer fallback, Ask ask) {
#if !defined(_WIN32)
    if (recordedAnswers.file) [[unlikely]] {
        const std::optional<FileAnswer> answer = recordedAnswers.file(question);
        return answer ? static_cast<Answer>(answer->answer) : fallback;
    }
#endif
    const Answer answer = ask();
    if (tapOpen()) [[unlikely]] {
        tapFile(question, static_cast<std::uint8_t>(answer), {});
    }
    return answer;
}

} // namespace

FileRead readFileAsked(const std::string& path, std::size_t bytesAtMost) {
#if !defined(_WIN32)
    if (recordedAnswers.file) [[unlikely]] {
        const std::optional<FileAnswer> answer = recordedAnswers.file(FileQuestion::Read);
        FileRead read;
        if (answer) {
            read.answer = static_cast<ReadAnswer>(answer->answer);
            read.bytes = answer->bytes;
        }
        return read;
    }
#endif
    FileRead read = readFileUpTo(path, bytesAtMost);
    if (tapOpen()) [[unlikely]] {
        tapFile(FileQuestion::Read, static_cast<std::uint8_t>(read.answer), read.bytes);
    }
    return read;
}

FileKind fileKindAsked(const std::string& path) {
    return asked(FileQuestion::Kind, FileKind::Missing, [&] { return fileKind(path); });
}

bool readOnlyAsked(const std::string& path) {
    return asked(FileQuestion::ReadOnly, false, [&] { return readOnlyFile(path); });
}

bool sameFolderAsked(const std::string& a, const std::string& b) {
    return asked(FileQuestion::SameFolder, false, [&] { return sameFolder(a, b); });
}

// A write that isn't made when the answers are injected: a file created
// there has no handle, and writing to it or closing it is answered as
// injected.
WriteFault createOutputAsked(const std::string& path, OutputFile& file) {
    return asked(FileQuestion::Create, WriteFault::Other, [&] { return createOutput(path, file); });
}

WriteFault appendOutputAsked(const std::string& path, OutputFile& file) {
    return asked(FileQuestion::Append, WriteFault::Other, [&] { return appendOutput(path, file); });
}

WriteFault writeOutputAsked(const OutputFile& file, const void* data, std::size_t size) {
    return asked(FileQuestion::Write, WriteFault::Other,
                 [&] { return writeOutput(file, data, size); });
}

WriteFault flushOutputAsked(const OutputFile& file) {
    return asked(FileQuestion::Flush, WriteFault::Other, [&] { return flushOutput(file); });
}

WriteFault closeOutputAsked(OutputFile& file) {
    return asked(FileQuestion::Close, WriteFault::Other, [&] { return closeOutput(file); });
}

WriteFault replaceFileAsked(const std::string& from, const std::string& to) {
    return asked(FileQuestion::Replace, WriteFault::Other, [&] { return replaceFile(from, to); });
}

bool removeFileAsked(const std::string& path) {
    return asked(FileQuestion::Remove, WriteFault::Other, [&] {
               return removeFile(path) ? WriteFault::None : WriteFault::Other;
           }) == WriteFault::None;
}
