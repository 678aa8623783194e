#include "wheel/wheel_forces.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>

#include "host/game_controllers.h"

namespace {

WheelForcesState state;

// At 60 frames a second, the longest jolt's time, during which no other
// starts: a crash takes several frames.
constexpr std::uint8_t joltPasses = 20;

// The road's forces while the player drives, or every effect stopped. Out of
// line: a pass without force feedback only tests whether it was opened.
// Force feedback on the steering's controller, which was found.
ForceFeedbackStatus openOnSteering(std::int32_t strength) {
    const FoundPart& steering = wheelState().steering;
    state.reversed = partTowardsLowest(steering.part);
    state.strength = static_cast<std::uint8_t>(strength);
    state.lost = false;
    const auto place = static_cast<std::size_t>(steering.controller - foundControllers().data());
    const ForceFeedbackStatus status = openForceFeedback(place, partAxis(steering.part), strength);
    state.opened = status == ForceFeedbackStatus::On;
    return status;
}

[[gnu::noinline]] void feelRoad(const GearboxFeel& gearbox) {
    const GameController* const steering = wheelState().steering.controller;
    const bool read = steering != nullptr && !steering->released;
    // A lost controller's exclusive device is gone: made again once it is back.
    if (read && state.lost && openOnSteering(state.strength) != ForceFeedbackStatus::On) {
        return;
    }
    state.lost = state.lost || !read;
    if (gearbox.vehicle == 0 || !read || pauseMenuOpen()) {
        stopWheelForces();
        return;
    }
    // The first pass in a vehicle, or after a stop, only learns its body's
    // health: a fresh start knows nothing of the road yet.
    const float health = vehicleBodyHealth(gearbox.vehicle);
    const bool felt = gearbox.vehicle == state.vehicle;
    const bool collided = felt && state.bodyHealth - health >= collisionHealthDrop;
    state.vehicle = gearbox.vehicle;
    state.bodyHealth = health;
    if (!felt) {
        return;
    }
    const RelativeSpeed speed = vehicleRelativeSpeed(gearbox.vehicle);
    const RoadFeel road{.forwardSpeed = speed.forward,
                        .sidewaysSpeed = speed.sideways,
                        .inAir = vehicleInAir(gearbox.vehicle),
                        .collided = collided,
                        .gateRefused = gearbox.gateRefused,
                        .stalled = gearbox.stalled};
    state.joltPassesLeft =
        static_cast<std::uint8_t>(state.joltPassesLeft - (state.joltPassesLeft > 0));
    ForceEffects effects = wheelForces(forceTable, steeringPosition(), road);
    if (effects.jolt.magnitude != 0) {
        effects.jolt = state.joltPassesLeft == 0 ? effects.jolt : ForceParameters{};
        state.joltPassesLeft = effects.jolt.magnitude != 0 ? joltPasses : state.joltPassesLeft;
    }
    effects.constant = state.reversed ? -effects.constant : effects.constant;
    putForces(effects);
}

float along(const SpeedCurve& curve, float speed) {
    const float share = std::clamp(speed / curve.fullSpeed, 0.0f, 1.0f);
    return curve.atRest + (curve.atSpeed - curve.atRest) * share;
}

// How much of the tyres' hold is left: a NaN speed counts as none.
float grip(const ForceTable& table, const RoadFeel& road) {
    if (road.inAir) {
        return 0.0f;
    }
    const float slip = std::fabs(road.sidewaysSpeed) /
                       std::max(std::fabs(road.forwardSpeed), table.slipSpeedFloor);
    if (!(slip > table.slipFrom)) {
        return std::isnan(slip) ? 0.0f : 1.0f;
    }
    const float share = std::min(1.0f, (slip - table.slipFrom) / (table.slipFull - table.slipFrom));
    return 1.0f - (1.0f - table.slidingGrip) * share;
}

std::int32_t units(float force) {
    return static_cast<std::int32_t>(
        std::lround(std::clamp(force, -forceUnitsAtMost, forceUnitsAtMost)));
}

} // namespace

// A NaN from the game or the wheel counts as standing still, centred.
ForceEffects wheelForces(const ForceTable& table, float position, const RoadFeel& road) {
    const float measured = std::hypot(road.forwardSpeed, road.sidewaysSpeed);
    const float speed = std::isfinite(measured) ? measured : 0.0f;
    position = std::isfinite(position) ? position : 0.0f;
    const float hold = grip(table, road);
    const float centring =
        table.centring.atRest + (along(table.centring, speed) - table.centring.atRest) * hold;
    const float weight = along(table.roadWeight, speed) * hold;
    ForceEffects effects;
    effects.constant = units(-(centring + weight) * position);
    effects.damper = units(std::max(0.0f, along(table.damper, speed)));
    effects.jolt = road.collided      ? table.collision
                   : road.gateRefused ? table.gateRefused
                   : road.stalled     ? table.stall
                                      : ForceParameters{};
    return effects;
}

const WheelForcesState& wheelForcesState() {
    return state;
}

// The body's health as a float's bits, whatever the game answered.
std::span<const StateField> wheelForcesStateFields() {
    static constexpr auto fields = std::to_array({
        numberField<state, &WheelForcesState::vehicle>("forcesVehicle"),
        StateField{"forcesBodyHealth", [] { return std::bit_cast<std::int32_t>(state.bodyHealth); },
                   [](std::int32_t bits) { state.bodyHealth = std::bit_cast<float>(bits); },
                   INT32_MIN, INT32_MAX},
        choiceField<state, &WheelForcesState::joltPassesLeft>("joltPassesLeft", joltPasses),
        flagField<state, &WheelForcesState::reversed>("forcesReversed"),
        flagField<state, &WheelForcesState::opened>("forcesOpened"),
        choiceField<state, &WheelForcesState::strength>("forcesStrength", 100),
        flagField<state, &WheelForcesState::lost>("forcesLost"),
    });
    return fields;
}

ForceFeedbackStatus openWheelForces(const KeyBindings& keys) {
    state = WheelForcesState{};
    if (keys.forceFeedback <= 0 || wheelState().steering.controller == nullptr) {
        closeForceFeedback();
        return ForceFeedbackStatus::Off;
    }
    return openOnSteering(keys.forceFeedback);
}

void feelWheel(const GearboxFeel& gearbox) {
    if (state.opened) [[unlikely]] {
        feelRoad(gearbox);
    }
}

void stopWheelForces() {
    if (state.opened) {
        stopForces();
    }
    state.vehicle = 0;
    state.joltPassesLeft = 0;
}

void resetWheelForces() {
    state = WheelForcesState{};
}
