#include "host/game_controllers.h"

#include <algorithm>

#include "host/controller_system.h"
#include "host/force_feedback.h"
#include "host/tap.h"

namespace {

ControllersState controllersState;

// Cut between two UTF-8 characters.
void capName(std::string& name) {
    if (name.size() <= controllerNameBytesAtMost) {
        return;
    }
    std::size_t end = controllerNameBytesAtMost;
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) {
        --end;
    }
    name.resize(end);
}

GameController fromRecorded(const RecordedController& kept) {
    GameController controller;
    controller.id = {kept.vendor, kept.product};
    controller.type = static_cast<ControllerType>(kept.type);
    controller.name = kept.name;
    controller.opened = kept.opened;
    controller.fault = {static_cast<ControllerStep>(kept.faultStep), kept.faultAnswer};
    return controller;
}

void noteOpened(ControllersState& state, std::size_t place) {
    if (state.found[place].opened) {
        state.opened[state.openedCount++] = static_cast<std::uint8_t>(place);
    }
}

// A controller whose device couldn't be made, or that can't be set up, isn't
// opened; one whose Acquire failed is, and is acquired again as it is read.
void find(std::span<const ControllerId> wanted, bool every) {
    // Its device goes with the list that named it.
    closeForceFeedback();
    ControllersState& state = controllersState;
    state = ControllersState{};
    state.count = listSystemControllers(state.found.data(), state.found.size(), state.systemFault);
    for (std::size_t i = 0; i < state.count; ++i) {
        GameController& controller = state.found[i];
        capName(controller.name);
        if (controller.fault.step == ControllerStep::None &&
            (every || std::ranges::find(wanted, controller.id) != wanted.end())) {
            controller.fault = openSystemController(i);
            controller.opened = controller.fault.step == ControllerStep::None ||
                                controller.fault.step == ControllerStep::Acquire;
        }
        noteOpened(state, i);
    }
    if (tapOpen()) [[unlikely]] {
        tapControllers(controllersTag, foundControllers(), state.systemFault);
    }
}

// Lost or not acquired, the controller is acquired again for a later pass,
// and a failed Acquire is then the fault.
ControllerFault acquireAgain(std::size_t index, ControllerFault read) {
    const ControllerFault acquire = acquireSystemController(index);
    return acquire.step == ControllerStep::None ? read : acquire;
}

// Each opened controller once. Apart, so that a pass with none opened does
// no more than look at their count.
[[gnu::noinline]] ControllersRead readOpened() {
    ControllersState& state = controllersState;
    ControllersRead read = ControllersRead::Read;
    for (std::size_t place = 0; place < state.openedCount; ++place) {
        const std::size_t i = state.opened[place];
        GameController& controller = state.found[i];
        const ControllerFault fault = readSystemController(i, controller.input);
        if (fault.step == ControllerStep::None) [[likely]] {
            controller.released = false;
            controller.fault = {};
        } else {
            read = !controller.released ? ControllersRead::FailedAnew
                                        : std::max(read, ControllersRead::Failed);
            controller.fault = acquiredAgainAfter(fault) ? acquireAgain(i, fault) : fault;
            controller.released = true;
            controller.input = ControllerInput{};
        }
        if (tapOpen()) [[unlikely]] {
            tapControllerRead(i, controller);
        }
    }
    return read;
}

} // namespace

std::span<const GameController> foundControllers() {
    return std::span(controllersState.found).first(controllersState.count);
}

ControllerFault controllersSystemFault() {
    return controllersState.systemFault;
}

bool controllersArrived() {
    return systemControllersArrived();
}

void findControllers(std::span<const ControllerId> wanted) {
    find(wanted, false);
}

void findEveryController() {
    find({}, true);
}

const GameController* controllerOf(ControllerId id) {
    for (const GameController& controller : foundControllers()) {
        if (controller.opened && controller.id == id) {
            return &controller;
        }
    }
    return nullptr;
}

ControllersRead readControllers() {
    return controllersState.openedCount != 0 ? readOpened() : ControllersRead::Read;
}

void closeControllers() {
    closeForceFeedback();
    closeSystemControllers();
    controllersState = ControllersState{};
}

void restoreControllers(const std::vector<RecordedController>& kept, ControllerFault systemFault) {
    ControllersState& state = controllersState;
    state = ControllersState{};
    state.systemFault = systemFault;
    state.count = std::min(kept.size(), controllersAtMost);
    std::transform(kept.begin(), kept.begin() + static_cast<std::ptrdiff_t>(state.count),
                   state.found.begin(), fromRecorded);
    for (std::size_t i = 0; i < state.count; ++i) {
        noteOpened(state, i);
    }
}

void tapKeptControllers() {
    if (controllersState.count > 0 || controllersState.systemFault.step != ControllerStep::None) {
        tapControllers(controllersKeptTag, foundControllers(), controllersState.systemFault);
    }
}
