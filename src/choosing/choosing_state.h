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

// The steps: each of choosableFields, the keys' steps; then each of
// wheelChoosableFields, the wheel's.
inline constexpr std::size_t choosingSteps = choosableFieldCount + wheelChoosableCount;

// The wheel's steps in the order they ask, by place in wheelChoosableFields:
// the steering and the pedals that drive, the clutch pedal and the gates,
// then the parts many wheels lack.
inline constexpr auto wheelStepOrder = [] {
    constexpr std::size_t driving = drivingWheelFieldCount;
    std::array<std::uint8_t, wheelChoosableCount> order{};
    for (std::size_t at = 0; at < order.size(); ++at) {
        const std::size_t place = at < driving ? clutchAndGateFields.size() + at
                                  : at < driving + clutchAndGateFields.size() ? at - driving
                                                                              : at;
        order[at] = static_cast<std::uint8_t>(place);
    }
    return order;
}();
static_assert(bindingFields[wheelChoosableFields[wheelStepOrder.front()]].kind ==
                  BindingKind::Steering,
              "the wheel's steps start with the steering");

// A part chosen on a wheel's step: its controller by its place among those
// found, and the part; none while the part is 0.
struct ChosenPart {
    std::uint8_t place = 0;
    ControllerPart part = 0;
    bool operator==(const ChosenPart&) const = default;
};

inline constexpr std::size_t axesAtMost = controllersAtMost * controllerAxisCount;

struct ChoosingState {
    bool choosing = false;
    // With a game controller attached, choosing first waits for the player to
    // touch a device: a key starts the keys' steps, the wheel its own.
    bool askingDevice = false;
    // The field asked for, by its place in choosableFields, or past them in
    // wheelChoosableFields; the first again once every key is chosen, so that
    // the step is always a field's. Only the gates of the box in use are
    // asked for, and only its keys; the others stay 0.
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
    // while one can't be read, all its buttons count as held.
    std::bitset<controllersAtMost * controllerButtonCount> buttonsHeld{};
    // Each found controller's axes as first read since choosing started, at
    // rest, their top byte, by axisSlot: a part is pressed away from there;
    // and the controllers read so.
    std::array<std::uint8_t, axesAtMost> axesAtStart{};
    std::bitset<controllersAtMost> axesStarted{};
    // Axes that count for nothing until back near rest, by axisSlot: the one
    // that ended a step, still pressed as the next begins, and each of a
    // controller that couldn't be read, which may come back pressed.
    std::bitset<axesAtMost> axesAwaited{};
};

constexpr std::size_t buttonHeldBit(std::size_t place, int button) {
    return place * controllerButtonCount + static_cast<std::size_t>(button - 1);
}
constexpr std::size_t axisSlot(std::size_t place, std::size_t axis) {
    return place * controllerAxisCount + axis;
}

constexpr bool wheelStep(std::size_t step) {
    return step >= choosableFieldCount;
}

// The field a wheel's step asks for.
constexpr const BindingField& wheelFieldAsked(std::size_t step) {
    return bindingFields[wheelChoosableFields[step - choosableFieldCount]];
}

// The gear whose gate a wheel's step asks for, or none.
inline const GearSpec* gearAskedFor(std::size_t step) {
    const std::size_t place = step - choosableFieldCount;
    return place >= 1 && place <= gearCount ? &gearTable[place - 1] : nullptr;
}

// Whether a wheel's step asks for the steering; for an axis, the steering or
// a pedal, or else for a button.
constexpr bool steeringAsked(std::size_t step) {
    return wheelFieldAsked(step).kind == BindingKind::Steering;
}
constexpr bool axisAsked(std::size_t step) {
    return steeringAsked(step) || wheelFieldAsked(step).kind == BindingKind::Pedal;
}

// The place in wheelChoosableFields of another field than the one asked for
// whose part chosen is this one, or an axis of it either way; or
// wheelChoosableCount for none.
inline std::size_t placeHolding(const ChoosingState& state, ChosenPart part) {
    const std::size_t asked = state.step - choosableFieldCount;
    for (std::size_t place = 0; place < wheelChoosableCount; ++place) {
        const ChosenPart other = state.chosenParts[place];
        const bool sameAxis = isAxisPart(other.part) && isAxisPart(part.part) &&
                              partAxis(other.part) == partAxis(part.part);
        if (place != asked && other.part != 0 && other.place == part.place &&
            (other.part == part.part || sameAxis)) {
            return place;
        }
    }
    return wheelChoosableCount;
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
