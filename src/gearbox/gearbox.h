// The manual gearbox: gear state and its per-frame control of the vehicle.
#pragma once

#include "gears/gears.h"
#include "host/natives.h"

struct GearboxState {
    bool transmissionEnabled = true;
    Gear gear{};
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
};

extern GearboxState gearboxState;

// One pass of the enabled gearbox. It drives only a vehicle with a gearbox
// whose driver is the player's character, and says whether it did; elsewhere
// it only lifts the cap it left on its last vehicle.
bool updateGearbox();

// Switching the gearbox off: lifts the cap it left, once, and puts the gear
// back to first. The disabled gearbox then touches no vehicle.
void releaseGearbox();

// The hook started the script afresh: vehicle handles and key presses from
// before mean nothing now, so the gearbox starts in first with nothing capped,
// on or off as it was.
void restartGearbox();
