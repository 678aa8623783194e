// The tap's entries of force feedback: what opening it came to, which a
// replay answers with, and each effect set and every stop, which it compares.
#include "host/force_system.h"
#include "host/tap.h"

void tapForcesOpened(std::size_t place, std::int32_t strength, ForceFeedbackStatus status) {
    std::uint8_t* at = tapEntry(4);
    if (at == nullptr) {
        return;
    }
    *at++ = forcesOpenedTag;
    *at++ = static_cast<std::uint8_t>(place);
    *at++ = static_cast<std::uint8_t>(strength);
    *at++ = static_cast<std::uint8_t>(status);
    tapState.cursor = at;
}

void tapForceSet(ForceEffect effect, const ForceParameters& parameters) {
    std::uint8_t* at = tapEntry(10);
    if (at == nullptr) {
        return;
    }
    *at++ = forceSetTag;
    *at++ = static_cast<std::uint8_t>(effect);
    putNumber(at, parameters.magnitude);
    putNumber(at, parameters.periodMs);
    putNumber(at, parameters.durationMs);
    tapState.cursor = at;
}

void tapForcesStopped() {
    std::uint8_t* at = tapEntry(1);
    if (at == nullptr) {
        return;
    }
    *at++ = forcesStoppedTag;
    tapState.cursor = at;
}
