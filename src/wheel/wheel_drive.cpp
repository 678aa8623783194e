#include "wheel/wheel_drive.h"

#include <algorithm>
#include <cmath>

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

void feedWheelDrive(WheelDrive drive, const DisabledDriving& disabled, GameHandle character) {
    drive.steering = disabled.steering ? 0.0f : drive.steering;
    drive.throttle = disabled.throttle ? 0.0f : drive.throttle;
    drive.brake = disabled.brake ? 0.0f : drive.brake;
    drive.handbrake = !disabled.handbrake && drive.handbrake;
    if (!anyPressed(drive) || pauseMenuActive() || characterUsingPhone(character)) {
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
