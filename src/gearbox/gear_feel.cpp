#include "gearbox/gear_feel.h"

#include <algorithm>
#include <iterator>

#include "gearbox/driving_inputs.h"
#include "screen/hud.h"

namespace {

FeelState state;

// Revving freely, the revs rise with the throttle, and fall back to idle
// without it, this much a second.
constexpr float revsRisePerSecond = 1.5f;
constexpr float revsFallPerSecond = 1.0f;
constexpr float refusedFlare = 0.3f;
// The engine brakes no lower: the car rolls to a stop as it would.
constexpr float crawlSpeed = 2.0f;
// A longer time between passes, a pause or a load, counts as this long.
constexpr float longestPassSeconds = 0.1f;

// A straight line between the rows around `at`; beyond the ends, the end's.
template <const auto& rows, auto key, auto value>
float along(float at) {
    const auto* row = std::begin(rows);
    if (!(at > row->*key)) {
        return row->*value;
    }
    for (const auto* next = row + 1; next != std::end(rows); row = next++) {
        if (at <= next->*key) {
            return row->*value +
                   (at - row->*key) / (next->*key - row->*key) * (next->*value - row->*value);
        }
    }
    return row->*value;
}

float strength(std::int32_t percent) {
    return static_cast<float>(percentOrDefault(percent, defaultStrength)) / 100.0f;
}

// The seconds since the pass before, when that pass asked too; else 0.
float elapsedSeconds() {
    const std::int32_t now = gameTimeMs();
    const float seconds =
        state.timed ? std::clamp(static_cast<float>(std::int64_t{now} - state.timeMs) / 1000.0f,
                                 0.0f, longestPassSeconds)
                    : 0.0f;
    state.timeMs = now;
    state.timed = true;
    return seconds;
}

void revsToward(float target, float seconds) {
    state.revs = target > state.revs ? std::min(target, state.revs + revsRisePerSecond * seconds)
                                     : std::max(target, state.revs - revsFallPerSecond * seconds);
}

// Revving freely: up to the cap with the throttle, down to idle without.
float freeRevs(bool throttle) {
    return throttle ? 1.0f : idleRevs;
}

} // namespace

const FeelState& feelState() {
    return state;
}

std::span<const StateField> feelStateFields() {
    static constexpr auto fields = std::to_array({
        floatField<state, &FeelState::revs>("revs", 0.0f, 1.0f),
        numberField<state, &FeelState::timeMs>("feelTimeMs"),
        flagField<state, &FeelState::timed>("feelTimed"),
    });
    return fields;
}

Feel feelAt(float place, float revs) {
    return {along<feelByPlace, &FeelAtPlace::place, &FeelAtPlace::pull>(place) *
                along<feelByRevs, &FeelAtRevs::revs, &FeelAtRevs::pull>(revs),
            along<feelByPlace, &FeelAtPlace::place, &FeelAtPlace::braking>(place) *
                along<feelByRevs, &FeelAtRevs::revs, &FeelAtRevs::braking>(revs)};
}

float feelInGear(const FeelPass& pass, const GearSpec& gear, const BoxGear& inBox, float cap) {
    const GearSpeeds speeds = gearSpeeds(gear, inBox, pass.topSpeed);
    const float bottom = gear.lugs ? speeds.lugAtOrBelow : 0.0f;
    const float top = speeds.cap == openCap ? pass.topSpeed : speeds.cap;
    const float lowRevs = gear.lugs ? idleRevs : pullAwayRevs;
    const float speedRevs =
        lowRevs + (1.0f - lowRevs) * std::clamp((pass.speed - bottom) / (top - bottom), 0.0f, 1.0f);
    const float place = inBox.inBox ? static_cast<float>(gear.shiftRank - 1) /
                                          static_cast<float>(std::max(1, pass.forwardGears - 1))
                                    : 1.0f;
    const float floor = std::max(crawlSpeed, bottom);

    const bool drives = !gear.reverse && pass.engaged > 0.0f;
    const bool slipping = pass.engaged < 1.0f;
    const bool throttle =
        ((drives && pass.speed > floor) || slipping) && throttlePressed(pass.wheel);
    const bool braking = drives && pass.speed > floor && !throttle;
    const bool timed = braking || slipping;
    const float seconds = timed ? elapsedSeconds() : 0.0f;
    state.timed = timed;
    if (slipping) {
        revsToward(pass.engaged * speedRevs + (1.0f - pass.engaged) * freeRevs(throttle), seconds);
    } else {
        state.revs = speedRevs;
    }
    if (!drives) {
        return cap;
    }
    const Feel feel = feelAt(place, state.revs);
    scaleEngineTorque(
        pass.vehicle,
        std::clamp((1.0f + (feel.pull - 1.0f) * strength(pass.keys.pull)) * pass.engaged,
                   weakestPull, strongestPull));
    if (!braking) {
        return cap;
    }
    const float rate = feel.braking * strength(pass.keys.engineBraking) * pass.engaged;
    return std::max(floor, std::min(cap, pass.speed) - rate * seconds);
}

void feelInNeutral(const FeelPass& pass) {
    const bool throttle = throttlePressed(pass.wheel);
    revsToward(freeRevs(throttle), elapsedSeconds());
}

void flareRevs() {
    state.revs = std::min(1.0f, state.revs + refusedFlare);
}

void drawRevs(bool shiftHint) {
    drawRevBar(state.revs, state.revs >= 1.0f ? RevLook::Cap
                           : shiftHint        ? RevLook::Shift
                                              : RevLook::Plain);
}

void resetFeel() {
    state = FeelState{};
}
