// How the stand-in reads the argument slots the plug-in pushed and builds
// the result slots it answers with, shared by the boundary and the catalogue.
#pragma once

#include <bit>
#include <cstdint>
#include <string>

#include "sim/world.h"

namespace sim {

inline std::int32_t slotInt(std::uint64_t slot) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(slot));
}

inline float slotFloat(std::uint64_t slot) {
    return std::bit_cast<float>(static_cast<std::uint32_t>(slot));
}

inline const char* slotText(std::uint64_t slot) {
    return reinterpret_cast<const char*>(static_cast<std::uintptr_t>(slot));
}

inline std::uint64_t withHighHalf(std::uint32_t value) {
    return (std::uint64_t{world.resultHighHalf} << 32) | value;
}

inline std::uint64_t floatResult(float value) {
    return withHighHalf(std::bit_cast<std::uint32_t>(value));
}

inline std::uint64_t boolResult(bool value) {
    return value ? world.trueResult : world.falseResult;
}

// A call the game would fail on: the drive or replay fails with this message.
void fault(const std::string& message);

} // namespace sim
