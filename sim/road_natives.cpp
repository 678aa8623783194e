// What the world does for the natives that tell how the road feels: a
// vehicle's speed relative to itself, whether it is in the air, and its
// body's health.
#include "sim/native_runs.h"

#include <cmath>

#include "sim/slots.h"

namespace sim {

// Relative (the second argument true): x sideways, y along the heading;
// otherwise in the world's axes, east and north, by the heading. The
// game's heading rises to the left, from north.
void runVehicleRelativeSpeed(const std::uint64_t* a) {
    const Vehicle* vehicle = findVehicle(slotInt(a[0]));
    float x = vehicle ? vehicle->sidewaysSpeed : 0.0f;
    float y = vehicle ? vehicle->speed : 0.0f;
    if (vehicle && slotInt(a[1]) == 0) {
        const float radians = vehicle->heading * 3.14159265f / 180.0f;
        const float east = -std::sin(radians) * y + std::cos(radians) * x;
        y = std::cos(radians) * y + std::sin(radians) * x;
        x = east;
    }
    world.resultSlots[0] = floatResult(x);
    world.resultSlots[1] = floatResult(y);
    world.resultSlots[2] = floatResult(0.0f);
}

void runVehicleInAir(const std::uint64_t* a) {
    const Vehicle* vehicle = findVehicle(slotInt(a[0]));
    setResult(boolResult(vehicle && vehicle->inAir));
}

void runVehicleBodyHealth(const std::uint64_t* a) {
    const Vehicle* vehicle = findVehicle(slotInt(a[0]));
    setResult(floatResult(vehicle ? vehicle->bodyHealth : 0.0f));
}

} // namespace sim
