// The system's side of force feedback, under the device layer
// (force_feedback.h): DirectInput in the Windows build
// (direct_input_forces.cpp); natively the stand-in, whose hook defines these
// functions as it defines the game controllers' (controller_system.h). The
// controller is named by its place in the list made last.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/force_effects.h"

// A second device object for the listed controller, acquired exclusively in
// the background on a top-level window of the process, with auto-centre off,
// this gain (0 to 10000), reset, its actuators on and the three effects
// created on this axis (controllerAxisNames' order), none started; closes one
// opened before. Never waits.
ForceFeedbackStatus openSystemForces(std::size_t place, std::size_t axis, std::int32_t gain);
// Sets one effect's parameters and starts it again from now, in one call.
void setSystemForce(ForceEffect effect, const ForceParameters& parameters);
// Stops every effect, in one call.
void stopSystemForces();
// Unloads the effects and lets go of the device.
void closeSystemForces();
