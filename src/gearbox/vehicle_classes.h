// Which vehicles the gearbox works: what the gearbox acts by, and what the
// drive tools read a drive by.
#pragma once

#include <cstdint>

// The game's vehicle classes run from 0 to this.
inline constexpr std::int32_t highestVehicleClass = 22;

// Cycles, boats, helicopters, planes and trains: the game's vehicle classes
// without a gearbox to work.
inline constexpr std::int32_t classesWithoutGearbox[] = {13, 14, 15, 16, 21};

// A bit for each, tested once a pass.
inline constexpr std::uint32_t classesWithoutGearboxBits = [] {
    std::uint32_t bits = 0;
    for (const std::int32_t noGearbox : classesWithoutGearbox) {
        bits |= 1u << noGearbox;
    }
    return bits;
}();

constexpr bool classHasGearbox(std::int32_t vehicleClass) {
    return vehicleClass < 0 || vehicleClass > highestVehicleClass ||
           ((classesWithoutGearboxBits >> vehicleClass) & 1u) == 0;
}
