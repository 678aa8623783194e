#include "wheel/wheel_drive.h"

void feedWheelDrive(WheelDrive drive, const DisabledDriving& disabled, GameHandle character) {
    drive.steering = disabled.steering ? 0.0f : drive.steering;
    drive.throttle = disabled.throttle ? 0.0f : drive.throttle;
    drive.brake = disabled.brake ? 0.0f : drive.brake;
    drive.handbrake = !disabled.handbrake && drive.handbrake;
    if (!anyPressed(drive) || pauseMenuOpen() || characterUsingPhone(character)) {
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
