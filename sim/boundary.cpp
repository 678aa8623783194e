// The hook's side of the boundary: the native-call protocol, the key-state
// and focus queries, and the world's record of every call.
#include <algorithm>
#include <string_view>

#include "sim/catalogue.h"
#include "sim/slots.h"

namespace sim {

void fault(const std::string& message) {
    world.faults.push_back(message);
}

namespace {

// Records a call that is not a native's, made in the current frame.
void record(Call::Kind kind, std::int64_t value, std::int16_t keyState = 0) {
    if (world.recording) {
        Call call;
        call.kind = kind;
        call.frame = world.frame;
        call.value = value;
        call.keyState = keyState;
        world.calls.push_back(std::move(call));
    }
}

} // namespace

void beginNative(std::uint64_t hash) {
    if (world.callOpen) {
        fault("nativeInit " + hashText(hash) + " while " + hashText(world.openHash) +
              " is still open");
    }
    if (!findNative(hash)) {
        fault("nativeInit " + hashText(hash) + ": a native this world doesn't know");
    }
    world.callOpen = true;
    world.openHash = hash;
    world.lastHash = hash;
    world.pushedCount = 0;
}

void pushArgument(std::uint64_t value) {
    if (!world.callOpen) {
        fault("nativePush64 without nativeInit (the last call began was " +
              hashText(world.lastHash) + ")");
        return;
    }
    if (world.pushedCount == maxArguments) {
        fault("nativePush64: too many arguments for " + hashText(world.openHash));
        return;
    }
    world.pushed[world.pushedCount++] = value;
}

unsigned long long* callNative() {
    world.resultSlots.fill(0);
    if (!world.callOpen) {
        fault("nativeCall without nativeInit (the last call began was " + hashText(world.lastHash) +
              ")");
        return world.resultSlots.data();
    }
    world.callOpen = false;
    const std::uint64_t hash = world.openHash;
    const NativeEntry* entry = findNative(hash);

    Call call;
    call.kind = Call::Kind::Native;
    call.frame = world.frame;
    call.hash = hash;
    call.arguments = world.pushed;
    call.argumentCount = world.pushedCount;

    if (entry && parameterCount(*entry) != world.pushedCount) {
        fault(hashText(hash) + " called with " + std::to_string(world.pushedCount) +
              " arguments, but " + signatureText(*entry) + " reads " +
              std::to_string(parameterCount(*entry)));
    } else if (entry) {
        if (takesText(*entry)) {
            call.textArgument = true;
            call.text = slotText(world.pushed[0]);
        }
        entry->run(world.pushed.data());
    }
    call.result = world.resultSlots[0];
    call.vectorResult = entry && std::string_view(entry->result) == "Vector3";
    std::copy_n(world.resultSlots.begin(), call.vector.size(), call.vector.begin());
    if (world.recording) {
        world.calls.push_back(std::move(call));
    }
    return world.resultSlots.data();
}

std::int16_t keyState(int key) {
    std::int16_t state = 0;
    if (key > 0 && key < keyCount) {
        // Bit 15: down now. Bit 0: pressed since the previous query, as
        // Windows reports it; callers must ignore it.
        state = static_cast<std::int16_t>((world.keys[key] ? 0x8000 : 0) |
                                          (world.pressedSinceQuery[key] ? 1 : 0));
        world.pressedSinceQuery[key] = false;
    }
    record(Call::Kind::KeyQuery, key, state);
    return state;
}

void* foregroundWindow() {
    const std::uintptr_t window = world.gameFocused ? gameWindow : otherWindow;
    record(Call::Kind::ForegroundQuery, static_cast<std::int64_t>(window));
    return reinterpret_cast<void*>(window);
}

std::uint32_t windowThreadProcessId(void* window, std::uint32_t* processId) {
    const auto handle = reinterpret_cast<std::uintptr_t>(window);
    const std::uint32_t process = handle == gameWindow    ? world.processId
                                  : handle == otherWindow ? otherProcessId
                                                          : 0;
    if (processId) {
        *processId = process;
    }
    record(Call::Kind::WindowProcessQuery, static_cast<std::int64_t>(handle));
    // The thread that made the window; 0 for no window.
    return process == 0 ? 0 : process + 4;
}

namespace {

// A controller's place in the last list, as the plug-in names it; -1 for one
// not listed.
std::int64_t placeOf(int index) {
    const auto found = std::ranges::find(world.controllersListed, index);
    return found == world.controllersListed.end() ? -1 : found - world.controllersListed.begin();
}

void recordController(Call::Kind kind, int index, bool answer) {
    record(kind, placeOf(index));
    if (world.recording) {
        world.calls.back().result = answer ? 1 : 0;
    }
}

Controller* controllerAt(int index) {
    return index >= 0 && index < static_cast<int>(world.controllers.size())
               ? &world.controllers[static_cast<std::size_t>(index)]
               : nullptr;
}

} // namespace

void plugController(int index, ControllerId id, ControllerType type, const std::string& name) {
    if (static_cast<int>(world.controllers.size()) <= index) {
        world.controllers.resize(static_cast<std::size_t>(index) + 1);
    }
    Controller& controller = world.controllers[static_cast<std::size_t>(index)];
    controller = Controller{};
    controller.id = id;
    controller.type = type;
    controller.name = name;
    controller.plugged = true;
    // Of the stand-in's controllers, a wheel has force feedback.
    controller.forceFeedback = type == ControllerType::Wheel;
}

void unplugController(int index) {
    if (Controller* controller = controllerAt(index)) {
        controller->plugged = false;
        controller->acquired = false;
        if (world.forces.controller == index) {
            releaseForces();
        }
    }
}

void listControllers() {
    world.controllersListed.clear();
    std::vector<RecordedController> listed;
    for (std::size_t i = 0; i < world.controllers.size(); ++i) {
        const Controller& controller = world.controllers[i];
        if (controller.plugged && listed.size() < controllersAtMost) {
            world.controllersListed.push_back(static_cast<int>(i));
            listed.push_back({controller.id.vendor, controller.id.product,
                              static_cast<std::uint8_t>(controller.type), false, controller.name});
        }
    }
    record(Call::Kind::ControllerList, 0);
    if (world.recording) {
        world.calls.back().controllers = std::move(listed);
    }
}

bool openController(int index) {
    Controller* controller = controllerAt(index);
    const bool opened = controller && controller->plugged && controller->opens;
    if (opened) {
        controller->acquired = true;
    }
    recordController(Call::Kind::ControllerOpen, index, opened);
    return opened;
}

bool acquireController(int index) {
    Controller* controller = controllerAt(index);
    const bool acquired = controller && controller->plugged;
    if (acquired) {
        controller->acquired = true;
    }
    recordController(Call::Kind::ControllerAcquire, index, acquired);
    return acquired;
}

SystemRead readController(int index, ControllerInput& input) {
    Controller* controller = controllerAt(index);
    SystemRead read = SystemRead::Failed;
    if (controller && !controller->plugged) {
        controller->acquired = false;
        read = SystemRead::Lost;
    } else if (controller && !controller->acquired) {
        read = SystemRead::NotAcquired;
    } else if (controller) {
        input = controller->input;
        read = SystemRead::Read;
    }
    record(Call::Kind::ControllerRead, placeOf(index));
    if (world.recording) {
        world.calls.back().result = static_cast<std::uint64_t>(read);
        world.calls.back().input = read == SystemRead::Read ? input : ControllerInput{};
    }
    return read;
}

void closeController(int index) {
    if (Controller* controller = controllerAt(index)) {
        controller->acquired = false;
    }
}

std::size_t listSystemControllers(std::span<GameController> list) {
    closeSystemControllers();
    listControllers();
    const std::size_t count = std::min(list.size(), world.controllersListed.size());
    for (std::size_t i = 0; i < count; ++i) {
        const Controller& controller =
            world.controllers[static_cast<std::size_t>(world.controllersListed[i])];
        list[i].id = controller.id;
        list[i].type = controller.type;
        list[i].name = controller.name;
        list[i].forceFeedback = controller.forceFeedback;
    }
    return count;
}

bool openSystemController(std::size_t place) {
    return openController(world.controllersListed[place]);
}

SystemRead readSystemController(std::size_t place, ControllerInput& input) {
    return readController(world.controllersListed[place], input);
}

void acquireSystemController(std::size_t place) {
    acquireController(world.controllersListed[place]);
}

void closeSystemControllers() {
    for (const int index : world.controllersListed) {
        closeController(index);
    }
}

void recordControllerQuestion(Call::Kind kind, std::size_t place) {
    record(kind, static_cast<std::int64_t>(place));
}

void recordFileQuestion(FileQuestion question) {
    record(Call::Kind::File, static_cast<std::int64_t>(question));
}

void recordWait(std::uint32_t milliseconds) {
    if (world.callOpen) {
        fault("scriptWait while " + hashText(world.openHash) + " is still open");
    }
    record(Call::Kind::Wait, milliseconds);
}

} // namespace sim
