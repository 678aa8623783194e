// Force feedback on the steering's game controller, as the floors above see
// it: three effects, a constant force, a damper and a short periodic jolt,
// set at most once a pass and only when one changed. The system's side
// (force_system.h) holds the device: in the Windows build a second
// DirectInput device object, held exclusively, beside the shared one that
// reads the controller, which never depends on it.
//
// Effects are leased: each is started to last forceLeaseMs, and the passes
// that go on start it again well before then. When the passes stop, as when
// the plug-in is unloaded, the device itself ends each effect at its lease,
// and nothing has to call DirectInput under the loader lock.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include <span>

#include "host/force_effects.h"
#include "recording/state_field.h"

inline constexpr std::uint16_t forceLeaseMs = 1500;
// A lasting effect is sent again after this many passes without a change:
// within its lease down to 10 frames a second.
inline constexpr std::uint8_t passesPerLease = 15;
// A change smaller than this isn't sent.
inline constexpr std::int32_t forceStep = 100;

struct ForceFeedbackState {
    ForceFeedbackStatus status = ForceFeedbackStatus::Off;
    // The constant force and the damper as last sent, whether each plays,
    // and the passes since it was sent.
    std::array<std::int32_t, lastingEffects> sent{};
    std::array<bool, lastingEffects> playing{};
    std::array<std::uint8_t, lastingEffects> passesSinceSent{};
    // Any effect, a jolt too, was started since the last stop.
    bool started = false;
};

// Only the functions below change it.
const ForceFeedbackState& forceFeedbackState();

// Its fields as a recording keeps them.
std::span<const StateField> forceFeedbackStateFields();

// Opens force feedback on the controller at this place among those found,
// on this axis, at this strength in percent (1 to 100): its own device
// object, auto-centre off, the gain, a reset, the actuators on and the
// effects created. Slow: only when the controllers are found. Whatever it
// comes to, reading goes on.
ForceFeedbackStatus openForceFeedback(std::size_t place, std::size_t axis,
                                      std::int32_t strengthPercent);

// One pass's forces: a jolt when asked for, else the lasting effect that
// changed most or whose lease runs out, in a single SetParameters; none when
// nothing changed by forceStep or more. Nothing while it isn't on.
void putForces(const ForceEffects& effects);

// Stops every effect within the pass, in one call; none when none plays.
void stopForces();

// Stops the effects and lets go of the device.
void closeForceFeedback();
