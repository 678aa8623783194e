// What the gearbox reads of the player's driving: the accelerator, the
// clutch and the pad's buttons, from the keyboard, a pad or a wheel.
#pragma once

#include "binding_file/binding_reader.h"
#include "host/keyboard.h"
#include "host/natives.h"
#include "keys/own_inputs.h"
#include "wheel/wheel.h"

// The accelerate control is W on a keyboard, RT on a pad, or wherever the
// player moved it; it is asked last, and only where a rule needs it. A
// wheel's throttle pedal past its dead zone counts as W.
inline bool accelerating(const Wheel& wheel) {
    return wheel.throttleDown || controlFired(accelerateAltControl) || keyDown(accelerateKey) ||
           controlHeld(accelerateControl);
}

// The same for the gear feel, which asks on every pass it drives: W, a key
// query, before the natives.
inline bool throttlePressed(const Wheel& wheel) {
    return wheel.throttleDown || keyDown(accelerateKey) || controlHeld(accelerateControl) ||
           controlFired(accelerateAltControl);
}

inline bool pushingInReverse(const Wheel& wheel) {
    return wheel.throttleDown || keyDown(accelerateKey) || controlHeld(accelerateControl);
}

// Game controls answer to every device: the pad's LB is also the right mouse
// button, its A the X key. So the pad's bindings count only while the player
// uses a pad, and a keyboard player keeps aiming from the car.
inline bool padInUse(const KeyBindings& keys) {
    return (keys.padHoldControl != 0 || keys.padUpControl != 0 || keys.padDownControl != 0) &&
           !usingKeyboardAndMouse();
}

// A press of a bound pad button; 0, none bound, is never asked about.
inline bool padPressed(bool pad, ControlId control, bool& wasHeld) {
    return pad && control != 0 && newlyDown(controlHeld(control), wasHeld);
}

// The clutch key, the pad's hold button, or the wheel's pedal past its bite.
inline bool clutchDown(const KeyBindings& keys, bool pad, const Wheel& wheel) {
    return keyDown(keys.clutchKey) ||
           (pad && keys.padHoldControl != 0 && controlHeld(keys.padHoldControl)) ||
           wheel.clutchPastBite;
}
