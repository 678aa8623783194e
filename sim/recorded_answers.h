// Answers given to the plug-in in the place of the stand-in's and the file
// system's, in the native build: a replay injects them here to answer each
// question with the one a recording kept. The native hook's definitions
// (native_hook.cpp) still take each of the plug-in's calls to the stand-in,
// which records and checks it; only what the plug-in gets back is the
// injected answer. A file question so answered doesn't reach the disk at all
// (the native file backend, files.h), nor a game controller's the world's
// controllers. The plug-in has no branch of its own for them.
#pragma once

#include <cstdint>
#include <vector>

#include "host/controller_faults.h"
#include "host/files.h"
#include "host/force_feedback.h"
#include "recording/recording.h"

struct ControllerInput;

namespace sim {

// Each null where the stand-in or the system answers.
struct RecordedAnswers {
    // A native call's result slots as the plug-in reads them: the low half
    // of the first, or a vector's three; the high halves are 0.
    void (*native)(std::uint64_t hash, unsigned long long* result) = nullptr;
    // GetAsyncKeyState's answer.
    std::int16_t (*keyState)(int key) = nullptr;
    // Whether the game's window has the focus.
    bool (*focus)() = nullptr;
    FileAnswers file = nullptr;
    // The game controllers found, each opened or not as it was, with the
    // fault of its opening; null when there is no answer to this question:
    // then none are found. The look's own fault in lookFault. No controller
    // of the world is opened or read.
    const std::vector<RecordedController>* (*controllers)(ControllerFault& lookFault) = nullptr;
    // A read of the controller at this place among those found: none, with
    // its input, or why it failed; then Acquire, when the read asks for it.
    ControllerFault (*controllerRead)(std::size_t index, ControllerInput& input) = nullptr;
    ControllerFault (*controllerAcquire)(std::size_t index) = nullptr;
    // Whether the plug-in looks for the game controllers again here, as it
    // did when a look off its thread found one arrived; the world answers
    // the rest of the controllers' questions in a replay through it, but
    // can't know when that look ended.
    bool (*controllersArrived)() = nullptr;
    // What opening force feedback on the controller at this place came to;
    // Failed when there is no answer. No effect of the world is played.
    ForceFeedbackStatus (*forcesOpened)(std::size_t place) = nullptr;
};

// The answers in use.
const RecordedAnswers& recordedAnswers();

// Gives these answers from now on; a table of nulls gives the stand-in's and
// the system's again.
void answerWith(const RecordedAnswers& answers);

} // namespace sim
