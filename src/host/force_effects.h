// Force feedback's effects and what opening it came to, as data: shared by
// the device layer (force_feedback.h) and the system's side (force_system.h).
#pragma once

#include <cstddef>
#include <cstdint>

// DirectInput's magnitudes and coefficients run to this either way.
inline constexpr float forceUnitsAtMost = 10000.0f;

// One effect's parameters: the constant force's magnitude, the damper's
// coefficient, or the jolt's magnitude with its period; how long it lasts.
struct ForceParameters {
    std::int32_t magnitude = 0;
    std::uint16_t periodMs = 0;
    std::uint16_t durationMs = 0;
    bool operator==(const ForceParameters&) const = default;
};

// What the wheel should put out this pass.
struct ForceEffects {
    // -10000, full left, to 10000, full right.
    std::int32_t constant = 0;
    // The damper's coefficient, 0 to 10000.
    std::int32_t damper = 0;
    // A short periodic kick; none while its magnitude is 0.
    ForceParameters jolt{};
    bool operator==(const ForceEffects&) const = default;
};

enum class ForceEffect : std::uint8_t { Constant, Damper, Jolt };
inline constexpr std::size_t forceEffectCount = 3;
// The constant force and the damper, which play on while the wheel drives.
inline constexpr std::size_t lastingEffects = 2;

// What opening the device came to, as the system answered; Off before any
// was opened or once closed.
enum class ForceFeedbackStatus : std::uint8_t {
    On,
    // The controller has no force feedback.
    NoForceFeedback,
    // Another program holds it exclusively: an emulator, or the wheel's own
    // software.
    Taken,
    Failed,
    Off,
};
