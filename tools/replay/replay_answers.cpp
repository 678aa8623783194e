#include "replay/replay_answers.h"

#include <algorithm>

#include "bindings/key_bindings.h"
#include "host/game_controllers.h"
#include "sim/controller_steps.h"
#include "sim/recorded_answers.h"
#include "wheel/wheel.h"

namespace {

struct PassAnswers {
    const RecordedPass* pass = nullptr;
    Answering what = Answering::Everything;
    // The entry the next question takes its answer from.
    std::size_t next = 0;
    // The answer to Acquire after the read answered last.
    ControllerFault acquire;
};

PassAnswers passAnswers;

// Whether the entry answers a question: answering everything, any but the
// plug-in's state and the controllers kept with it; answering files, a
// file's.
bool answers(const RecordedCall& call) {
    return passAnswers.what == Answering::Everything ? answersQuestion(call)
                                                     : call.kind == RecordedCall::Kind::File;
}

// The pass's next answer, when it is of this kind; nullptr otherwise.
const RecordedCall* nextAnswer(RecordedCall::Kind kind) {
    PassAnswers& answering = passAnswers;
    const std::vector<RecordedCall>& calls = answering.pass->calls;
    while (answering.next < calls.size() && !answers(calls[answering.next])) {
        ++answering.next;
    }
    if (answering.next == calls.size()) {
        return nullptr;
    }
    const RecordedCall& call = calls[answering.next++];
    return call.kind == kind ? &call : nullptr;
}

void nativeAnswer(std::uint64_t hash, unsigned long long* result) {
    const RecordedCall* answer = nextAnswer(RecordedCall::Kind::Native);
    if (answer && answer->hash == hash) {
        result[0] = answer->result;
        for (std::size_t i = 0; answer->vectorResult && i < answer->vector.size(); ++i) {
            result[i] = answer->vector[i];
        }
    }
}

std::int16_t keyAnswer(int) {
    const RecordedCall* answer = nextAnswer(RecordedCall::Kind::Key);
    return answer ? answer->keyState : std::int16_t{0};
}

bool focusAnswer() {
    const RecordedCall* answer = nextAnswer(RecordedCall::Kind::Focus);
    return answer && answer->focused;
}

std::optional<FileAnswer> fileAnswer(FileQuestion question) {
    sim::recordFileQuestion(question);
    const RecordedCall* answer = nextAnswer(RecordedCall::Kind::File);
    if (!answer || answer->question != question) {
        return std::nullopt;
    }
    return FileAnswer{answer->answer, answer->text};
}

ControllerFault faultOf(std::uint8_t step, std::int32_t answer) {
    return {static_cast<ControllerStep>(step), answer};
}

const std::vector<RecordedController>* controllersAnswer(ControllerFault& lookFault) {
    sim::recordControllerQuestion(sim::Call::Kind::ControllerList, 0);
    const RecordedCall* answer = nextAnswer(RecordedCall::Kind::Controllers);
    if (answer) {
        lookFault = faultOf(answer->faultStep, answer->faultAnswer);
    }
    return answer ? &answer->controllers : nullptr;
}

// A read recorded as released failed as it says; a failed Acquire after it
// made its fault, so the read asked for it. One recorded before faults were
// wasn't acquired.
ControllerFault controllerReadAnswer(std::size_t place, ControllerInput& input) {
    sim::recordControllerQuestion(sim::Call::Kind::ControllerRead, place);
    const RecordedCall* answer = nextAnswer(RecordedCall::Kind::ControllerRead);
    const ControllerFault notAcquired{ControllerStep::Read, directInputAnswer::notAcquired};
    passAnswers.acquire = {};
    if (!answer || answer->controller != place) {
        return notAcquired;
    }
    const ControllerFault fault = faultOf(answer->faultStep, answer->faultAnswer);
    if (fault.step == ControllerStep::Acquire) {
        passAnswers.acquire = fault;
    }
    if (answer->released) {
        return fault.step == ControllerStep::Read || fault.step == ControllerStep::Poll
                   ? fault
                   : notAcquired;
    }
    input = ControllerInput{answer->axes, {}};
    for (const std::uint8_t button : answer->buttons) {
        input.buttons.set(button - 1u);
    }
    return {};
}

ControllerFault controllerAcquireAnswer(std::size_t) {
    return passAnswers.acquire;
}

// The plug-in looked again where the pass holds a list more than it has made
// so far.
bool controllersArrivedAnswer() {
    const auto recorded = std::ranges::count(passAnswers.pass->calls,
                                             RecordedCall::Kind::Controllers, &RecordedCall::kind);
    const auto made =
        std::ranges::count(sim::world.calls, sim::Call::Kind::ControllerList, &sim::Call::kind);
    return recorded > made;
}

ForceFeedbackStatus forcesOpenedAnswer(std::size_t place) {
    const RecordedCall* answer = nextAnswer(RecordedCall::Kind::ForcesOpened);
    return answer && answer->controller == place ? static_cast<ForceFeedbackStatus>(answer->answer)
                                                 : ForceFeedbackStatus::Failed;
}

} // namespace

bool answersQuestion(const RecordedCall& call) {
    return call.kind != RecordedCall::Kind::State &&
           call.kind != RecordedCall::Kind::ControllersKept && !forceOutput(call);
}

bool forceOutput(const RecordedCall& call) {
    return call.kind == RecordedCall::Kind::ForceSet ||
           call.kind == RecordedCall::Kind::ForcesStopped;
}

void restoreKeptControllers(const RecordedPass& first) {
    for (const RecordedCall& call : first.calls) {
        if (call.kind == RecordedCall::Kind::ControllersKept) {
            restoreControllers(call.controllers, faultOf(call.faultStep, call.faultAnswer));
            findWheelParts(bindingsState().keys);
        }
    }
}

void answerFrom(const DriveRecording& recording, const RecordedPass& pass, Answering what) {
    passAnswers = {&pass, what, 0, {}};
    sim::RecordedAnswers answers;
    if (what == Answering::Everything) {
        answers.native = nativeAnswer;
        answers.keyState = keyAnswer;
        answers.focus = focusAnswer;
        answers.controllers = controllersAnswer;
        answers.controllerRead = controllerReadAnswer;
        answers.controllerAcquire = controllerAcquireAnswer;
        answers.forcesOpened = forcesOpenedAnswer;
    }
    answers.controllersArrived = controllersArrivedAnswer;
    if (recording.filesKept) {
        answers.file = fileAnswer;
    }
    sim::answerWith(answers);
}

void stopAnswering() {
    sim::answerWith({});
    passAnswers = {};
}
