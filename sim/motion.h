// How the stand-in's vehicles move from one frame to the next: small and
// deterministic, just enough for a drive to look like a drive.
#pragma once

#include "sim/world.h"

namespace sim {

// IS_VEHICLE_STOPPED's documented limit.
inline constexpr float stoppedAtOrBelow = 0.02f;

// Moves the vehicle the player is in by one frame of the world.
void moveVehicle(Vehicle& vehicle);

} // namespace sim
