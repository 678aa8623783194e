#include "replay/world_controllers.h"

#include <algorithm>
#include <bit>
#include <vector>

#include "replay/replay_answers.h"
#include "replay/replay_calls.h"
#include "sim/world.h"

void takeControllers(const RecordedCall& call) {
    sim::World& world = sim::world;
    world.controllers.clear();
    world.controllersListed.clear();
    for (const RecordedController& found : call.controllers) {
        sim::Controller controller;
        controller.id = {found.vendor, found.product};
        controller.type = static_cast<ControllerType>(found.type);
        controller.name = found.name;
        controller.plugged = true;
        controller.opens = found.opened;
        if (call.kind == RecordedCall::Kind::ControllersKept) {
            controller.acquired = found.opened;
            world.controllersListed.push_back(static_cast<int>(world.controllers.size()));
        }
        world.controllers.push_back(std::move(controller));
    }
}

void takeRead(const RecordedCall& call) {
    sim::Controller& controller = sim::world.controllers[call.controller];
    controller.plugged = !call.released;
    controller.acquired = !call.released;
    controller.input = ControllerInput{call.axes, {}};
    for (const std::uint8_t button : call.buttons) {
        controller.input.buttons.set(button - 1u);
    }
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

void takeForcesOpened(const RecordedCall& call) {
    if (call.controller < sim::world.controllers.size()) {
        sim::Controller& controller = sim::world.controllers[call.controller];
        const auto answer = static_cast<ForceFeedbackStatus>(call.answer);
        controller.forceFeedback = answer != ForceFeedbackStatus::NoForceFeedback;
        controller.heldElsewhere = answer == ForceFeedbackStatus::Taken;
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
