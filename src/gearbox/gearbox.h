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

// One pass of the enabled gearbox.
void updateGearbox();

// One pass of the disabled gearbox.
void releaseGearbox();
