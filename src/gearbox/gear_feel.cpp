#include "gearbox/gear_feel.h"

namespace {

// Revving freely, the revs rise with the throttle, and fall back to idle
// without it, this much a second.
constexpr float revsRisePerSecond = 1.5f;
constexpr float revsFallPerSecond = 1.0f;
constexpr float refusedFlare = 0.3f;
// The engine brakes no lower: the car rolls to a stop as it would.
constexpr float crawlSpeed = 2.0f;
// A longer time between passes, a pause or a load, counts as this long.
constexpr float longestPassSeconds = 0.1f;

// The seconds since the pass before, when that pass asked too; else 0.
float elapsedSeconds(FeelState& feel) {
    const std::int32_t now = gameTimeMs();
    const float seconds =
        feel.timed ? std::clamp(static_cast<float>(std::int64_t{now} - feel.timeMs) / 1000.0f, 0.0f,
                                longestPassSeconds)
                   : 0.0f;
    feel.timeMs = now;
    feel.timed = true;
    return seconds;
}

void revsToward(FeelState& feel, float target, float seconds) {
    feel.revs = target > feel.revs ? std::min(target, feel.revs + revsRisePerSecond * seconds)
                                   : std::max(target, feel.revs - revsFallPerSecond * seconds);
}

// Revving freely: up to the cap with the throttle, down to idle without.
float freeRevs(bool throttle) {
    return throttle ? 1.0f : idleRevs;
}

} // namespace

Feel feelAt(float place, float revs) {
    return {along<feelByPlace, &FeelAtPlace::place, &FeelAtPlace::pull>(place) *
                atRevs<&FeelAtRevs::pull>(revs),
            along<feelByPlace, &FeelAtPlace::place, &FeelAtPlace::braking>(place) *
                atRevs<&FeelAtRevs::braking>(revs)};
}

void fitFeel(FeelState& feel, const GearSpec& gear, const BoxGear& inBox, float topSpeed) {
    const GearSpeeds speeds = gearSpeeds(gear, inBox, topSpeed);
    const float top = speeds.cap == openCap ? topSpeed : speeds.cap;
    feel.fittedGear = &inBox;
    feel.drives = !gear.reverse;
    feel.bottom = gear.lugs ? speeds.lugAtOrBelow : 0.0f;
    feel.lowRevs = gear.lugs ? idleRevs : pullAwayRevs;
    feel.revsPerSpeed = (1.0f - feel.lowRevs) / (top - feel.bottom);
    feel.floor = std::max(crawlSpeed, feel.bottom);
}

float feelOtherwise(FeelState& feel, const KeyBindings& keys, const Wheel& wheel,
                    GameHandle vehicle, const BoxGear& inBox, FeelPass pass, float speedRevs,
                    bool braking) {
    const bool drives = feel.drives && pass.engaged > 0.0f;
    const bool slipping = pass.engaged < 1.0f;
    bool throttle = false;
    if (!braking) {
        const bool aboveFloor = drives && pass.speed > feel.floor;
        throttle = (aboveFloor || slipping) && throttlePressed(wheel);
        braking = aboveFloor && !throttle;
    }
    const float seconds = braking || slipping ? elapsedSeconds(feel) : 0.0f;
    feel.timed = braking || slipping;
    if (slipping) {
        revsToward(feel, pass.engaged * speedRevs + (1.0f - pass.engaged) * freeRevs(throttle),
                   seconds);
    } else {
        feel.revs = speedRevs;
    }
    if (drives) {
        const float pull = inBox.pull * atRevs<&FeelAtRevs::pull>(feel.revs);
        scaleEngineTorque(vehicle,
                          std::clamp((1.0f + (pull - 1.0f) * strength(keys.pull)) * pass.engaged,
                                     weakestPull, strongestPull));
    }
    if (!braking) {
        return pass.cap;
    }
    const float rate = inBox.braking * atRevs<&FeelAtRevs::braking>(feel.revs) *
                       strength(keys.engineBraking) * pass.engaged;
    return std::max(feel.floor, std::min(pass.cap, pass.speed) - rate * seconds);
}

void feelInNeutral(FeelState& feel, const Wheel& wheel) {
    const bool throttle = throttlePressed(wheel);
    revsToward(feel, freeRevs(throttle), elapsedSeconds(feel));
}

void flareRevs(FeelState& feel) {
    feel.revs = std::min(1.0f, feel.revs + refusedFlare);
}
