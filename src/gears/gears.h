// Every gear of the gearbox, defined once: its label, the key that selects it,
// its speeds and its rules. The gearbox, the key bindings, check-bindings, the
// drive scripts and the drive chart all take their gears from here. Pure data,
// on no other folder of ours.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string_view>

// A gear: its row in the gear table. A drive recording keeps this number, so a
// new gear takes a new row at the end.
enum class Gear : std::uint8_t {};

// The cap of a gear without one.
inline constexpr float openCap = 9999.0f;

// The written speeds fit a car whose top speed is 50 m/s (180 km/h); the key
// file's FitGears line scales a forward gear's speeds by the vehicle's top
// speed over this one.
inline constexpr float tableTopSpeed = 50.0f;

struct GearSpec {
    // On the screen and in drive scripts, and in messages.
    const char* label;
    const char* name;
    // The key-binding field of the key that selects it.
    std::string_view keyField;
    // One shift up moves to the next higher rank, one down to the next lower.
    int shiftRank;
    // Backs up: the gearbox pushes the vehicle backwards, the S key's allowance
    // doesn't apply and its speeds never fit the vehicle.
    bool reverse;
    // Above its cap, a gear whose cap follows a faster vehicle caps at the
    // current speed instead, so that a downshift never brakes the vehicle.
    float cap;
    bool capFollowsFasterVehicle;
    // Lights "Shift" above this speed; a gear without one turns it off.
    bool hints;
    float hintAbove;
    // Accelerating at or below this speed stalls the engine.
    bool lugs;
    float lugAtOrBelow;
    // Accelerating at a standstill stalls the engine.
    bool standstillStall;
};

// Indexed by Gear; the first row is the gear the gearbox starts in. Every value
// is single precision and every comparison is made in single precision. Not
// inline: each file has its own copy, so that a test build can compile the
// gearbox against a changed one.
// clang-format off
constexpr GearSpec gearTable[] = {
    // label, name, key field, shift rank, reverse; cap, whether it follows a faster
    // vehicle; hints, above; lugs, at or below; stalls at a standstill
    {"1", "first",   "firstGearKey",  1, false, 21.0f,   true,  true,  20.0f, false, 0.0f,  false},
    {"2", "second",  "secondGearKey", 2, false, 31.0f,   true,  true,  30.0f, true,  18.9f, true },
    {"3", "third",   "thirdGearKey",  3, false, 40.5f,   true,  true,  39.5f, true,  28.9f, true },
    {"4", "fourth",  "fourthGearKey", 4, false, openCap, false, false, 0.0f,  true,  38.4f, true },
    {"R", "reverse", "reverseKey",    0, true,  8.0f,    false, false, 0.0f,  false, 0.0f,  true },
};
// clang-format on

constexpr std::size_t gearCount = std::size(gearTable);
static_assert(gearCount <= 256, "a Gear is one byte");

// Shifting one gear up or down needs a rank per gear.
template <const auto& gears>
constexpr bool shiftRanksDiffer() {
    for (std::size_t i = 0; i < std::size(gears); ++i) {
        for (std::size_t j = i + 1; j < std::size(gears); ++j) {
            if (gears[i].shiftRank == gears[j].shiftRank) {
                return false;
            }
        }
    }
    return true;
}
static_assert(shiftRanksDiffer<gearTable>(), "shifting one gear up or down needs a rank per gear");
