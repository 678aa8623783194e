// How the stand-in's vehicles move from one frame to the next: small and
// deterministic, just enough for a drive to look like a drive.
#pragma once

#include "sim/world.h"

namespace sim {

// IS_VEHICLE_STOPPED's documented limit.
inline constexpr float stoppedAtOrBelow = 0.02f;
// The torque multipliers the game's own scripts send.
inline constexpr float lowestTorque = 0.2f;
inline constexpr float highestTorque = 1.8f;

// Moves the vehicle the player is in by one frame of the world.
void moveVehicle(Vehicle& vehicle);

} // namespace sim
