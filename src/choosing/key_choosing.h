// Choosing the clutch and gear keys in the game: a press of the Bind key
// starts it, and the player presses the key for each field in turn, one pass
// at a time, without a pause.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "binding_file/binding_rewrite.h"
#include "host/keyboard.h"
#include "recording/state_field.h"
#include "screen/hud.h"

// Why a key can't be the one asked for.
enum class Refusal : std::uint8_t {
    None,
    // W, S and the right arrow, which the gearbox reads itself.
    GearboxKey,
    // Enter and Backspace, kept as a key in use.
    SteersChoosing,
    // Esc and the left and right mouse buttons.
    GameKey,
    BindKey,
    AlreadyChosen,
    // Enter, for a field without a key.
    NothingToKeep,
};
inline constexpr Refusal lastRefusal = Refusal::NothingToKeep;

// The key codes asked about while choosing run from 1 to one below this.
inline constexpr VirtualKeyCode choosingCodesBelow = 256;

struct ChoosingState {
    bool choosing = false;
    // The field asked for, by its place in choosableFields; the first again
    // once every key is chosen, so that the step is always a field's. Only
    // the fields of the box in use are asked for; the others stay 0.
    std::uint8_t step = 0;
    ChosenKeys chosen{};
    // The key refused last for this field, and why; Refusal::None for none.
    VirtualKeyCode refusedKey = 0;
    Refusal refusal = Refusal::None;
    // A bit for each key code: down at the last look. Without the focus every
    // key counts as held, so that only a key pressed in front of the game is
    // taken.
    std::array<std::uint32_t, choosingCodesBelow / 32> keysHeld{};
};

// Only the functions below change it.
const ChoosingState& choosingState();

// Choosing's part of the plug-in's state as a recording keeps it: a field for
// each key chosen, and for each word of keys held.
std::span<const StateField> choosingStateFields();

// Asks for the first field; a key held as it starts counts once pressed again.
void startChoosingKeys();

// The line that asks for a key, as the game shows it.
using PromptLine = std::array<char, textLengthAtMost + 1>;

struct ChoosingPass {
    enum class End : std::uint8_t { None, Cancelled, Chosen };
    // Chosen: choosingState().chosen holds every key.
    End end = End::None;
    // The right arrow went down: the gearbox's own switch, which works on.
    bool toggleArrowPressed = false;
    // The line to show while the choosing goes on.
    PromptLine line{};
};

// One pass: asks for every key (with the focus), takes the first newly
// pressed, and says what to show.
ChoosingPass chooseKeysPass();

// Choosing ends, if it goes on, with nothing chosen: as the DLL loads it.
void stopChoosingKeys();

// Whether the key was down at the choosing's last look.
bool heldWhileChoosing(VirtualKeyCode key);
