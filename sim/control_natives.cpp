// What the world does for the natives of the controls, the pause menu and
// the game's timer.
#include "sim/native_runs.h"

#include <algorithm>
#include <cmath>

#include "sim/slots.h"

namespace sim {

namespace {

bool validControl(int control) {
    return control >= 0 && control < controlCount;
}

// Pad 0 is the player's controls, pad 2 the frontend's; both see every control.
bool knownPad(int pad) {
    return pad == 0 || pad == 2;
}

// A fed value as the game takes it: steering (59) from -1 to 1, the handbrake
// (76) pressed or not, from a half, any other from 0 to 1; not a number is 0.
float clampedFeed(int control, float value) {
    if (std::isnan(value)) {
        return 0.0f;
    }
    if (control == controlHandbrake) {
        return value >= 0.5f ? 1.0f : 0.0f;
    }
    return std::clamp(value, control == controlSteer ? -1.0f : 0.0f, 1.0f);
}

} // namespace

// True only on the frame the control goes down, as documented.
void runControlFired(const std::uint64_t* a) {
    const int control = slotInt(a[1]);
    setResult(boolResult(knownPad(slotInt(a[0])) && validControl(control) &&
                         (world.controlsOnce[control] ||
                          (controlActive(control) && !world.controlsHeldBefore[control]))));
}

// Reads the control even while it is disabled for this frame.
void runDisabledControlPressed(const std::uint64_t* a) {
    const int control = slotInt(a[1]);
    setResult(
        boolResult(knownPad(slotInt(a[0])) && validControl(control) && controlActive(control)));
}

// The documentation tells of pads 0 and 2 only; any other answers false.
void runUsingKeyboardAndMouse(const std::uint64_t* a) {
    setResult(boolResult(knownPad(slotInt(a[0])) && world.lastDevice == Device::KeyboardAndMouse));
}

void runSuppressControl(const std::uint64_t* a) {
    const int control = slotInt(a[1]);
    if (knownPad(slotInt(a[0])) && validControl(control)) {
        world.suppressed[control] = true;
    }
}

// Every control of the pad, for the current frame only, as the single
// control's disable.
void runDisableAllControls(const std::uint64_t* a) {
    if (knownPad(slotInt(a[0]))) {
        world.suppressed.set();
    }
}

// "Sets the value of a Control for the next frame (not this frame) if the
// control is enabled": an action disabled in this frame before the call
// answers false and takes nothing, so a pass can't disable and feed it. Else
// the value, clamped, the last sent in the frame, drives the next frame
// (fedValue) unless that frame disables the action, as it would the
// player's input; a disable later in the sending frame covers that frame
// only. Beside the player's own input the larger wins (motion.cpp): whether
// the game's replaces or adds is to be seen. The control queries read the
// player's input only.
void runFeedControl(const std::uint64_t* a) {
    const int control = slotInt(a[1]);
    const bool taken =
        knownPad(slotInt(a[0])) && validControl(control) && !world.suppressed[control];
    if (taken) {
        world.fedForNextFrame.sent[control] = true;
        world.fedForNextFrame.values[control] = clampedFeed(control, slotFloat(a[2]));
    }
    setResult(boolResult(taken));
}

void runPauseMenuActive(const std::uint64_t*) {
    setResult(boolResult(world.pauseMenuActive));
}

void runGameTimer(const std::uint64_t*) {
    setResult(withHighHalf(static_cast<std::uint32_t>(world.timeMs)));
}

} // namespace sim
