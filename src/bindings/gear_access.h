// Which gears the bindings let the player reach.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "bindings/binding_reader.h"

// The clutch's field and the last gear's, reverse, in the field table.
inline constexpr std::size_t clutchField = 0;
inline constexpr std::size_t lastGearField = 5;

// How the player can reach every gear, if at all: the clutch with a key per
// gear, the clutch with the shift-up and shift-down keys, or the pad's hold
// button with its up and down buttons.
enum class GearAccess { GearKeys, ShiftKeys, PadButtons, None };
GearAccess gearAccess(const KeyBindings& bindings);

// The key texts of the clutch and gear fields left unbound, in field order.
std::vector<std::string_view> unboundGearKeyTexts(const KeyBindings& bindings);
