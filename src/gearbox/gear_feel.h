// The gear feel: lower gears pull harder, the engine brakes when the throttle
// is released, the revs show on a bar, and a clutch pedal slips. The gearbox
// runs it in its pass when the key bindings turn it on.
#pragma once

#include <cstdint>
#include <span>

#include "binding_file/binding_reader.h"
#include "gearbox/gear_speeds.h"
#include "gears/gear_feel.h"
#include "recording/state_field.h"
#include "wheel/wheel.h"

struct FeelState {
    // The engine's revs as the last pass left them, from idle to 1 at a
    // gear's cap.
    float revs = idleRevs;
    // The game's time of the last pass that asked for it, and whether that
    // was the pass before: only then does the time between count.
    std::int32_t timeMs = 0;
    bool timed = false;
};

// Only the functions below change it.
const FeelState& feelState();

// The feel's part of the plug-in's state as a recording keeps it.
std::span<const StateField> feelStateFields();

// What the gearbox knows of its pass.
struct FeelPass {
    const KeyBindings& keys;
    const Wheel& wheel;
    GameHandle vehicle;
    // As the game gave it, a number from 0 to the highest top speed.
    float speed;
    // The clutch: 1 out, 0 in, and slipping between.
    float engaged;
    // The top speed the gears fit, and the box's forward gears.
    float topSpeed;
    int forwardGears;
};

// The table's pull and engine braking (m/s²) at a place in the box and the
// revs, before the player's strengths.
struct Feel {
    float pull;
    float braking;
};
Feel feelAt(float place, float revs);

// In gear: the revs follow the speed between the gear's bottom and its cap,
// with the clutch out, and the throttle with it in; the pull is sent unless
// the clutch is in or the gear is reverse; and with the throttle released,
// the cap the gearbox would set comes back stepped down by the engine's
// braking, never below the gear's stall speed or a crawl.
float feelInGear(const FeelPass& pass, const GearSpec& gear, const BoxGear& inBox, float cap);

// In neutral the revs follow the throttle.
void feelInNeutral(const FeelPass& pass);

// A gate refused: the revs flare.
void flareRevs();

// The rev bar, red at the cap, else green while "Shift" lights.
void drawRevs(bool shiftHint);

// As the DLL loads it, and whenever the gearbox forgets its vehicle.
void resetFeel();
