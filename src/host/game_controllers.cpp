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
    return controller;
}

void noteOpened(ControllersState& state, std::size_t place) {
    if (state.found[place].opened) {
        state.opened[state.openedCount++] = static_cast<std::uint8_t>(place);
    }
}

void find(std::span<const ControllerId> wanted, bool every) {
    // Its device goes with the list that named it.
    closeForceFeedback();
    ControllersState& state = controllersState;
    state = ControllersState{};
    state.count = listSystemControllers(state.found.data(), state.found.size());
    for (std::size_t i = 0; i < state.count; ++i) {
        GameController& controller = state.found[i];
        capName(controller.name);
        controller.opened = (every || std::ranges::find(wanted, controller.id) != wanted.end()) &&
                            openSystemController(i);
        noteOpened(state, i);
    }
    if (tapOpen()) [[unlikely]] {
        tapControllers(controllersTag, foundControllers());
    }
}

// Whether the controller could be read; when lost or not acquired, it is
// acquired again for a later pass.
bool readOne(std::size_t index, ControllerInput& input) {
    const SystemRead read = readSystemController(index, input);
    if (read == SystemRead::Lost || read == SystemRead::NotAcquired) {
        acquireSystemController(index);
    }
    return read == SystemRead::Read;
}

} // namespace

std::span<const GameController> foundControllers() {
    return std::span(controllersState.found).first(controllersState.count);
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

void readControllers() {
    ControllersState& state = controllersState;
    for (std::size_t place = 0; place < state.openedCount; ++place) {
        const std::size_t i = state.opened[place];
        GameController& controller = state.found[i];
        controller.released = !readOne(i, controller.input);
        if (controller.released) {
            controller.input = ControllerInput{};
        }
        if (tapOpen()) [[unlikely]] {
            tapControllerRead(i, controller);
        }
    }
}

void closeControllers() {
    closeForceFeedback();
    closeSystemControllers();
    controllersState = ControllersState{};
}

void restoreControllers(const std::vector<RecordedController>& kept) {
    ControllersState& state = controllersState;
    state = ControllersState{};
    state.count = std::min(kept.size(), controllersAtMost);
    std::transform(kept.begin(), kept.begin() + static_cast<std::ptrdiff_t>(state.count),
                   state.found.begin(), fromRecorded);
    for (std::size_t i = 0; i < state.count; ++i) {
        noteOpened(state, i);
    }
}

void tapKeptControllers() {
    if (controllersState.count > 0) {
        tapControllers(controllersKeptTag, foundControllers());
    }
}
