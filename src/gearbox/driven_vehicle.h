// The vehicle the gearbox drives: the player's, with the player at its wheel,
// of a class with a gearbox.
#pragma once

#include "gearbox/vehicle_classes.h"
#include "host/natives.h"

struct Driving {
    GameHandle character = 0;
    GameHandle vehicle = 0;
};

// The player's character, and the vehicle it drives if that has a gearbox;
// else 0. The character counts as in a vehicle only once seated, and a
// passenger's vehicle is its driver's. An empty driver's seat is never asked
// who sits in it, which would seat a stranger at the wheel of an ambient car.
// Inlined into both the gearbox's callers, so that a steady pass makes no
// call for it.
[[gnu::always_inline]] inline Driving gearboxVehicle() {
    const GameHandle character = playerCharacter();
    if (!characterInVehicle(character)) {
        return {character, 0};
    }
    const GameHandle vehicle = vehicleOfCharacter(character);
    if (driverSeatFree(vehicle) || driverOfVehicle(vehicle) != character ||
        !classHasGearbox(vehicleClass(vehicle))) {
        return {character, 0};
    }
    return {character, vehicle};
}
