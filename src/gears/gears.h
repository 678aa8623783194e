// Every gear of the gearboxes, defined once: its label, the key and the
// wheel's gate that select it, its rules and, for a gear that tops a box, the
// speeds of that box. The gearbox, the key bindings, check-bindings, the drive
// scripts and the drive chart all take their gears from here. Pure data, on no
// other folder of ours.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string_view>

#include "gears/gear_feel.h"

// A gear: its row in the gear table. A drive recording keeps this number, so a
// new gear takes a new row at the end.
enum class Gear : std::uint8_t {};

// The cap of a gear without one.
inline constexpr float openCap = 9999.0f;

// The written speeds fit a car whose top speed is 50 m/s (180 km/h); the key
// file's FitGears line scales a forward gear's speeds by the vehicle's top
// speed over this one.
inline constexpr float tableTopSpeed = 50.0f;

// In every box, a gear under the top lights "Shift" this far below its cap;
inline constexpr float hintBelowCap = 1.0f;
// and a gear that lugs stalls at or below the cap of the gear under it less
// this.
inline constexpr float lugBelowCapUnder = 2.1f;

struct GearSpec {
    // On the screen and in drive scripts, and in messages.
    const char* label;
    const char* name;
    // The key-binding fields of the key that selects it, and of its gate on a
    // wheel's shifter.
    std::string_view keyField;
    std::string_view gateField;
    // Forward gears rank from 1 up, in the order of shifting up, and reverse
    // below them. One shift up moves to the next higher rank the box has, one
    // down to the next lower.
    int shiftRank;
    // Backs up: the gearbox pushes the vehicle backwards, the S key's allowance
    // doesn't apply and its speeds never fit the vehicle.
    bool reverse;
    // Its cap where no box gives it one: as reverse, or as a box's top gear.
    float cap;
    // Accelerating at or below the cap of the gear under it, less
    // lugBelowCapUnder, stalls the engine.
    bool lugs;
    // Accelerating at a standstill stalls the engine.
    bool standstillStall;
    // A gear that tops a box lists the caps of the forward gears under it,
    // from first up: the box has those, this gear and reverse.
    std::initializer_list<float> boxCaps;
};

// Indexed by Gear; the first row is the gear the gearbox starts in. Every value
// is single precision and every comparison is made in single precision. Not
// inline: each file has its own copy, so that a test build can compile the
// gearbox against a changed one.
// clang-format off
constexpr GearSpec gearTable[] = {
    // label, name, key field, gate field, shift rank, reverse; cap; lugs; stalls at a
    // standstill; the caps under it of the box it tops
    {"1", "first",   "firstGearKey",  "firstGearGate",  1, false, openCap, false, false, {}},
    {"2", "second",  "secondGearKey", "secondGearGate", 2, false, openCap, true,  true,  {}},
    {"3", "third",   "thirdGearKey",  "thirdGearGate",  3, false, openCap, true,  true,  {}},
    {"4", "fourth",  "fourthGearKey", "fourthGearGate", 4, false, openCap, true,  true,
     {21.0f, 31.0f, 40.5f}},
    {"R", "reverse", "reverseKey",    "reverseGate",    0, true,  8.0f,    false, true,  {}},
    {"5", "fifth",   "fifthGearKey",  "fifthGearGate",  5, false, openCap, true,  true,
     {17.0f, 25.0f, 33.0f, 41.0f}},
    {"6", "sixth",   "sixthGearKey",  "sixthGearGate",  6, false, openCap, true,  true,
     {14.0f, 20.5f, 27.0f, 34.0f, 40.5f}},
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

// Some forward gear tops a box; a box has a cap for each forward gear under its
// top, and a forward gear of every rank from 1 to its top's; a gear that lugs
// has a gear under it.
template <const auto& gears>
constexpr bool boxesAreWhole() {
    bool someBox = false;
    for (const GearSpec& top : gears) {
        const auto rank = static_cast<std::size_t>(top.shiftRank);
        const auto under = std::ranges::count_if(gears, [&top](const GearSpec& gear) {
            return !gear.reverse && gear.shiftRank <= top.shiftRank;
        });
        if (top.boxCaps.size() != 0 && (top.reverse || top.boxCaps.size() + 1 != rank ||
                                        static_cast<std::size_t>(under) != rank)) {
            return false;
        }
        someBox = someBox || top.boxCaps.size() != 0;
    }
    return someBox && std::ranges::all_of(gears, [](const GearSpec& gear) {
               return (gear.shiftRank >= 1) != gear.reverse &&
                      (!gear.lugs || (!gear.reverse && gear.shiftRank >= 2));
           });
}
static_assert(boxesAreWhole<gearTable>(),
              "each box has a cap for every forward gear under its top, ranked from 1");

// A gear's speeds and rules in one box, worked out from the gear table.
struct BoxGear {
    // A gear the box lacks drives as its top gear does.
    bool inBox;
    float cap;
    // Above its cap, a gear whose cap follows a faster vehicle caps at the
    // current speed instead, so that a downshift never brakes the vehicle.
    bool capFollowsFasterVehicle;
    // Lights "Shift" above this speed; a gear without one turns it off.
    bool hints;
    float hintAbove;
    // Accelerating at or below this speed stalls the engine.
    bool lugs;
    float lugAtOrBelow;
    // The gear feel's pull and engine braking at its place in the box, from
    // its first gear to its top, at the revs curve's peak.
    float pull;
    float braking;
};

template <std::size_t gearRows>
struct BoxOf {
    int forwardGears;
    Gear top;
    // By Gear.
    std::array<BoxGear, gearRows> gears;
};

// Each box the gear table's gears top, from the fewest forward gears up.
template <const auto& gears>
constexpr auto boxesOf = [] {
    constexpr std::size_t rows = std::size(gears);
    constexpr auto boxCount =
        std::ranges::count_if(gears, [](const GearSpec& gear) { return gear.boxCaps.size() != 0; });
    std::array<BoxOf<rows>, boxCount> boxes{};
    auto box = boxes.begin();
    for (std::size_t top = 0; top < rows; ++top) {
        if (gears[top].boxCaps.size() == 0) {
            continue;
        }
        const float* caps = gears[top].boxCaps.begin();
        box->forwardGears = gears[top].shiftRank;
        box->top = Gear{static_cast<std::uint8_t>(top)};
        for (std::size_t row = 0; row < rows; ++row) {
            const GearSpec& gear = gears[row];
            const int rank = gear.shiftRank;
            if (!gear.reverse && rank > box->forwardGears) {
                continue;
            }
            const bool under = !gear.reverse && row != top;
            const float cap = under ? caps[rank - 1] : gear.cap;
            const float place = gear.reverse ? 0.0f
                                             : static_cast<float>(rank - 1) /
                                                   static_cast<float>(box->forwardGears - 1);
            box->gears[row] = {
                true,
                cap,
                !gear.reverse && cap != openCap,
                under,
                under ? cap - hintBelowCap : 0.0f,
                gear.lugs,
                gear.lugs ? caps[rank - 2] - lugBelowCapUnder : 0.0f,
                along<feelByPlace, &FeelAtPlace::place, &FeelAtPlace::pull>(place),
                along<feelByPlace, &FeelAtPlace::place, &FeelAtPlace::braking>(place)};
        }
        for (std::size_t row = 0; row < rows; ++row) {
            if (!gears[row].reverse && gears[row].shiftRank > box->forwardGears) {
                box->gears[row] = box->gears[top];
                box->gears[row].inBox = false;
            }
        }
        ++box;
    }
    std::ranges::sort(boxes, {}, &BoxOf<rows>::forwardGears);
    return boxes;
}();
constexpr auto gearBoxes = boxesOf<gearTable>;

// The box with this many forward gears; for a number no box has, the first,
// with the fewest. Every pass asks, so it is one look in a table.
template <const auto& boxes = gearBoxes>
constexpr const auto& boxWith(std::int32_t forwardGears) {
    constexpr auto places = [] {
        std::array<std::size_t, static_cast<std::size_t>(boxes.back().forwardGears) + 1> box{};
        for (std::size_t place = 0; place < boxes.size(); ++place) {
            box[static_cast<std::size_t>(boxes[place].forwardGears)] = place;
        }
        return box;
    }();
    const auto count = static_cast<std::size_t>(forwardGears);
    return boxes[count < places.size() ? places[count] : 0];
}

constexpr bool someBoxHas(std::int32_t forwardGears) {
    return boxWith(forwardGears).forwardGears == forwardGears;
}
