#include "gearbox/wheel_drive.h"

#include <algorithm>
#include <cmath>

#include "host/game_controllers.h"
#include "keys/own_inputs.h"

float pastDeadZone(float travel, float deadZone, float full) {
    if (!(travel > deadZone)) {
        return 0.0f;
    }
    return full > deadZone ? std::min(1.0f, (travel - deadZone) / (full - deadZone)) : 1.0f;
}

float steeringOf(float travel, float deadZone, float fullLock) {
    const float fromCentre = 2.0f * travel - 1.0f;
    return std::copysign(pastDeadZone(std::fabs(fromCentre), deadZone, fullLock), fromCentre);
}

namespace {

float deadZoneOf(const KeyBindings& keys) {
    return static_cast<float>(percentOrDefault(keys.deadZone, defaultDeadZone)) / 100.0f;
}

} // namespace

WheelDrive readWheelDrive(const KeyBindings& keys) {
    const float deadZone = deadZoneOf(keys);
    WheelDrive drive;
    drive.throttle = pastDeadZone(pressedTravel(keys.throttlePedal), deadZone, 1.0f);
    drive.brake = pastDeadZone(pressedTravel(keys.brakePedal), deadZone, 1.0f);
    drive.handbrake = pressedTravel(keys.handbrakeButton) > 0.0f;
    // A controller that reads as released has no centre to steer from.
    const ControllerBinding& steering = keys.steeringAxis;
    const GameController* wheel = steering.part != 0 ? controllerOf(steering.device) : nullptr;
    if (wheel != nullptr && !wheel->released) {
        const float fullLock =
            static_cast<float>(percentOrDefault(keys.fullLock, defaultFullLock)) / 100.0f;
        drive.steering = steeringOf(pressedTravel(*wheel, steering.part), deadZone, fullLock);
    }
    return drive;
}

bool throttlePedalDown(const KeyBindings& keys) {
    return pressedTravel(keys.throttlePedal) > deadZoneOf(keys);
}

void sendWheelDrive(GameHandle character, const WheelDrive& drive) {
    if (!drives(drive) || pauseMenuActive() || characterUsingPhone(character)) {
        return;
    }
    if (drive.steering != 0.0f) {
        feedControl(steerControl, drive.steering);
    }
    if (drive.throttle != 0.0f) {
        feedControl(accelerateControl, drive.throttle);
    }
    if (drive.brake != 0.0f) {
        feedControl(brakeControl, drive.brake);
    }
    if (drive.handbrake) {
        feedControl(handbrakeControl, 1.0f);
    }
}
