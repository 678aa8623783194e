// The stand-in's catalogue of the natives the plug-in calls: each as the
// game's native documentation gives it, what the world does when it is
// called, and what its answer tells of the world.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "sim/world.h"

namespace sim {

// One native as the game's native documentation gives it, what this world
// does when it is called, and what its answer tells of the world.
struct NativeEntry {
    Native native;
    // As documented, "" for none: the native reads one slot per parameter.
    const char* parameters;
    // As documented, "void" for none.
    const char* result;
    void (*run)(const std::uint64_t* arguments);
    Fact fact = Fact::Nothing;
};

// The native of this hash, or nullptr for one the world doesn't know.
const NativeEntry* findNative(std::uint64_t hash);

// The number of slots the native reads, and whether its first is text.
std::size_t parameterCount(const NativeEntry& entry);
bool takesText(const NativeEntry& entry);

// "void SET_ENTITY_MAX_SPEED(Entity entity, float speed)".
std::string signatureText(const NativeEntry& entry);

} // namespace sim
