// The game controllers as a recording tells of them, set up in the world of
// a replay through it before each pass.
#include "replay/world_controllers.h"

#include <algorithm>

#include "sim/world.h"

namespace {

// A fault as the answer of the step the world gives it at.
void injectFault(sim::InjectedFaults& faults, std::uint8_t step, std::int32_t answer) {
    faults.answers[step] = answer;
}

// An opening that failed for a reason a recording made before faults doesn't
// keep failed at SetDataFormat.
sim::Controller worldController(const RecordedController& found) {
    sim::Controller controller;
    controller.id = {found.vendor, found.product};
    controller.type = static_cast<ControllerType>(found.type);
    controller.name = found.name;
    controller.plugged = true;
    if (found.faultStep != 0) {
        injectFault(controller.faults, found.faultStep, found.faultAnswer);
    } else if (!found.opened) {
        injectFault(controller.faults, static_cast<std::uint8_t>(ControllerStep::Format),
                    directInputAnswer::invalidArgument);
    }
    return controller;
}

} // namespace

// The controllers found as the world's, plugged in the order found, with the
// faults of the look and of their opening; those kept with the plug-in's
// state are listed and opened already. The reads before the pass's list name
// controllers by their place in the list before, which keeps them.
void takeControllers(const RecordedCall& call) {
    sim::World& world = sim::world;
    std::vector<sim::Controller> before = std::move(world.controllers);
    world.controllers.clear();
    world.systemFaults = {};
    if (call.faultStep != 0) {
        injectFault(world.systemFaults, call.faultStep, call.faultAnswer);
    }
    for (const RecordedController& found : call.controllers) {
        world.controllers.push_back(worldController(found));
    }
    if (call.kind == RecordedCall::Kind::ControllersKept) {
        world.controllersListed.clear();
        for (std::size_t i = 0; i < call.controllers.size(); ++i) {
            world.controllers[i].acquired = call.controllers[i].opened;
            world.controllersListed.push_back(static_cast<int>(i));
        }
        return;
    }
    std::vector<bool> taken(world.controllers.size(), false);
    for (int& index : world.controllersListed) {
        const sim::Controller& old = before[static_cast<std::size_t>(index)];
        std::size_t same = 0;
        while (same < world.controllers.size() &&
               (taken[same] || world.controllers[same].id != old.id ||
                world.controllers[same].name != old.name)) {
            ++same;
        }
        if (same == world.controllers.size()) {
            world.controllers.push_back(old);
            world.controllers.back().plugged = false;
            taken.push_back(true);
        }
        taken[same] = true;
        index = static_cast<int>(same);
    }
}

// A read as the world's controller: plugged and acquired with that input, or
// failing as it did. A read released without its fault, as recordings made
// before faults keep them, found it not acquired, nor could Acquire: it
// stays listed.
void takeRead(const RecordedCall& call, bool listed) {
    sim::World& world = sim::world;
    const std::size_t index =
        listed || call.controller >= world.controllersListed.size()
            ? call.controller
            : static_cast<std::size_t>(world.controllersListed[call.controller]);
    if (index >= world.controllers.size()) {
        return;
    }
    sim::Controller& controller = world.controllers[index];
    for (const ControllerStep step :
         {ControllerStep::Acquire, ControllerStep::Poll, ControllerStep::Read}) {
        controller.faults.answers[static_cast<std::size_t>(step)].reset();
    }
    controller.plugged = true;
    controller.acquired = !call.released;
    if (call.faultStep != 0) {
        injectFault(controller.faults, call.faultStep, call.faultAnswer);
    } else if (call.released) {
        injectFault(controller.faults, static_cast<std::uint8_t>(ControllerStep::Acquire),
                    directInputAnswer::notAcquired);
    }
    controller.input = ControllerInput{call.axes, {}};
    for (const std::uint8_t button : call.buttons) {
        controller.input.buttons.set(button - 1u);
    }
}

// The same controllers, opened alike; their faults the world took from the
// recording, which may not keep them.
bool sameFound(const std::vector<RecordedController>& game,
               const std::vector<RecordedController>& world) {
    return std::ranges::equal(game, world, [](RecordedController a, RecordedController b) {
        a.faultStep = b.faultStep;
        a.faultAnswer = b.faultAnswer;
        return a == b;
    });
}
