// Answers given to the plug-in in the place of the stand-in's and the file
// system's, in the native build only: a replay injects them here to answer
// each question with the one a recording kept. The plug-in's calls still
// cross to the stand-in, which records and checks each of them; only what
// the plug-in gets back is the injected answer. A file question that is
// answered so doesn't reach the disk at all, nor a game controller's the
// system's controllers. In the game nothing can be
// injected: the plug-in calls the hook and Windows directly.
#pragma once

#if !defined(_WIN32)
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "recording/recording.h"

struct ControllerInput;

// What a file question was answered: the answer's number, as FileQuestion
// gives its meaning, and after a read answered ReadAnswer::Read, its bytes.
struct FileAnswer {
    std::uint8_t answer = 0;
    std::string_view bytes;
};

// Each null where the stand-in or the system answers.
struct RecordedAnswers {
    // The low half of a native call's result, the only part the plug-in
    // reads; the high half is 0.
    std::uint32_t (*native)(std::uint64_t hash) = nullptr;
    // GetAsyncKeyState's answer.
    std::int16_t (*keyState)(int key) = nullptr;
    // Whether the game's window has the focus.
    bool (*focus)() = nullptr;
    // None when there is no answer to this question: then it is answered as
    // if the file weren't there, or the write failed.
    std::optional<FileAnswer> (*file)(FileQuestion question) = nullptr;
    // The game controllers found, each opened or not as it was; null when
    // there is no answer to this question: then none are found. No
    // controller of the system is opened or read.
    const std::vector<RecordedController>* (*controllers)() = nullptr;
    // A read of the controller at this place among those found: false when
    // it read as released, or there is no answer, else its input.
    bool (*controllerRead)(std::size_t index, ControllerInput& input) = nullptr;
};

// The answers in use, tested at each crossing.
extern RecordedAnswers recordedAnswers;

// Gives these answers from now on; a table of nulls gives the stand-in's and
// the system's again.
void answerWith(const RecordedAnswers& answers);

// A native call's injected answer, where the plug-in reads a result.
const unsigned long long* recordedResult(std::uint64_t hash);
#endif
