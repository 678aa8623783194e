#include <cmath>

#include "runner/drive.h"

std::string changeController(const DriveEvent& event, const sim::HookControl& hook) {
    static_assert(driveControllerCount == sim::controllerCount);
    const auto step = static_cast<std::size_t>(event.code);
    if (event.kind == DriveEvent::Kind::Fault && event.controller == 0) {
        hook.world->systemFaults.answers[step] = event.answer;
        return {};
    }
    std::vector<sim::Controller>& controllers = hook.world->controllers;
    const auto index = static_cast<std::size_t>(event.controller - 1);
    if (index >= controllers.size() || controllers[index].name.empty()) {
        return "game controller " + std::to_string(event.controller) + " was never plugged in";
    }
    sim::Controller& controller = controllers[index];
    if (event.kind == DriveEvent::Kind::Unplug) {
        hook.unplugController(event.controller - 1);
    } else if (event.kind == DriveEvent::Kind::Exclusive) {
        controller.heldElsewhere = event.on;
    } else if (event.kind == DriveEvent::Kind::Axis) {
        controller.input.axes[static_cast<std::size_t>(event.code)] =
            static_cast<std::uint16_t>(std::lround(event.travel * controllerAxisTop));
    } else if (event.kind == DriveEvent::Kind::Button) {
        controller.input.buttons[static_cast<std::size_t>(event.code - 1)] = event.on;
    } else if (step == static_cast<std::size_t>(ControllerStep::List)) {
        controller.faults.unterminatedName = event.on;
    } else {
        controller.faults.answers[step] = event.answer;
    }
    return {};
}
