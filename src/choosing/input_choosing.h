// Choosing the clutch and gear keys in the game: a press of the Bind key
// starts it, and the player presses the key for each field in turn, one pass
// at a time, without a pause; then, with a game controller attached, the
// clutch pedal and the stick in each gate.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <span>

#include "binding_file/binding_rewrite.h"
#include "host/game_controllers.h"
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
    // A key, where a game controller's part is asked for.
    NotTheWheel,
};
inline constexpr Refusal lastRefusal = Refusal::NotTheWheel;

// The key codes asked about while choosing run from 1 to one below this.
inline constexpr VirtualKeyCode choosingCodesBelow = 256;

// The steps: each of choosableFields, then, when a game controller is
// attached, each of wheelChoosableFields.
inline constexpr std::size_t choosingSteps = choosableFieldCount + wheelChoosableCount;

// A part chosen on a wheel's step: its controller by its place among those
// found, and the part; none while the part is 0.
struct ChosenPart {
    std::uint8_t place = 0;
    ControllerPart part = 0;
    bool operator==(const ChosenPart&) const = default;
};

struct ChoosingState {
    bool choosing = false;
    // The field asked for, by its place in choosableFields, or past them in
    // wheelChoosableFields; the first again once every key is chosen, so that
    // the step is always a field's. Only the fields of the box in use are
    // asked for; the others stay 0.
    std::uint8_t step = 0;
    ChosenKeys chosen{};
    // For each of wheelChoosableFields; none stays as it is.
    std::array<ChosenPart, wheelChoosableCount> chosenParts{};
    // The key refused last for this field, or on a wheel's step the part
    // another field has, and why; Refusal::None for none.
    VirtualKeyCode refusedKey = 0;
    ChosenPart refusedPart{};
    Refusal refusal = Refusal::None;
    // Each key code down at the last look. Without the focus every key counts
    // as held, so that only a key pressed in front of the game is taken.
    std::bitset<choosingCodesBelow> keysHeld{};
    // The same for each button of each controller found, by buttonHeldBit;
    // one that can't be read counts as held.
    std::bitset<controllersAtMost * controllerButtonCount> buttonsHeld{};
    // On the pedal's step: each found controller's axes as first read there,
    // their top byte, by axisAtStartSlot; and the controllers read so.
    std::array<std::uint8_t, controllersAtMost * controllerAxisCount> axesAtStart{};
    std::bitset<controllersAtMost> axesStarted{};
};

constexpr std::size_t buttonHeldBit(std::size_t place, int button) {
    return place * controllerButtonCount + static_cast<std::size_t>(button - 1);
}
constexpr std::size_t axisAtStartSlot(std::size_t place, std::size_t axis) {
    return place * controllerAxisCount + axis;
}

// Only the functions below change it.
const ChoosingState& choosingState();

// Choosing's part of the plug-in's state as a recording keeps it: a field for
// each key chosen, and for each word of keys held.
std::span<const StateField> choosingStateFields();

// Asks for the first field; a key or button held as it starts counts once
// pressed again. Looks for every game controller attached, and opens them.
void startChoosingKeys();

// The wheel's parts chosen, by their controllers' ids.
ChosenInputs chosenInputs();

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
// pressed, or on a wheel's step the pedal pressed furthest or the button
// newly down, and says what to show.
ChoosingPass chooseKeysPass();

// Choosing ends, if it goes on, with nothing chosen: as the DLL loads it.
void stopChoosingKeys();

// Whether the key was down at the choosing's last look.
bool heldWhileChoosing(VirtualKeyCode key);
