// Where the gearbox draws its labels and which vehicles it works: what the
// gearbox acts by, and what the drive tools read a drive by.
#pragma once

#include <cstdint>

// The labels' centres along the top of the screen, left to right.
inline constexpr float gearLabelX = 0.015f;
inline constexpr float clutchLabelX = 0.08f;
inline constexpr float shiftLabelX = 0.155f;
// The line that asks for keys while the player chooses them, centred above
// the subtitles.
inline constexpr float promptX = 0.5f;
inline constexpr float promptY = 0.75f;

// The game's vehicle classes run from 0 to this.
inline constexpr std::int32_t highestVehicleClass = 22;

// Cycles, boats, helicopters, planes and trains: the game's vehicle classes
// without a gearbox to work.
inline constexpr std::int32_t classesWithoutGearbox[] = {13, 14, 15, 16, 21};

constexpr bool classHasGearbox(std::int32_t vehicleClass) {
    for (const std::int32_t noGearbox : classesWithoutGearbox) {
        if (vehicleClass == noGearbox) {
            return false;
        }
    }
    return true;
}
