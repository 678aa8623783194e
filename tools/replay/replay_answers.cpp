#include "replay/replay_answers.h"

#include "bindings/key_bindings.h"
#include "host/game_controllers.h"
#include "sim/recorded_answers.h"
#include "sim/world.h"
#include "wheel/wheel.h"

namespace {

struct PassAnswers {
    const RecordedPass* pass = nullptr;
    Answering what = Answering::Everything;
    // The entry the next question takes its answer from.
    std::size_t next = 0;
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

const std::vector<RecordedController>* controllersAnswer() {
    sim::recordControllerQuestion(sim::Call::Kind::ControllerList, 0);
    const RecordedCall* answer = nextAnswer(RecordedCall::Kind::Controllers);
    return answer ? &answer->controllers : nullptr;
}

bool controllerReadAnswer(std::size_t place, ControllerInput& input) {
    sim::recordControllerQuestion(sim::Call::Kind::ControllerRead, place);
    const RecordedCall* answer = nextAnswer(RecordedCall::Kind::ControllerRead);
    if (!answer || answer->released || answer->controller != place) {
        return false;
    }
    input = ControllerInput{answer->axes, {}};
    for (const std::uint8_t button : answer->buttons) {
        input.buttons.set(button - 1u);
    }
    return true;
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
            restoreControllers(call.controllers);
            findWheelParts(bindingsState().keys);
        }
    }
}

void answerFrom(const DriveRecording& recording, const RecordedPass& pass, Answering what) {
    passAnswers = {&pass, what, 0};
    sim::RecordedAnswers answers;
    if (what == Answering::Everything) {
        answers.native = nativeAnswer;
        answers.keyState = keyAnswer;
        answers.focus = focusAnswer;
        answers.controllers = controllersAnswer;
        answers.controllerRead = controllerReadAnswer;
        answers.forcesOpened = forcesOpenedAnswer;
    }
    if (recording.filesKept) {
        answers.file = fileAnswer;
    }
    sim::answerWith(answers);
}

void stopAnswering() {
    sim::answerWith({});
    passAnswers = {};
}
