// The manual gearbox: gear state and its per-frame control of the vehicle.
#pragma once

enum class Gear { First, Second, Third, Fourth, Reverse };

struct GearboxState {
    bool transmissionEnabled = true;
    Gear gear = Gear::First;
    bool clutchHeld = false;
    bool shiftHint = false;
};

extern GearboxState gearboxState;

// Set once the player has been told, on the first pass the gearbox acts, why
// the gears can't be changed (or found nothing to tell).
extern bool bindingsNoticeGiven;

// One pass of the enabled gearbox.
void updateGearbox();

// One pass of the disabled gearbox.
void releaseGearbox();
