// What the wheel in the player's hands feels: a pass's forces from the car's
// motion, as documented natives give it, and from the wheel's own position,
// with every strength and curve in one table. Forces in DirectInput's units,
// -10000 to 10000 at the line's full strength, the device's gain scaling
// them; positive pushes the wheel right.
#pragma once

#include <cstdint>
#include <span>

#include "binding_file/binding_reader.h"
#include "host/force_feedback.h"
#include "host/natives.h"
#include "wheel/wheel.h"

// The road as the car felt it this pass.
struct RoadFeel {
    // Relative to the car, in m/s: along its heading, and sideways.
    float forwardSpeed = 0.0f;
    float sidewaysSpeed = 0.0f;
    bool inAir = false;
    // Each a short jolt, the first of them when several come at once.
    bool collided = false;
    bool gateRefused = false;
    bool stalled = false;
};

// A linear rise from `atRest` at a standstill to `atSpeed` at `fullSpeed`
// and beyond.
struct SpeedCurve {
    float atRest = 0.0f;
    float atSpeed = 0.0f;
    float fullSpeed = 1.0f;
};

struct ForceTable {
    // Against the wheel's position, per full turn from the centre.
    SpeedCurve centring;
    SpeedCurve roadWeight;
    SpeedCurve damper;
    // Grip, which scales the speed's part of the centring and the road's
    // weight: whole up to `slipFrom` (sideways speed over forward speed), down
    // to `slidingGrip` at `slipFull` and beyond; none in the air.
    float slipFrom = 0.0f;
    float slipFull = 1.0f;
    float slidingGrip = 0.0f;
    // Below this the forward speed counts as this, so that a car pushed
    // sideways at a standstill slides.
    float slipSpeedFloor = 1.0f;
    ForceParameters collision;
    ForceParameters gateRefused;
    ForceParameters stall;
};

inline constexpr ForceTable forceTable{
    .centring = {1500.0f, 4500.0f, 30.0f},
    .roadWeight = {0.0f, 3500.0f, 30.0f},
    .damper = {1000.0f, 4000.0f, 30.0f},
    .slipFrom = 0.15f,
    .slipFull = 0.5f,
    .slidingGrip = 0.2f,
    .slipSpeedFloor = 2.0f,
    .collision = {7000, 80, 160},
    .gateRefused = {2500, 30, 240},
    .stall = {5000, 60, 300},
};

// A drop of the body's health by this much or more since the last pass is
// a collision; the game's scale runs to 1000.
inline constexpr float collisionHealthDrop = 5.0f;

// The forces of a pass: `position` is the wheel's turn from its centre, -1
// full left to 1 full right.
ForceEffects wheelForces(const ForceTable& table, float position, const RoadFeel& road);

// What the wheel's force feedback knows of the last pass that felt the road.
struct WheelForcesState {
    // The vehicle felt, and its body's health then; 0 for none.
    GameHandle vehicle = 0;
    float bodyHealth = 0.0f;
    // Passes left of the last jolt, during which no other starts.
    std::uint8_t joltPassesLeft = 0;
    // The steering turns right towards its axis's lowest: the device's
    // forces run the other way.
    bool reversed = false;
    // Force feedback was opened on it, at this strength: without, a pass
    // only tests this.
    bool opened = false;
    std::uint8_t strength = 0;
    // Its controller was lost since: force feedback opens again once it
    // reads again.
    bool lost = false;
};

// Only the functions below change it.
const WheelForcesState& wheelForcesState();

// Its fields as a recording keeps them.
std::span<const StateField> wheelForcesStateFields();

// Opens force feedback on the steering's controller, at the bindings'
// strength, when a line asks for it and the steering was found; else lets
// go of it. Whenever the controllers were found.
ForceFeedbackStatus openWheelForces(const KeyBindings& keys);

// What the gearbox did this pass that the wheel feels, beside the road.
struct GearboxFeel {
    // The vehicle with a gearbox the player drives, gearbox on or off; 0 for
    // none.
    GameHandle vehicle = 0;
    bool gateRefused = false;
    bool stalled = false;
};

// One pass of force feedback, after the gearbox's: the road's forces while
// the player drives a vehicle with a gearbox, the steering's controller is
// read and the pause menu is closed; else every effect stops within the
// pass. Without force feedback on, one test.
void feelWheel(const GearboxFeel& gearbox);

// Stops every effect: while choosing keys, and when the script starts again.
void stopWheelForces();

// Force feedback as the DLL loads it: not opened.
void resetWheelForces();
