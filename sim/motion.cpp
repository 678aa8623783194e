#include "sim/motion.h"

#include <algorithm>
#include <cmath>

namespace sim {

namespace {

float engineAcceleration(float speed) {
    return 8.0f * std::max(0.15f, 1.0f - speed / 70.0f);
}

float dragDeceleration(float speed) {
    return 0.2f + 0.0008f * speed * speed;
}

constexpr float brakeDeceleration = 12.0f;
// The handbrake locks the rear wheels only.
constexpr float handbrakeDeceleration = 6.0f;
// At full lock: a turn of about 19 m's radius.
constexpr float degreesPerMetreAtFullLock = 3.0f;

// How far a vehicle control goes in this frame: the player's own input, full
// when held or pressed, or the value fed for the frame, whichever is larger;
// nothing while the action is disabled.
float controlAmount(int control) {
    const float own = controlActive(control) && !world.suppressed[control] ? 1.0f : 0.0f;
    const float fed = fedValue(control);
    return std::fabs(fed) > own ? fed : own;
}

float wrappedHeading(float degrees) {
    const float wrapped = std::fmod(degrees, 360.0f) + (degrees < 0 ? 360.0f : 0.0f);
    return wrapped < 360.0f ? wrapped : 0.0f;
}

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
    const bool altThrottle =
        controlActive(controlAccelerateAlt) && !world.suppressed[controlAccelerate];
    const float throttle = std::max(controlAmount(controlAccelerate), altThrottle ? 1.0f : 0.0f);

    if (!vehicle.engineOn) {
        if (throttle > 0 && vehicle.restartArmed && vehicle.autoStart) {
            vehicle.engineOn = true;
        }
        vehicle.restartArmed = throttle == 0;
    } else if (throttle > 0 && vehicle.speed >= 0 && vehicle.speed < vehicle.topSpeed) {
        const float pull = engineAcceleration(vehicle.speed) * torqueIn(vehicle, world.frame);
        vehicle.speed = std::min(vehicle.topSpeed, vehicle.speed + pull * throttle * seconds);
    }

    const float braking = brakeDeceleration * controlAmount(controlBrake) +
                          handbrakeDeceleration * controlAmount(controlHandbrake);
    vehicle.speed = towardsZero(vehicle.speed, braking * seconds);
    vehicle.speed = towardsZero(vehicle.speed, dragDeceleration(vehicle.speed) * seconds);
    vehicle.speed = std::clamp(vehicle.speed, -vehicle.maxSpeed, vehicle.maxSpeed);
    // Steering right turns clockwise going forwards, the other way backing up.
    vehicle.heading =
        wrappedHeading(vehicle.heading - controlAmount(controlSteer) * degreesPerMetreAtFullLock *
                                             vehicle.speed * seconds);
}

} // namespace sim
