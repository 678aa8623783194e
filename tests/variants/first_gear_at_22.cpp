// The gearbox of a plug-in whose first gear caps at 22 m/s instead of 21: a
// replay of a recording made by the plug-in as it is must name the first cap
// it sets.
#include <array>

#include "gears/gears.h"

namespace {

constexpr auto firstGearAt22 = [] {
    auto table = std::to_array(gearTable);
    table[0].cap = 22.0f;
    return table;
}();

} // namespace

#define gearTable firstGearAt22
#include "gearbox/gearbox.cpp"
