// Driving with a wheel: its steering axis, throttle and brake pedals and
// handbrake button, fed to the game as the player's own input for the next
// frame, never into an action the pass disabled.
#pragma once

#include <algorithm>
#include <cmath>

#include "host/natives.h"
#include "keys/own_inputs.h"

// What the wheel drives this pass; 0 for a part unbound, released, centred or
// within the dead zone, and for one its controller doesn't read.
struct WheelDrive {
    // From -1, full lock left, to 1, full lock right.
    float steering = 0.0f;
    // From 0 to 1.
    float throttle = 0.0f;
    float brake = 0.0f;
    bool handbrake = false;
};

inline bool anyPressed(const WheelDrive& drive) {
    return drive.steering != 0.0f || drive.throttle != 0.0f || drive.brake != 0.0f ||
           drive.handbrake;
}

// The wheel's actions that a pass disabled, which it then doesn't feed, so
// that the two never fight.
struct DisabledDriving {
    bool steering = false;
    bool throttle = false;
    bool brake = false;
    bool handbrake = false;
};

// Notes a control the pass disabled; one the wheel doesn't feed changes
// nothing.
inline void noteDisabled(DisabledDriving& disabled, ControlId control) {
    disabled.steering = disabled.steering || control == steerControl;
    disabled.throttle = disabled.throttle || control == accelerateControl;
    disabled.brake = disabled.brake || control == brakeControl;
    disabled.handbrake = disabled.handbrake || control == handbrakeControl;
}

// How far a part has gone past its dead zone, every value from 0 to 1: 0
// within it, rising evenly past it to 1 at `full`, and 1 beyond.
inline float pastDeadZone(float travel, float deadZone, float full) {
    if (!(travel > deadZone)) {
        return 0.0f;
    }
    return full > deadZone ? std::min(1.0f, (travel - deadZone) / (full - deadZone)) : 1.0f;
}

// The steering of an axis's travel (from 0 to 1, the way that turns right):
// straight ahead at its centre, full lock at fullLock of the way from there
// to either end.
inline float steeringOf(float travel, float deadZone, float fullLock) {
    const float fromCentre = 2.0f * travel - 1.0f;
    return std::copysign(pastDeadZone(std::fabs(fromCentre), deadZone, fullLock), fromCentre);
}

// Whether the pause menu is open, asked of the game at most once a pass that
// read the wheel (wheel.cpp, which keeps the answer): its drive and its force
// feedback both need it.
bool pauseMenuOpen();

// Feeds each part of the drive that isn't 0 and wasn't disabled, in this
// order: steering, throttle, brake, the handbrake. A part at rest sends
// nothing, so that the player's keys on the same action keep working whether
// the game's fed value replaces them or adds to them. Nothing in the pause
// menu or with the phone out, which are asked only when there is something
// to send.
void feedWheelDrive(WheelDrive drive, const DisabledDriving& disabled, GameHandle character);
