// The gearbox of a plug-in whose first gear caps at 22 m/s instead of 21 in
// the box fourth tops: a replay of a recording made by the plug-in as it is
// must name the first cap it sets.
#include <array>

#include "gears/gears.h"

namespace {

constexpr std::initializer_list<float> fourSpeedCapsFirstAt22 = {22.0f, 31.0f, 40.5f};

constexpr auto firstGearAt22 = [] {
    auto table = std::to_array(gearTable);
    table[3].boxCaps = fourSpeedCapsFirstAt22;
    return table;
}();

} // namespace

#define gearTable firstGearAt22
#include "gearbox/gearbox.cpp"
