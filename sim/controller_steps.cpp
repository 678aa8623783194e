// The game controllers as DirectInput answers for them, step by step, each
// with the fault a drive injected for it, and each recorded as the plug-in's
// question it answers: a list (with the look's fault), an opening (a failed
// CreateDevice, SetDataFormat or SetCooperativeLevel, or SetDataFormat's
// success), an Acquire, and a read (a failed Poll, or GetDeviceState).
#include <algorithm>
#include <atomic>
#include <utility>

#include "sim/controller_steps.h"

namespace sim {

namespace {

// As the Windows build's look, a pass in this many.
constexpr std::uint32_t passesPerLook = 60;

// Held while the controllers plugged change, and while a look off the
// world's thread reads them.
std::atomic_flag controllersChanging = ATOMIC_FLAG_INIT;

struct PluggingHeld {
    PluggingHeld() {
        while (controllersChanging.test_and_set(std::memory_order_acquire)) {
        }
    }
    ~PluggingHeld() { controllersChanging.clear(std::memory_order_release); }
    PluggingHeld(const PluggingHeld&) = delete;
    PluggingHeld& operator=(const PluggingHeld&) = delete;
};

// A controller's place in the last list, as the plug-in names it; -1 for one
// not listed.
std::int64_t placeOf(int index) {
    const auto found = std::ranges::find(world.controllersListed, index);
    return found == world.controllersListed.end() ? -1 : found - world.controllersListed.begin();
}

Controller* controllerAt(int index) {
    return index >= 0 && index < static_cast<int>(world.controllers.size())
               ? &world.controllers[static_cast<std::size_t>(index)]
               : nullptr;
}

ControllerFault recordController(Call::Kind kind, int index, ControllerFault fault,
                                 bool opened = false) {
    recordCall(kind, placeOf(index));
    if (world.recording) {
        world.calls.back().fault = fault;
        world.calls.back().result = opened ? 1 : 0;
    }
    return fault;
}

// The answer a drive injected for the step, as its fault.
std::optional<ControllerFault> injected(const InjectedFaults& faults, ControllerStep step) {
    const auto& answer = faults.answers[static_cast<std::size_t>(step)];
    return answer ? std::optional(ControllerFault{step, *answer}) : std::nullopt;
}

std::optional<ControllerFault> injected(int index, ControllerStep step) {
    const Controller* controller = controllerAt(index);
    return controller ? injected(controller->faults, step) : std::nullopt;
}

ControllerFault listFault(ControllerFault fault) {
    recordCall(Call::Kind::ControllerList, 0);
    if (world.recording) {
        world.calls.back().fault = fault;
    }
    return fault;
}

} // namespace

void plugController(int index, ControllerId id, ControllerType type, const std::string& name) {
    const PluggingHeld held;
    if (static_cast<int>(world.controllers.size()) <= index) {
        world.controllers.resize(static_cast<std::size_t>(index) + 1);
    }
    Controller& controller = world.controllers[static_cast<std::size_t>(index)];
    Controller plugged;
    plugged.id = id;
    plugged.type = type;
    plugged.name = name;
    plugged.plugged = true;
    // Of the stand-in's controllers, a wheel has force feedback.
    plugged.forceFeedback = type == ControllerType::Wheel;
    plugged.faults = controller.faults;
    controller = std::move(plugged);
}

void unplugController(int index) {
    const PluggingHeld held;
    if (Controller* controller = controllerAt(index)) {
        controller->plugged = false;
        controller->acquired = false;
        if (world.forces.controller == index) {
            releaseForces();
        }
    }
}

std::vector<std::pair<int, Controller>> pluggedControllers() {
    const PluggingHeld held;
    std::vector<std::pair<int, Controller>> plugged;
    for (std::size_t i = 0; i < world.controllers.size(); ++i) {
        if (world.controllers[i].plugged && plugged.size() < controllersAtMost) {
            plugged.emplace_back(static_cast<int>(i), world.controllers[i]);
        }
    }
    return plugged;
}

ControllerFault startControllers() {
    const std::optional<ControllerFault> fault =
        injected(world.systemFaults, ControllerStep::Start);
    return fault ? listFault(*fault) : ControllerFault{};
}

ControllerFault listControllers() {
    if (const auto fault = injected(world.systemFaults, ControllerStep::List)) {
        return listFault(*fault);
    }
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
    recordCall(Call::Kind::ControllerList, 0);
    if (world.recording) {
        world.calls.back().controllers = std::move(listed);
    }
    return {};
}

// A controller gone since it was listed has no device to make.
ControllerFault createController(int index) {
    const Controller* controller = controllerAt(index);
    const ControllerFault fault =
        injected(index, ControllerStep::Create)
            .value_or(controller && controller->plugged
                          ? ControllerFault{}
                          : ControllerFault{ControllerStep::Create,
                                            directInputAnswer::deviceNotRegistered});
    return fault.step == ControllerStep::None
               ? fault
               : recordController(Call::Kind::ControllerOpen, index, fault);
}

ControllerFault formatController(int index) {
    if (const auto fault = injected(index, ControllerStep::Format)) {
        return recordController(Call::Kind::ControllerOpen, index, *fault);
    }
    Controller* controller = controllerAt(index);
    if (controller == nullptr || !controller->plugged) {
        return recordController(Call::Kind::ControllerOpen, index,
                                {ControllerStep::Format, directInputAnswer::inputLost});
    }
    controller->acquired = true;
    return recordController(Call::Kind::ControllerOpen, index, {}, true);
}

ControllerFault shareController(int index) {
    const std::optional<ControllerFault> fault = injected(index, ControllerStep::Share);
    return fault ? recordController(Call::Kind::ControllerOpen, index, *fault) : ControllerFault{};
}

ControllerFault acquireController(int index) {
    Controller* controller = controllerAt(index);
    ControllerFault fault = injected(index, ControllerStep::Acquire).value_or(ControllerFault{});
    if (fault.step == ControllerStep::None && !(controller && controller->plugged)) {
        fault = {ControllerStep::Acquire, directInputAnswer::unplugged};
    }
    if (controller) {
        controller->acquired = fault.step == ControllerStep::None;
    }
    return recordController(Call::Kind::ControllerAcquire, index, fault);
}

ControllerFault pollController(int index) {
    const std::optional<ControllerFault> fault = injected(index, ControllerStep::Poll);
    return fault ? recordController(Call::Kind::ControllerRead, index, *fault) : ControllerFault{};
}

ControllerFault readController(int index, ControllerInput& input) {
    Controller* controller = controllerAt(index);
    std::optional<ControllerFault> fault = injected(index, ControllerStep::Read);
    if (!fault && controller && !controller->plugged) {
        controller->acquired = false;
        fault = ControllerFault{ControllerStep::Read, directInputAnswer::inputLost};
    } else if (!fault && !(controller && controller->acquired)) {
        fault = ControllerFault{ControllerStep::Read, directInputAnswer::notAcquired};
    }
    if (!fault) {
        input = controller->input;
    }
    recordController(Call::Kind::ControllerRead, index, fault.value_or(ControllerFault{}));
    if (world.recording && !fault) {
        world.calls.back().input = input;
    }
    return fault.value_or(ControllerFault{});
}

void closeController(int index) {
    if (Controller* controller = controllerAt(index)) {
        controller->acquired = false;
    }
}

std::size_t listSystemControllers(std::span<GameController> list, ControllerFault& fault) {
    closeSystemControllers();
    fault = startControllers();
    if (fault.step == ControllerStep::None) {
        fault = listControllers();
    }
    if (fault.step != ControllerStep::None) {
        world.controllersListed.clear();
        return 0;
    }
    const std::size_t count = std::min(list.size(), world.controllersListed.size());
    for (std::size_t i = 0; i < count; ++i) {
        const int index = world.controllersListed[i];
        const Controller& controller = world.controllers[static_cast<std::size_t>(index)];
        list[i].id = controller.id;
        list[i].type = controller.type;
        list[i].name = controller.name;
        list[i].forceFeedback = controller.forceFeedback;
        list[i].fault = createController(index);
    }
    return count;
}

ControllerFault openSystemController(std::size_t place) {
    const int index = world.controllersListed[place];
    ControllerFault fault = formatController(index);
    if (fault.step == ControllerStep::None) {
        fault = shareController(index);
    }
    return fault.step == ControllerStep::None ? acquireController(index) : fault;
}

ControllerFault readSystemController(std::size_t place, ControllerInput& input) {
    const int index = world.controllersListed[place];
    const ControllerFault fault = pollController(index);
    return fault.step == ControllerStep::None ? readController(index, input) : fault;
}

ControllerFault acquireSystemController(std::size_t place) {
    return acquireController(world.controllersListed[place]);
}

// A look at the controllers plugged, whose find the next look tells: one
// that the last list lacks arrived.
bool systemControllersArrived() {
    if (++world.lookPasses % passesPerLook != 0) {
        return false;
    }
    const bool arrived = std::ranges::any_of(world.controllersLooked, [](int index) {
        return std::ranges::find(world.controllersListed, index) == world.controllersListed.end();
    });
    world.controllersLooked.clear();
    for (const auto& [index, controller] : pluggedControllers()) {
        world.controllersLooked.push_back(index);
    }
    return arrived;
}

void closeSystemControllers() {
    for (const int index : world.controllersListed) {
        closeController(index);
    }
}

void recordControllerQuestion(Call::Kind kind, std::size_t place) {
    recordCall(kind, static_cast<std::int64_t>(place));
}

} // namespace sim
