// A wheel as the gearbox and the game's driving need it: its clutch pedal,
// the shifter's stick and paddles, and its steering, pedals and handbrake.
// Each bound part is tied to its controller when the bindings are read or
// the controllers found again, so that a pass reads it without looking for
// its controller, however many are attached.
#pragma once

#include <array>
#include <cstdint>

#include "binding_file/binding_reader.h"
#include "gears/gears.h"
#include "host/game_controllers.h"
#include "wheel/wheel_drive.h"

struct GameController;

// Where a wheel's shifter's stick is: in the gate of a gear, in none, or
// unknown while no gate of the box can be read.
struct Stick {
    enum class Where : std::uint8_t { InGate, InNoGate, Unknown };
    Where where = Where::Unknown;
    // The first gear but in a gate.
    Gear gate{};
    bool operator==(const Stick&) const = default;
};
inline constexpr Stick stickInNoGate{Stick::Where::InNoGate};
inline constexpr Stick stickUnknown{};
constexpr Stick stickInGate(Gear gear) {
    return {Stick::Where::InGate, gear};
}

// The wheel as read on a pass: released for a part unbound, or whose
// controller wasn't found or reads as released.
struct Wheel {
    // From 0, released, to 1, floored; past the bite point it is the clutch.
    // With the gear feel the bite point is a band: past it the clutch is in,
    // short of it out, and in it the clutch slips, engaged from 1 at its near
    // end to 0 at its far end.
    float clutchTravel = 0.0f;
    bool clutchPastBite = false;
    float clutchEngaged = 1.0f;
    Stick stick = stickUnknown;
    bool paddleUpHeld = false;
    bool paddleDownHeld = false;
    // Past its dead zone, the throttle pedal counts as W.
    bool throttleDown = false;
    // Whether a driving part is bound to a controller found: only then is the
    // drive read.
    bool driving = false;
    // Whether each game controller opened read on the pass.
    ControllersRead controllers = ControllersRead::Read;
    WheelDrive drive{};
};

// A bound part and the controller it was found on; none for a part unbound
// or whose controller wasn't found and opened.
struct FoundPart {
    const GameController* controller = nullptr;
    ControllerPart part = 0;
};

struct WheelState {
    FoundPart clutchPedal{};
    // By Gear; none for a gear the bindings' box lacks.
    std::array<FoundPart, gearCount> gates{};
    FoundPart paddleUp{};
    FoundPart paddleDown{};
    FoundPart steering{};
    FoundPart throttle{};
    FoundPart brake{};
    FoundPart handbrake{};
    // The clutch pedal's travel in percent from which it is the clutch: its
    // bite point, or with the gear feel the far end of the band around it,
    // within the travel, so that a floored pedal always is; and from which it
    // slips: the band's near end, or the bite point without the feel. A button
    // reads at the band's ends: a switch. The dead zone and the full lock as
    // fractions of the travel.
    float clutchFrom = 0.0f;
    float slipFrom = 0.0f;
    float deadZone = 0.0f;
    float fullLock = 0.0f;
    // Whether any part was found: a pass without reads only this.
    bool anyFound = false;
    // Whether the pause menu is open, once asked in a pass that read a
    // part: -1 until then.
    std::int8_t pauseMenu = -1;
    Wheel read{};
};

// Only the functions below change it.
const WheelState& wheelState();

// Finds each part the bindings bind on the first opened controller with its
// id: whenever the bindings or the controllers found change, a replay's
// restore among them.
void findWheelParts(const KeyBindings& keys);

// Reads every opened controller, once a pass before its input is used, and
// returns the wheel as read.
const Wheel& readWheel();

// The steering's turn from its centre, -1 full left to 1 full right, as the
// hands hold it: no dead zone, no full lock; 0 while it isn't read.
float steeringPosition();
