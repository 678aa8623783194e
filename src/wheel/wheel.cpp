#include "wheel/wheel.h"

#include <algorithm>

#include "binding_file/gear_access.h"
#include "host/game_controllers.h"

namespace {

WheelState state;

// A button, or an axis pressed half way or more.
constexpr float partDownFrom = 0.5f;

FoundPart find(const ControllerBinding& binding) {
    return {binding.part != 0 ? controllerOf(binding.device) : nullptr, binding.part};
}

// Inlined: a pass reads six parts so.
[[gnu::always_inline]] inline float travel(const FoundPart& found) {
    return found.controller != nullptr ? pressedTravel(*found.controller, found.part) : 0.0f;
}

float fraction(std::int32_t percent, std::int32_t byDefault) {
    return static_cast<float>(percentOrDefault(percent, byDefault)) / 100.0f;
}

// The first gate of the box the stick is in; in none, when any of the box's
// gates can be read; else unknown.
Stick stickGate() {
    Stick stick = stickUnknown;
    for (std::size_t gear = 0; gear < gearCount; ++gear) {
        const FoundPart& gate = state.gates[gear];
        if (gate.controller == nullptr) {
            continue;
        }
        if (pressedTravel(*gate.controller, gate.part) >= partDownFrom) {
            return stickInGate(Gear{static_cast<std::uint8_t>(gear)});
        }
        stick = stickInNoGate;
    }
    return stick;
}

// A controller that reads as released has no centre to steer from.
float steering() {
    const FoundPart& axis = state.steering;
    if (axis.controller == nullptr || axis.controller->released) {
        return 0.0f;
    }
    return steeringOf(pressedTravel(*axis.controller, axis.part), state.deadZone, state.fullLock);
}

// Out of the band, the clutch is in or out; in it, engaged from 1 at its near
// end to 0 at its far end.
float clutchEngaged(float percent) {
    if (percent < state.slipFrom) [[likely]] {
        return 1.0f;
    }
    return percent >= state.clutchFrom
               ? 0.0f
               : (state.clutchFrom - percent) / (state.clutchFrom - state.slipFrom);
}

bool found(const FoundPart& part) {
    return part.controller != nullptr;
}

} // namespace

const WheelState& wheelState() {
    return state;
}

void findWheelParts(const KeyBindings& keys) {
    state = WheelState{};
    state.clutchPedal = find(keys.clutchPedal);
    const auto& box = boxOf(keys);
    for (std::size_t gear = 0; gear < gearCount; ++gear) {
        if (box.gears[gear].inBox) {
            state.gates[gear] = find(gateOf(keys, Gear{static_cast<std::uint8_t>(gear)}));
        }
    }
    state.paddleUp = find(keys.paddleUpButton);
    state.paddleDown = find(keys.paddleDownButton);
    state.steering = find(keys.steeringAxis);
    state.throttle = find(keys.throttlePedal);
    state.brake = find(keys.brakePedal);
    state.handbrake = find(keys.handbrakeButton);
    const float bite = static_cast<float>(percentOrDefault(keys.bitePoint, defaultBitePoint));
    const float band = keys.gearFeel == 1
                           ? static_cast<float>(percentOrDefault(keys.biteBand, defaultBiteBand))
                           : 0.0f;
    state.clutchFrom = std::min(100.0f, bite + band);
    state.slipFrom = std::max(0.0f, bite - band);
    state.deadZone = fraction(keys.deadZone, defaultDeadZone);
    state.fullLock = fraction(keys.fullLock, defaultFullLock);
    state.read.driving = found(state.steering) || found(state.throttle) || found(state.brake) ||
                         found(state.handbrake);
    state.anyFound = state.read.driving || found(state.clutchPedal) || found(state.paddleUp) ||
                     found(state.paddleDown) || std::ranges::any_of(state.gates, found);
}

const Wheel& readWheel() {
    Wheel& read = state.read;
    read.controllers = readControllers();
    if (!state.anyFound) [[likely]] {
        return read;
    }
    state.pauseMenu = -1;
    read.clutchTravel = travel(state.clutchPedal);
    read.clutchPastBite = read.clutchTravel * 100.0f >= state.clutchFrom;
    read.clutchEngaged = clutchEngaged(read.clutchTravel * 100.0f);
    read.stick = stickGate();
    read.paddleUpHeld = travel(state.paddleUp) >= partDownFrom;
    read.paddleDownHeld = travel(state.paddleDown) >= partDownFrom;
    const float throttle = travel(state.throttle);
    read.throttleDown = throttle > state.deadZone;
    if (read.driving) {
        read.drive.throttle = pastDeadZone(throttle, state.deadZone, 1.0f);
        read.drive.brake = pastDeadZone(travel(state.brake), state.deadZone, 1.0f);
        read.drive.handbrake = travel(state.handbrake) > 0.0f;
        read.drive.steering = steering();
    }
    return read;
}

bool pauseMenuOpen() {
    if (state.pauseMenu < 0) {
        state.pauseMenu = pauseMenuActive() ? 1 : 0;
    }
    return state.pauseMenu == 1;
}

float steeringPosition() {
    const FoundPart& axis = state.steering;
    return axis.controller == nullptr || axis.controller->released
               ? 0.0f
               : 2.0f * pressedTravel(*axis.controller, axis.part) - 1.0f;
}
