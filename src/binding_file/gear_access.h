// Which gears the bindings let the player reach.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

#include "binding_file/binding_reader.h"
#include "gears/gears.h"

// The field of this name in the field table, or the table's size for none.
constexpr std::size_t fieldNamed(std::string_view fieldName) {
    return static_cast<std::size_t>(
        std::ranges::find(bindingFields, fieldName, &BindingField::fieldName) -
        bindingFields.begin());
}

inline constexpr std::size_t clutchField = fieldNamed("clutchKey");

// The field of each gear's key, by Gear.
constexpr std::array<std::size_t, gearCount> gearKeyFields = [] {
    std::array<std::size_t, gearCount> fields{};
    for (std::size_t gear = 0; gear < gearCount; ++gear) {
        fields[gear] = fieldNamed(gearTable[gear].keyField);
    }
    return fields;
}();

// The fields a player chooses keys for in the game, in the order asked: the
// clutch, then each gear's key in the gear table's order.
inline constexpr std::size_t choosableFieldCount = gearCount + 1;
constexpr std::array<std::size_t, choosableFieldCount> choosableFields = [] {
    std::array<std::size_t, choosableFieldCount> fields{clutchField};
    std::ranges::copy(gearKeyFields, fields.begin() + 1);
    return fields;
}();

// The clutch and the gears' keys are the fields a gearbox can't do without.
constexpr bool clutchOrGearKeyField(std::size_t field) {
    return field == clutchField || std::ranges::count(gearKeyFields, field) == 1;
}

// A gear's key field that is missing, or no gear key, or a gear key that is no
// gear's, stops the build.
static_assert(
    [] {
        for (std::size_t field = 0; field < bindingFields.size(); ++field) {
            const bool gearKey = bindingFields[field].kind == BindingField::Kind::GearKey;
            if (gearKey != clutchOrGearKeyField(field)) {
                return false;
            }
        }
        return std::ranges::count(gearKeyFields, bindingFields.size()) == 0;
    }(),
    "the field table's gear keys are the clutch and a key of its own for each gear");

// How the player can reach every gear, if at all: the clutch with a key per
// gear, the clutch with the shift-up and shift-down keys, or the pad's hold
// button with its up and down buttons.
enum class GearAccess { GearKeys, ShiftKeys, PadButtons, None };
GearAccess gearAccess(const KeyBindings& bindings);

// The clutch and gear key fields left unbound, in field order.
std::vector<std::size_t> unboundGearFields(const KeyBindings& bindings);
