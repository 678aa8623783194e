// Driving with a wheel: its steering axis, throttle and brake pedals and
// handbrake button, read each pass and fed to the game as the player's own
// input for the next frame.
#pragma once

#include "binding_file/binding_reader.h"
#include "host/natives.h"

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

// Whether any of the wheel's driving lines binds.
inline bool wheelDrivingBound(const KeyBindings& keys) {
    return keys.steeringAxis.part != 0 || keys.throttlePedal.part != 0 ||
           keys.brakePedal.part != 0 || keys.handbrakeButton.part != 0;
}

// Whether any part of it is pressed.
inline bool drives(const WheelDrive& drive) {
    return drive.steering != 0.0f || drive.throttle != 0.0f || drive.brake != 0.0f ||
           drive.handbrake;
}

// How far a part has gone past its dead zone, every value from 0 to 1: 0
// within it, rising evenly past it to 1 at `full`, and 1 beyond.
float pastDeadZone(float travel, float deadZone, float full);

// The steering of an axis's travel (from 0 to 1, the way that turns right):
// straight ahead at its centre, full lock at fullLock of the way from there
// to either end.
float steeringOf(float travel, float deadZone, float fullLock);

// The wheel as read this pass, with the bindings' dead zone and full lock.
WheelDrive readWheelDrive(const KeyBindings& keys);

// Whether the throttle pedal is past its dead zone, as read this pass.
bool throttlePedalDown(const KeyBindings& keys);

// Feeds each part of the drive that isn't 0, in this order: steering,
// throttle, brake, the handbrake. A part at rest sends nothing, so that the
// player's keys on the same action keep working whether the game's fed value
// replaces them or adds to them. Nothing in the pause menu or with the phone
// out, which are asked only when there is something to send.
void sendWheelDrive(GameHandle character, const WheelDrive& drive);
