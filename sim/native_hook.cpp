// The hook's entry points, the Windows calls and DirectInput's for the native
// build: the plug-in runs on the test's own stack, and a wait simply moves
// the world on by the frames it covers. While a replay injects answers
// (recorded_answers.h), each call still reaches the world, which records and
// checks it, and the plug-in gets the injected answer.
#include "host/controller_system.h"
#include "host/force_system.h"
#include "host/game_controllers.h"
#include "host/script_hook.h"
#include "host/windows_api.h"
#include "sim/controller_steps.h"
#include "sim/recorded_answers.h"

namespace {

// The controllers a replay answered the last list with, for their opening.
const std::vector<RecordedController>* answeredControllers = nullptr;

} // namespace

extern "C" {

void scriptRegister(HINSTANCE__*, void (*scriptMain)()) {
    sim::world.registeredScript = scriptMain;
}

void scriptUnregister(HINSTANCE__*) {
    sim::world.registeredScript = nullptr;
}

void scriptWait(HookDword milliseconds) {
    sim::recordWait(milliseconds);
    sim::advanceFrames(sim::framesCovering(milliseconds));
}

void nativeInit(unsigned long long hash) {
    sim::beginNative(hash);
}

void nativePush64(unsigned long long value) {
    sim::pushArgument(value);
}

unsigned long long* nativeCall() {
    const std::uint64_t hash = sim::world.openHash;
    unsigned long long* const result = sim::callNative();
    if (sim::recordedAnswers().native) {
        result[0] = result[1] = result[2] = 0;
        sim::recordedAnswers().native(hash, result);
    }
    return result;
}

short GetAsyncKeyState(int key) {
    const short state = sim::keyState(key);
    return sim::recordedAnswers().keyState ? sim::recordedAnswers().keyState(key) : state;
}

// An injected focus puts the game's window in front, or another's.
HWND GetForegroundWindow() {
    void* window = sim::foregroundWindow();
    if (sim::recordedAnswers().focus) {
        window = reinterpret_cast<void*>(sim::recordedAnswers().focus() ? sim::gameWindow
                                                                        : sim::otherWindow);
    }
    return static_cast<HWND>(window);
}

DWORD GetWindowThreadProcessId(HWND window, DWORD* processId) {
    return sim::windowThreadProcessId(window, processId);
}

DWORD GetCurrentProcessId() {
    return sim::world.processId;
}
}

std::size_t listSystemControllers(GameController* list, std::size_t most, ControllerFault& fault) {
    if (!sim::recordedAnswers().controllers) {
        return sim::listSystemControllers({list, most}, fault);
    }
    fault = {};
    answeredControllers = sim::recordedAnswers().controllers(fault);
    const std::size_t count =
        answeredControllers ? std::min(answeredControllers->size(), most) : std::size_t{0};
    for (std::size_t i = 0; i < count; ++i) {
        const RecordedController& kept = (*answeredControllers)[i];
        list[i].id = {kept.vendor, kept.product};
        list[i].type = static_cast<ControllerType>(kept.type);
        list[i].name = kept.name;
        const ControllerFault opening{static_cast<ControllerStep>(kept.faultStep),
                                      kept.faultAnswer};
        list[i].fault = opening.step == ControllerStep::Create ? opening : ControllerFault{};
    }
    return count;
}

// Answered, the opening as it went: a controller not opened for a reason a
// recording made before faults doesn't keep failed to take the data format.
ControllerFault openSystemController(std::size_t index) {
    if (!sim::recordedAnswers().controllers) {
        return sim::openSystemController(index);
    }
    const RecordedController& kept = (*answeredControllers)[index];
    const ControllerFault opening{static_cast<ControllerStep>(kept.faultStep), kept.faultAnswer};
    return kept.opened || opening.step != ControllerStep::None
               ? opening
               : ControllerFault{ControllerStep::Format, directInputAnswer::invalidArgument};
}

ControllerFault readSystemController(std::size_t index, ControllerInput& input) {
    if (sim::recordedAnswers().controllerRead) {
        return sim::recordedAnswers().controllerRead(index, input);
    }
    return sim::readSystemController(index, input);
}

ControllerFault acquireSystemController(std::size_t index) {
    if (sim::recordedAnswers().controllerAcquire) {
        return sim::recordedAnswers().controllerAcquire(index);
    }
    return sim::acquireSystemController(index);
}

bool systemControllersArrived() {
    if (sim::recordedAnswers().controllersArrived) {
        return sim::recordedAnswers().controllersArrived();
    }
    return sim::systemControllersArrived();
}

// Answered from a recording, no controller of the world was opened.
void closeSystemControllers() {
    if (!sim::recordedAnswers().controllers) {
        sim::closeSystemControllers();
    }
}

// Answered from a recording, no effect of the world plays: the calls are
// only recorded, for the replay to compare.
ForceFeedbackStatus openSystemForces(std::size_t place, std::size_t axis, std::int32_t gain) {
    const ForceFeedbackStatus status = sim::recordedAnswers().forcesOpened
                                           ? sim::recordedAnswers().forcesOpened(place)
                                           : sim::openSystemForces(place, axis, gain);
    sim::recordForcesOpened(place, gain / 100, status);
    return status;
}

void setSystemForce(ForceEffect effect, const ForceParameters& parameters) {
    sim::recordForceSet(effect, parameters);
    if (!sim::recordedAnswers().forcesOpened) {
        sim::setEffect(effect, parameters);
    }
}

void stopSystemForces() {
    sim::recordForcesStopped();
    if (!sim::recordedAnswers().forcesOpened) {
        sim::forceCommand(sim::ForceCommand::StopAll);
    }
}

void closeSystemForces() {
    if (!sim::recordedAnswers().forcesOpened) {
        sim::releaseForces();
    }
}
