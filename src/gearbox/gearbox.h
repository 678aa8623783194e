// The manual gearbox: gear state and its per-frame control of the vehicle.
#pragma once

#include <span>

#include "binding_file/binding_reader.h"
#include "gearbox/gear_feel.h"
#include "gearbox/gear_speeds.h"
#include "gears/gears.h"
#include "host/natives.h"
#include "recording/state_field.h"
#include "wheel/wheel.h"
#include "wheel/wheel_forces.h"

// Whether the box engages its gear: in neutral it engages none, the stick
// out of every gate, or in one without the clutch, refused, the label then
// showing that gate in red.
enum class Engaged : std::uint8_t { InGear, Neutral, GateRefused };

struct GearboxState {
    bool transmissionEnabled = true;
    // The gear engaged last.
    Gear gear{};
    Engaged engaged = Engaged::InGear;
    Stick stick = stickUnknown;
    // The clutch key, the pad's hold button or the wheel's pedal past its bite.
    bool clutchHeld = false;
    bool shiftHint = false;
    // The vehicle the gearbox last capped, until it lifts that cap; 0 for none.
    // A cap stays on a vehicle until something sets it again.
    GameHandle cappedVehicle = 0;
    // The shift-up and shift-down keys and pad buttons as the last acting pass
    // saw them: each press moves one gear, however long it is held.
    bool shiftUpKeyWasDown = false;
    bool shiftDownKeyWasDown = false;
    bool padUpWasHeld = false;
    bool padDownWasHeld = false;
    bool paddleUpWasDown = false;
    bool paddleDownWasDown = false;
    // The vehicle of the last pass that drove, and the top speed its gears fit:
    // the table's, unless FitGears fits them to the vehicle. 0 for none since
    // the gearbox was switched on or the script started.
    GameHandle fittedVehicle = 0;
    float fittedTopSpeed = tableTopSpeed;
    // The last vehicle whose top speed the log called unusable.
    GameHandle unfitVehicle = 0;
    // What the last pass did that the wheel's force feedback feels; only
    // that pass reads it.
    GearboxFeel felt{};
};

// Only the functions below change it.
const GearboxState& gearboxState();

// The gearbox's part of the plug-in's state as a recording keeps it.
std::span<const StateField> gearboxStateFields();

// The gear feel's state, which the gearbox's pass changes and resets with
// its own, and its part of the plug-in's state as a recording keeps it.
const FeelState& feelState();
std::span<const StateField> feelStateFields();

// One pass of the gearbox with the keys in use and the wheel as read this
// pass; switched off, only the wheel drives. It drives only a vehicle with a
// gearbox whose driver is the player's character, and says whether it did;
// elsewhere it only lifts the cap it left on its last vehicle.
bool updateGearbox(const KeyBindings& keys, const Wheel& wheel);

void switchGearboxOn();
// Lifts the cap it left, once, and puts the gear back to first. The gearbox
// then touches no vehicle.
void switchGearboxOff();

// The key bindings were read again: the next pass that drives fits the gears
// to its vehicle afresh, as FitGears now says.
void fitGearsAgain();

// The hook started the script afresh: vehicle handles and key presses from
// before mean nothing now, so the gearbox starts in first with nothing capped,
// on or off as it was.
void restartGearbox();

// The gearbox as the DLL loads it: on, in first.
void resetGearbox();
