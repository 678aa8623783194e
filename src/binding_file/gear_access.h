// Which gears the bindings let the player reach.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "binding_file/binding_reader.h"
#include "gears/gears.h"

// The field of this name in the field table, or the table's size for none.
template <const auto& fields = bindingFields>
constexpr std::size_t fieldNamed(std::string_view fieldName) {
    return static_cast<std::size_t>(
        std::ranges::find(fields, fieldName, [](const auto& field) { return field.fieldName; }) -
        fields.begin());
}

inline constexpr std::size_t clutchField = fieldNamed("clutchKey");

// The field of each gear's key, by Gear.
template <const auto& gears, const auto& fields>
constexpr auto gearKeyFieldsOf = [] {
    std::array<std::size_t, std::size(gears)> keyFields{};
    for (std::size_t gear = 0; gear < keyFields.size(); ++gear) {
        keyFields[gear] = fieldNamed<fields>(gears[gear].keyField);
    }
    return keyFields;
}();
constexpr auto gearKeyFields = gearKeyFieldsOf<gearTable, bindingFields>;

// The field of each gear's gate on a wheel's shifter, by Gear.
template <const auto& gears, const auto& fields>
constexpr auto gearGateFieldsOf = [] {
    std::array<std::size_t, std::size(gears)> gateFields{};
    for (std::size_t gear = 0; gear < gateFields.size(); ++gear) {
        gateFields[gear] = fieldNamed<fields>(gears[gear].gateField);
    }
    return gateFields;
}();
constexpr auto gearGateFields = gearGateFieldsOf<gearTable, bindingFields>;

// Every gear has a gate field of its own, and the gates of the field table are
// those.
template <const auto& gears, const auto& fields>
constexpr bool gatesMatchFields() {
    for (std::size_t field = 0; field < fields.size(); ++field) {
        if ((fields[field].kind == BindingKind::Gate) !=
            (std::ranges::count(gearGateFieldsOf<gears, fields>, field) == 1)) {
            return false;
        }
    }
    return std::ranges::count(gearGateFieldsOf<gears, fields>, fields.size()) == 0;
}
static_assert(gatesMatchFields<gearTable, bindingFields>(),
              "the field table's gates are a gate of its own for each gear");

inline constexpr std::size_t clutchPedalField = fieldNamed("clutchPedal");

// The wheel's fields a player chooses in the game, after the keys, in the
// order asked: the clutch pedal, then each gear's gate in the gear table's
// order.
template <const auto& gears, const auto& fields>
constexpr auto wheelChoosableFieldsOf = [] {
    std::array<std::size_t, std::size(gears) + 1> chosen{fieldNamed<fields>("clutchPedal")};
    std::ranges::copy(gearGateFieldsOf<gears, fields>, chosen.begin() + 1);
    return chosen;
}();
constexpr auto wheelChoosableFields = wheelChoosableFieldsOf<gearTable, bindingFields>;
inline constexpr std::size_t wheelChoosableCount = wheelChoosableFields.size();

// Whether any wheel's line is bound.
bool wheelBound(const KeyBindings& bindings);

// The game controllers the bindings name, each once, in field order.
std::vector<ControllerId> boundControllers(const KeyBindings& bindings);

// The fields a player chooses keys for in the game, in the order asked: the
// clutch, then each gear's key in the gear table's order.
template <const auto& gears, const auto& fields>
constexpr auto choosableFieldsOf = [] {
    std::array<std::size_t, std::size(gears) + 1> chosen{fieldNamed<fields>("clutchKey")};
    std::ranges::copy(gearKeyFieldsOf<gears, fields>, chosen.begin() + 1);
    return chosen;
}();
constexpr auto choosableFields = choosableFieldsOf<gearTable, bindingFields>;
inline constexpr std::size_t choosableFieldCount = choosableFields.size();

// The clutch and the gears' keys are the fields a gearbox can't do without.
template <const auto& gears, const auto& fields>
constexpr bool clutchOrGearKeyFieldOf(std::size_t field) {
    return std::ranges::count(choosableFieldsOf<gears, fields>, field) == 1;
}

// Every gear has a key field of its own, and the gear keys of the field table
// are those and the clutch.
template <const auto& gears, const auto& fields>
constexpr bool gearKeysMatchFields() {
    for (std::size_t field = 0; field < fields.size(); ++field) {
        const bool gearKey = fields[field].kind == BindingKind::GearKey;
        if (gearKey != clutchOrGearKeyFieldOf<gears, fields>(field)) {
            return false;
        }
    }
    return std::ranges::count(choosableFieldsOf<gears, fields>, fields.size()) == 0;
}
static_assert(gearKeysMatchFields<gearTable, bindingFields>(),
              "the field table's gear keys are the clutch and a key of its own for each gear");

// The box the bindings pick.
template <const auto& gears = gearTable, typename Bindings>
constexpr const auto& boxOf(const Bindings& bindings) {
    return boxWith<boxesOf<gears>>(bindings.forwardGears);
}

// Whether the box the bindings pick needs the field's key: the clutch's, and
// each of its gears'.
bool keyFieldNeeded(const KeyBindings& bindings, std::size_t field);

// The place in choosableFields after this one whose field the box the
// bindings pick needs, or choosableFieldCount after the last.
std::size_t nextNeededChoosable(const KeyBindings& bindings, std::size_t place);

// The gear of the box whose key is down, an earlier gear's first, or none; a
// gear the box lacks has its key never asked.
template <const auto& gears = gearTable, const auto& fields = bindingFields, typename Bindings,
          typename KeyDown>
std::optional<Gear> gearOfKeyDown(const Bindings& bindings, KeyDown keyDown) {
    constexpr auto& keyFields = gearKeyFieldsOf<gears, fields>;
    const auto& box = boxOf<gears>(bindings);
    for (std::size_t gear = 0; gear < keyFields.size(); ++gear) {
        if (box.gears[gear].inBox && keyDown(bindings.*fields[keyFields[gear]].member)) {
            return Gear{static_cast<std::uint8_t>(gear)};
        }
    }
    return std::nullopt;
}

// The gate of a gear on a wheel's shifter, as the bindings bind it.
inline const ControllerBinding& gateOf(const KeyBindings& bindings, Gear gear) {
    return bindings.*bindingFields[gearGateFields[static_cast<std::size_t>(gear)]].input;
}

// How the player can reach every gear, if at all: the clutch with a key per
// gear, a clutch (the key or the pedal) with a gate per gear, a clutch with
// the shift-up and shift-down keys or the wheel's paddles, or the pad's hold
// button with its up and down buttons.
enum class GearAccess { GearKeys, Gates, ShiftKeys, Paddles, PadButtons, None };
GearAccess gearAccess(const KeyBindings& bindings);

// The clutch and gear key fields the box needs left unbound, in field order.
std::vector<std::size_t> unboundGearFields(const KeyBindings& bindings);

// The gate fields the box needs left unbound, in field order.
std::vector<std::size_t> unboundGateFields(const KeyBindings& bindings);

// What is left unbound of the way to every gear the player is binding: with
// any gate of the box bound, a clutch (clutchPedal when neither the key nor
// the pedal is) and the box's gates; else the clutch and gear keys.
std::vector<std::size_t> unreachedGearFields(const KeyBindings& bindings);
