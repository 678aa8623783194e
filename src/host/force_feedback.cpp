#include "host/force_feedback.h"

#include <cstdlib>

#include "host/force_system.h"
#include "host/tap.h"

namespace {

ForceFeedbackState state;

void send(ForceEffect effect, const ForceParameters& parameters) {
    if (tapOpen()) [[unlikely]] {
        tapForceSet(effect, parameters);
    }
    setSystemForce(effect, parameters);
    state.started = true;
}

void sendLasting(std::size_t effect, std::int32_t value) {
    state.sent[effect] = value;
    state.playing[effect] = true;
    state.passesSinceSent[effect] = 0;
    send(static_cast<ForceEffect>(effect), {value, 0, forceLeaseMs});
}

// How much a lasting effect's send is due: its change, or, once its lease
// nears its end or it doesn't play, more than any change.
std::int32_t due(std::size_t effect, std::int32_t value) {
    if (!state.playing[effect] || state.passesSinceSent[effect] >= passesPerLease) {
        return 2 * static_cast<std::int32_t>(forceUnitsAtMost) + 1;
    }
    return std::abs(value - state.sent[effect]);
}

} // namespace

const ForceFeedbackState& forceFeedbackState() {
    return state;
}

namespace {
constexpr char sentName[] = "forceSent";
constexpr char playingName[] = "forcePlaying";
constexpr char passesName[] = "forcePassesSinceSent";
} // namespace

std::span<const StateField> forceFeedbackStateFields() {
    static constexpr auto fields = joinedFields(
        std::to_array({choiceField<state, &ForceFeedbackState::status>(
                           "forceFeedback", static_cast<std::int32_t>(ForceFeedbackStatus::Off)),
                       flagField<state, &ForceFeedbackState::started>("forceStarted")}),
        elementFields<state, &ForceFeedbackState::sent, sentName>(),
        elementFields<state, &ForceFeedbackState::playing, playingName>(),
        elementFields<state, &ForceFeedbackState::passesSinceSent, passesName>());
    return fields;
}

ForceFeedbackStatus openForceFeedback(std::size_t place, std::size_t axis,
                                      std::int32_t strengthPercent) {
    state = ForceFeedbackState{};
    state.status = openSystemForces(place, axis, strengthPercent * 100);
    if (tapOpen()) [[unlikely]] {
        tapForcesOpened(place, strengthPercent, state.status);
    }
    return state.status;
}

void putForces(const ForceEffects& effects) {
    if (state.status != ForceFeedbackStatus::On) {
        return;
    }
    for (std::uint8_t& passes : state.passesSinceSent) {
        passes = static_cast<std::uint8_t>(passes + (passes < passesPerLease ? 1 : 0));
    }
    if (effects.jolt.magnitude != 0) {
        send(ForceEffect::Jolt, effects.jolt);
        return;
    }
    const std::int32_t constantDue = due(0, effects.constant);
    const std::int32_t damperDue = due(1, effects.damper);
    if (constantDue >= forceStep && constantDue >= damperDue) {
        sendLasting(0, effects.constant);
    } else if (damperDue >= forceStep) {
        sendLasting(1, effects.damper);
    }
}

void stopForces() {
    if (!state.started) {
        return;
    }
    if (tapOpen()) [[unlikely]] {
        tapForcesStopped();
    }
    stopSystemForces();
    state.started = false;
    state.playing = {};
}

void closeForceFeedback() {
    if (state.status == ForceFeedbackStatus::On) {
        stopForces();
        closeSystemForces();
    }
    state = ForceFeedbackState{};
}
