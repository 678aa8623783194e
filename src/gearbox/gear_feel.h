// The gear feel: lower gears pull harder, the engine brakes when the throttle
// is released, the revs show on a bar, and a clutch pedal slips. The gearbox
// owns its state and runs it in its pass when the key bindings turn it on;
// what runs in every such pass is inlined there.
#pragma once

#include <algorithm>
#include <cstdint>

#include "binding_file/binding_reader.h"
#include "gearbox/driving_inputs.h"
#include "gearbox/gear_speeds.h"
#include "gears/gear_feel.h"
#include "host/natives.h"
#include "screen/hud.h"
#include "wheel/wheel.h"

struct FeelState {
    // The engine's revs as the last pass left them, from idle to 1 at a
    // gear's cap.
    float revs = idleRevs;
    // The game's time of the last pass that asked for it, and whether that
    // was the pass before: only then does the time between count.
    std::int32_t timeMs = 0;
    bool timed = false;
    // The gear engaged, as fitted to the top speed: worked out again when the
    // gear or its box changes, or the gearbox fits the gears again, and never
    // recorded, since any pass can work it out again.
    const BoxGear* fittedGear = nullptr;
    bool drives = false;
    // The revs rise from lowRevs at this speed, by this much a m/s.
    float bottom = 0.0f;
    float lowRevs = 0.0f;
    float revsPerSpeed = 0.0f;
    // The engine brakes above this speed.
    float floor = 0.0f;
};

// What the gearbox knows of its pass in gear, four numbers that travel in
// registers.
struct FeelPass {
    // As the game gave it.
    float speed;
    // The clutch: 1 out, 0 in, and slipping between.
    float engaged;
    // The top speed the gears fit.
    float topSpeed;
    // The cap the gearbox would set.
    float cap;
};

// The table's pull and engine braking (m/s²) at a place in the box and the
// revs, before the player's strengths, as a pass looks them up.
struct Feel {
    float pull;
    float braking;
};
Feel feelAt(float place, float revs);

// The revs curve's share at these revs, between its steps.
template <auto share>
float atRevs(float revs) {
    const float at = revs * revsSteps;
    const int step = std::min(static_cast<int>(at), revsSteps - 1);
    const FeelAtRevs& below = feelByRevsStep[static_cast<std::size_t>(step)];
    const FeelAtRevs& above = feelByRevsStep[static_cast<std::size_t>(step) + 1];
    return below.*share + (at - static_cast<float>(step)) * (above.*share - below.*share);
}

// A strength as the player writes it, as a factor.
inline float strength(std::int32_t percent) {
    return static_cast<float>(percentOrDefault(percent, defaultStrength)) / 100.0f;
}

// Works the gear's numbers out afresh.
void fitFeel(FeelState& feel, const GearSpec& gear, const BoxGear& inBox, float topSpeed);

// A pass in gear whose engine brakes (known so with the clutch out in a
// forward gear), whose clutch slips or is in, or in reverse: it moves the
// revs, asking the game's time when they or the cap move with it, sends the
// pull when the clutch is in part or wholly out, and gives back the cap,
// stepped down when the engine brakes.
float feelOtherwise(FeelState& feel, const KeyBindings& keys, const Wheel& wheel,
                    GameHandle vehicle, const BoxGear& inBox, FeelPass pass, float speedRevs,
                    bool braking);

// In gear: the revs follow the speed between the gear's bottom and its cap,
// with the clutch out, and the throttle with it in; the pull is sent unless
// the clutch is in or the gear is reverse; and with the throttle released,
// the cap the gearbox would set comes back stepped down by the engine's
// braking, never below the gear's stall speed or a crawl. A speed that is no
// number counts as the gear's bottom, and never brakes. Inlined: the pass of
// a forward gear with the clutch out and the throttle pressed is the one a
// steady drive makes.
[[gnu::always_inline]] inline float feelInGear(FeelState& feel, const KeyBindings& keys,
                                               const Wheel& wheel, GameHandle vehicle,
                                               const GearSpec& gear, const BoxGear& inBox,
                                               FeelPass pass) {
    if (feel.fittedGear != &inBox) [[unlikely]] {
        fitFeel(feel, gear, inBox, pass.topSpeed);
    }
    const float speedRevs =
        std::min(1.0f, feel.lowRevs + std::max(0.0f, pass.speed - feel.bottom) * feel.revsPerSpeed);
    const bool outInForward = pass.engaged >= 1.0f && feel.drives;
    const bool braking = outInForward && pass.speed > feel.floor && !throttlePressed(wheel);
    if (!outInForward || braking) [[unlikely]] {
        return feelOtherwise(feel, keys, wheel, vehicle, inBox, pass, speedRevs, braking);
    }
    feel.revs = speedRevs;
    feel.timed = false;
    const float pull = inBox.pull * atRevs<&FeelAtRevs::pull>(speedRevs);
    scaleEngineTorque(vehicle, std::clamp(1.0f + (pull - 1.0f) * strength(keys.pull), weakestPull,
                                          strongestPull));
    return pass.cap;
}

// In neutral the revs follow the throttle.
void feelInNeutral(FeelState& feel, const Wheel& wheel);

// A gate refused: the revs flare.
void flareRevs(FeelState& feel);

// The rev bar, red at the cap, else green while "Shift" lights.
[[gnu::always_inline]] inline void drawRevs(const FeelState& feel, bool shiftHint) {
    if (feel.revs >= 1.0f) {
        drawRevBar(feel.revs, 240, 50, 50);
    } else if (shiftHint) {
        drawRevBar(feel.revs, 50, 255, 50);
    } else {
        drawRevBar(feel.revs, 250, 250, 250);
    }
}
