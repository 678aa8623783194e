#include "sim/forces.h"

#include <algorithm>

#include "sim/world.h"

namespace sim {

namespace {

Effect& effectOf(ForceEffect effect) {
    return world.forces.effects[static_cast<std::size_t>(effect)];
}

bool plays(const Effect& effect) {
    return effect.started && world.forces.actuatorsOn &&
           world.timeMs < effect.startedAtMs + effect.parameters.durationMs;
}

std::int32_t withGain(std::int32_t value) {
    return static_cast<std::int32_t>(std::int64_t{value} * world.forces.gain / 10000);
}

void record(Call::Kind kind, std::int64_t value, std::uint64_t result,
            const ForceParameters& parameters = {}) {
    recordCall(kind, value);
    if (world.recording) {
        world.calls.back().result = result;
        world.calls.back().force = parameters;
    }
}

} // namespace

ForceFeedbackStatus holdForces(int index) {
    releaseForces();
    const Controller* controller = index >= 0 && index < static_cast<int>(world.controllers.size())
                                       ? &world.controllers[static_cast<std::size_t>(index)]
                                       : nullptr;
    if (controller == nullptr || !controller->plugged) {
        return ForceFeedbackStatus::Failed;
    }
    if (!controller->forceFeedback) {
        return ForceFeedbackStatus::NoForceFeedback;
    }
    if (controller->heldElsewhere) {
        return ForceFeedbackStatus::Taken;
    }
    world.forces.controller = index;
    return ForceFeedbackStatus::On;
}

void setForceGain(std::int32_t gain) {
    world.forces.gain = gain;
}

void setAutoCentre(bool on) {
    world.forces.autoCentre = on;
}

void forceCommand(ForceCommand command) {
    for (Effect& effect : world.forces.effects) {
        if (command != ForceCommand::ActuatorsOn && effect.started) {
            effect.started = false;
            ++world.effectCounts.stopped;
        }
    }
    world.forces.actuatorsOn = world.forces.actuatorsOn || command == ForceCommand::ActuatorsOn;
    if (command == ForceCommand::Reset) {
        world.forces.actuatorsOn = false;
        for (Effect& effect : world.forces.effects) {
            effect = Effect{};
        }
    }
}

void createEffect(ForceEffect effect) {
    effectOf(effect) = Effect{.created = true};
    ++world.effectCounts.created;
}

void setEffect(ForceEffect effect, const ForceParameters& parameters) {
    Effect& set = effectOf(effect);
    set.parameters = parameters;
    set.started = true;
    set.startedAtMs = world.timeMs;
    ++world.effectCounts.updated;
    ++world.effectCounts.started;
}

void unloadEffect(ForceEffect effect) {
    Effect& unloaded = effectOf(effect);
    if (unloaded.created) {
        unloaded = Effect{};
        ++world.effectCounts.unloaded;
    }
}

void releaseForces() {
    for (std::size_t i = 0; i < forceEffectCount; ++i) {
        unloadEffect(static_cast<ForceEffect>(i));
    }
    world.forces = ForceDevice{};
}

ForceOutput forceOutput() {
    const auto out = [](ForceEffect effect) {
        const Effect& playing = effectOf(effect);
        return plays(playing) ? withGain(playing.parameters.magnitude) : 0;
    };
    return {out(ForceEffect::Constant), out(ForceEffect::Damper), out(ForceEffect::Jolt),
            std::ranges::any_of(world.forces.effects, plays)};
}

void recordForcesOpened(std::size_t place, std::int32_t strength, ForceFeedbackStatus status) {
    record(Call::Kind::ForcesOpened, static_cast<std::int64_t>(place),
           static_cast<std::uint8_t>(status));
    if (world.recording) {
        world.calls.back().arguments[0] = static_cast<std::uint64_t>(strength);
    }
}

void recordForceSet(ForceEffect effect, const ForceParameters& parameters) {
    record(Call::Kind::ForceSet, static_cast<std::int64_t>(effect), 0, parameters);
}

void recordForcesStopped() {
    record(Call::Kind::ForcesStopped, 0, 0);
}

ForceFeedbackStatus openSystemForces(std::size_t place, std::size_t, std::int32_t gain) {
    const ForceFeedbackStatus status = holdForces(world.controllersListed[place]);
    if (status == ForceFeedbackStatus::On) {
        setAutoCentre(false);
        setForceGain(gain);
        forceCommand(ForceCommand::Reset);
        forceCommand(ForceCommand::ActuatorsOn);
        for (std::size_t i = 0; i < forceEffectCount; ++i) {
            createEffect(static_cast<ForceEffect>(i));
        }
    }
    return status;
}

} // namespace sim
