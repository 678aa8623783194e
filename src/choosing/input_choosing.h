// Choosing in the game: a press of the Bind key starts it, and the player
// presses the key for the clutch and each gear in turn, one pass at a time,
// without a pause; or, with a game controller attached and touched first,
// sets up the wheel by pressing it: its steering, pedals, gates, handbrake
// and paddles.
#pragma once

#include <cstdint>
#include <span>

#include "binding_file/binding_rewrite.h"
#include "choosing/choosing_state.h"
#include "choosing/prompt_line.h"
#include "host/keyboard.h"
#include "recording/state_field.h"

// Only the functions below change it.
const ChoosingState& choosingState();

// Choosing's part of the plug-in's state as a recording keeps it: a field for
// each key chosen, and for each word of keys held.
std::span<const StateField> choosingStateFields();

// Asks for the first field, or with a game controller attached for the
// device touched first; a key or button held as it starts counts once
// pressed again. Looks for every game controller attached, and opens them.
void startChoosingKeys();

// The wheel's parts chosen, by their controllers' ids.
ChosenInputs chosenInputs();

struct ChoosingPass {
    enum class End : std::uint8_t { None, Cancelled, Chosen };
    // Chosen: choosingState().chosen holds every key.
    End end = End::None;
    // The right arrow went down: the gearbox's own switch, which works on.
    bool toggleArrowPressed = false;
    // The line to show while the choosing goes on.
    PromptLine line{};
};

// One pass: asks for every key (with the focus) and looks at every game
// controller found, takes the first key newly pressed, or on a wheel's step
// the axis moved furthest or the button newly down, and says what to show.
ChoosingPass chooseKeysPass();

// Choosing ends, if it goes on, with nothing chosen: as the DLL loads it.
void stopChoosingKeys();

// Whether the key was down at the choosing's last look.
bool heldWhileChoosing(VirtualKeyCode key);
