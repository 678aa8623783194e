// The stand-in's force feedback: the one device the plug-in may hold
// exclusively, its effects as DirectInput plays them, each effect's call
// counted per frame, and the force each puts out. The native hook and the
// stand-in dinput8.dll both play it, and it records the plug-in's open, sets
// and stops as calls of the world.
#pragma once

#include <array>
#include <cstdint>

#include "host/force_system.h"

namespace sim {

struct Effect {
    bool created = false;
    bool started = false;
    ForceParameters parameters{};
    std::int64_t startedAtMs = 0;
};

// The device held exclusively, by its controller's index in
// World::controllers; -1 while none is.
struct ForceDevice {
    int controller = -1;
    std::int32_t gain = 10000;
    bool autoCentre = true;
    bool actuatorsOn = false;
    std::array<Effect, forceEffectCount> effects{};
};

// Each kind of effect call in a frame.
struct EffectCounts {
    int created = 0;
    int started = 0;
    // SetParameters calls.
    int updated = 0;
    int stopped = 0;
    int unloaded = 0;
    bool operator==(const EffectCounts&) const = default;
};

// What each effect puts out at the world's time, with the device's gain: 0
// for one not playing (never started, stopped, past its duration, the
// actuators off); and whether any plays, at 0 too.
struct ForceOutput {
    std::int32_t constant = 0;
    std::int32_t damper = 0;
    std::int32_t jolt = 0;
    bool playing = false;
    bool operator==(const ForceOutput&) const = default;
};

// As DirectInput answers: the controller has no force feedback, another
// program holds it (Taken), or it is now the plug-in's; creating it anew lets
// go of what it held.
ForceFeedbackStatus holdForces(int index);
void setForceGain(std::int32_t gain);
void setAutoCentre(bool on);
// DISFFC_RESET stops and unloads every effect; DISFFC_STOPALL stops them.
enum class ForceCommand { Reset, ActuatorsOn, StopAll };
void forceCommand(ForceCommand command);
void createEffect(ForceEffect effect);
// Sets its parameters and starts it again.
void setEffect(ForceEffect effect, const ForceParameters& parameters);
void unloadEffect(ForceEffect effect);
// Unloads every effect and lets go of the device.
void releaseForces();
ForceOutput forceOutput();

// What the plug-in's calls came to, in its terms, recorded as the world's calls.
void recordForcesOpened(std::size_t place, std::int32_t strength, ForceFeedbackStatus status);
void recordForceSet(ForceEffect effect, const ForceParameters& parameters);
void recordForcesStopped();

// The native host's side (force_system.h), on the controller at a place in
// the last list.
ForceFeedbackStatus openSystemForces(std::size_t place, std::size_t axis, std::int32_t gain);

} // namespace sim
