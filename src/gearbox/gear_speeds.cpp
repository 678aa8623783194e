#include "gearbox/gear_speeds.h"

#include <climits>
#include <cmath>
#include <cstdio>

Gear nextGear(const Box& box, Gear gear, bool up) {
    const int rank = gearSpec(gear).shiftRank;
    Gear next = gear;
    int nearest = INT_MAX;
    for (std::size_t i = 0; i < gearCount; ++i) {
        const int step = up ? gearTable[i].shiftRank - rank : rank - gearTable[i].shiftRank;
        if (box.gears[i].inBox && step > 0 && step < nearest) {
            nearest = step;
            next = Gear{static_cast<std::uint8_t>(i)};
        }
    }
    return next;
}

std::string speedText(float speed) {
    if (std::isnan(speed)) {
        return "NaN";
    }
    if (std::isinf(speed)) {
        return speed > 0 ? "infinity" : "-infinity";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(speed));
    return text;
}
