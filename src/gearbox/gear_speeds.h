// The gear table's rules as the gearbox applies them to a vehicle: each
// gear's speeds in a box, as fitted to a top speed, and the gear a shift up
// or down moves to.
#pragma once

#include <cstddef>
#include <string>
#include <type_traits>

#include "gears/gears.h"

// The game's estimate of a vehicle's top speed counts from this to this; any
// other answer leaves the vehicle's gears as written.
inline constexpr float lowestTopSpeed = 5.0f;
inline constexpr float highestTopSpeed = 150.0f;

inline constexpr auto& boxes = boxesOf<gearTable>;
using Box = std::remove_cvref_t<decltype(boxes.front())>;

inline const GearSpec& gearSpec(Gear gear) {
    return gearTable[static_cast<std::size_t>(gear)];
}

inline const BoxGear& inBox(const Box& box, Gear gear) {
    return box.gears[static_cast<std::size_t>(gear)];
}

struct GearSpeeds {
    float cap;
    float hintAbove;
    float lugAtOrBelow;
};

// A gear's speeds with its forward speeds fitted to a top speed, the table's
// or the vehicle's; an open cap stays open, and reverse keeps its own.
inline GearSpeeds gearSpeeds(const GearSpec& gear, const BoxGear& box, float topSpeed) {
    if (gear.reverse) {
        return {box.cap, box.hintAbove, box.lugAtOrBelow};
    }
    const float scale = topSpeed / tableTopSpeed;
    return {box.cap == openCap ? openCap : box.cap * scale, box.hintAbove * scale,
            box.lugAtOrBelow * scale};
}

// One gear up or down: the nearest shift rank of the box beyond the gear's;
// none past the ends.
Gear nextGear(const Box& box, Gear gear, bool up);

// The text of a top speed for the log: a float, NaN or infinity as such.
std::string speedText(float speed);
