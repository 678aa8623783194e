#include "sim/motion.h"

#include <algorithm>

namespace sim {

namespace {

float engineAcceleration(float speed) {
    return 8.0f * std::max(0.15f, 1.0f - speed / 70.0f);
}

float dragDeceleration(float speed) {
    return 0.2f + 0.0008f * speed * speed;
}

constexpr float brakeDeceleration = 12.0f;

float towardsZero(float speed, float amount) {
    if (speed > 0) {
        return std::max(0.0f, speed - amount);
    }
    return std::min(0.0f, speed + amount);
}

} // namespace

void moveVehicle(Vehicle& vehicle) {
    // A chauffeur holds the speed the vehicle has; the player's pedals are not
    // theirs.
    if (world.seat != driverSeat) {
        vehicle.speed = std::clamp(vehicle.speed, -vehicle.maxSpeed, vehicle.maxSpeed);
        return;
    }
    const float seconds = static_cast<float>(world.frameMs) / 1000.0f;
    // The game reads the keyboard only while its window has the focus.
    const bool throttleInput =
        controlActive(controlAccelerate) || controlActive(controlAccelerateAlt);
    const bool throttle = throttleInput && !world.suppressed[controlAccelerate];
    const bool brake = controlActive(controlBrake) && !world.suppressed[controlBrake];

    if (!vehicle.engineOn) {
        if (throttle && vehicle.restartArmed && vehicle.autoStart) {
            vehicle.engineOn = true;
        }
        vehicle.restartArmed = !throttle;
    } else if (throttle && vehicle.speed >= 0 && vehicle.speed < vehicle.topSpeed) {
        vehicle.speed =
            std::min(vehicle.topSpeed, vehicle.speed + engineAcceleration(vehicle.speed) * seconds);
    }

    if (brake) {
        vehicle.speed = towardsZero(vehicle.speed, brakeDeceleration * seconds);
    }
    vehicle.speed = towardsZero(vehicle.speed, dragDeceleration(vehicle.speed) * seconds);
    vehicle.speed = std::clamp(vehicle.speed, -vehicle.maxSpeed, vehicle.maxSpeed);
}

} // namespace sim
