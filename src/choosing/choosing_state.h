// The choosing's state as data: why a key was refused, the steps, a wheel's
// parts chosen, and what the last pass saw. Its pass changes it
// (input_choosing); the line that asks reads it (prompt_line).
#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <span>

#include "binding_file/binding_rewrite.h"
#include "host/game_controllers.h"
#include "keys/key_code.h"

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

constexpr bool wheelStep(std::size_t step) {
    return step >= choosableFieldCount;
}

// The gear a wheel's step asks for, or none for the pedal's.
inline const GearSpec* gearAskedFor(std::size_t step) {
    const std::size_t place = step - choosableFieldCount;
    return place == 0 ? nullptr : &gearTable[place - 1];
}

// A part chosen, by its controller's id; none for one that names no part of
// a controller found.
inline ControllerBinding foundPart(ChosenPart chosen) {
    const std::span<const GameController> found = foundControllers();
    if (chosen.place >= found.size() || (!isButtonPart(chosen.part) && !isAxisPart(chosen.part))) {
        return {};
    }
    return {found[chosen.place].id, chosen.part};
}
