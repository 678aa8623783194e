// The game controllers as a recording tells of them, set up in the world of
// a replay through it before each pass.
#include "replay/world_controllers.h"

#include <algorithm>
#include <bit>

#include "replay/replay_answers.h"
#include "replay/replay_calls.h"

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

// The world's controller at a place in the list before the pass's or, once
// listed, in the pass's, whose order the world's controllers take; nullptr
// for none.
sim::Controller* controllerNamed(const RecordedCall& call, bool listed) {
    sim::World& world = sim::world;
    const std::size_t index =
        listed || call.controller >= world.controllersListed.size()
            ? call.controller
            : static_cast<std::size_t>(world.controllersListed[call.controller]);
    return index < world.controllers.size() ? &world.controllers[index] : nullptr;
}

} // namespace

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

// A read released without its fault, as recordings made before faults keep
// them, found it not acquired, nor could Acquire: it stays listed.
void takeRead(const RecordedCall& call, bool listed) {
    sim::Controller* const found = controllerNamed(call, listed);
    if (found == nullptr) {
        return;
    }
    sim::Controller& controller = *found;
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

bool sameFound(const std::vector<RecordedController>& game,
               const std::vector<RecordedController>& world) {
    return std::ranges::equal(game, world, [](RecordedController a, RecordedController b) {
        a.faultStep = b.faultStep;
        a.faultAnswer = b.faultAnswer;
        return a == b;
    });
}

void takeRoad(const RecordedCall& call, sim::Vehicle& vehicle) {
    switch (sim::nativeFact(call.hash)) {
    case sim::Fact::SidewaysSpeed:
        vehicle.sidewaysSpeed = std::bit_cast<float>(call.vector[0]);
        vehicle.speed = std::bit_cast<float>(call.vector[1]);
        break;
    case sim::Fact::InAir:
        vehicle.inAir = call.result != 0;
        break;
    default:
        vehicle.bodyHealth = std::bit_cast<float>(call.result);
        break;
    }
}

void takeForcesOpened(const RecordedCall& call, bool listed) {
    if (sim::Controller* controller = controllerNamed(call, listed)) {
        const auto answer = static_cast<ForceFeedbackStatus>(call.answer);
        controller->forceFeedback = answer != ForceFeedbackStatus::NoForceFeedback;
        controller->heldElsewhere = answer == ForceFeedbackStatus::Taken;
    }
}

std::string forcesDifference(const RecordedPass& recorded, const RecordedPass& replayed) {
    std::vector<const RecordedCall*> before;
    std::vector<const RecordedCall*> now;
    for (const RecordedCall& call : recorded.calls) {
        if (forceOutput(call)) {
            before.push_back(&call);
        }
    }
    for (const RecordedCall& call : replayed.calls) {
        if (forceOutput(call)) {
            now.push_back(&call);
        }
    }
    const std::size_t count = recorded.cut ? before.size() : std::max(before.size(), now.size());
    for (std::size_t i = 0; i < count; ++i) {
        if (i >= before.size() || i >= now.size() || !sameCall(*before[i], *now[i])) {
            return "game " + (i < before.size() ? forcesText(*before[i]) : "nothing") +
                   ", stand-in " + (i < now.size() ? forcesText(*now[i]) : "nothing");
        }
    }
    return {};
}
