// The keyboard, as Windows reports it, and whether the game's window has the
// focus, so that keys typed into another program don't drive.
#pragma once

#include <span>

#include "keys/key_code.h"
#include "recording/state_field.h"

struct KeyboardState {
    // Whether the game's window had the focus when checkGameFocus last asked.
    bool gameHasFocus = false;
};

// Only the functions below change it.
const KeyboardState& keyboardState();

// The keyboard's part of the plug-in's state as a recording keeps it.
std::span<const StateField> keyboardStateFields();

// Asks Windows once which window has the focus; until the next call, keys
// count as down only if it belongs to the game.
void checkGameFocus();

// The focus as the DLL loads: none checked, so no key counts.
void resetKeyboard();

// True while the key is down at the moment of the call and the game had the
// focus at the last check; code 0, an unbound key, is never down and never asked about.
bool keyDown(VirtualKeyCode key);

// A press of a key or button, once however long it is held: true when it is
// down now and wasn't last time. Polled on every pass, so that a press seen
// together with another input doesn't count again on the next pass.
inline bool newlyDown(bool down, bool& wasDown) {
    const bool pressed = down && !wasDown;
    wasDown = down;
    return pressed;
}

// A press of the key; code 0, no key bound, is never asked about.
inline bool keyPressed(VirtualKeyCode key, bool& wasDown) {
    return key != 0 && newlyDown(keyDown(key), wasDown);
}
