// Which gears the bindings let the player reach.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <span>
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

// A clutch's field, then the field each gear's row names by gearField, in the
// gear table's order: the order a player chooses them in the game. A test
// passes longer tables.
template <const auto& gears = gearTable, const auto& fields = bindingFields>
constexpr auto clutchThenGearFields(std::string_view clutch,
                                    std::string_view GearSpec::*gearField) {
    std::array<std::size_t, std::size(gears) + 1> order{fieldNamed<fields>(clutch)};
    for (std::size_t gear = 0; gear < std::size(gears); ++gear) {
        order[gear + 1] = fieldNamed<fields>(gears[gear].*gearField);
    }
    return order;
}

// The keys a player chooses in the game.
constexpr auto choosableFields = clutchThenGearFields("clutchKey", &GearSpec::keyField);
constexpr auto clutchAndGateFields = clutchThenGearFields("clutchPedal", &GearSpec::gateField);
inline constexpr std::size_t choosableFieldCount = choosableFields.size();
inline constexpr std::size_t clutchField = choosableFields.front();
inline constexpr std::size_t clutchPedalField = clutchAndGateFields.front();
// Each gear's key field and gate field, by Gear.
constexpr auto gearKeyFields = std::span(choosableFields).subspan<1>();
constexpr auto gearGateFields = std::span(clutchAndGateFields).subspan<1>();

// A wheel's parts a player chooses in the game: the clutch pedal and the
// gates, then the rest of a wheel's lines, the first of them those that
// drive.
inline constexpr std::array otherWheelFieldNames = {"steeringAxis",   "throttlePedal",
                                                    "brakePedal",     "handbrakeButton",
                                                    "paddleUpButton", "paddleDownButton"};
inline constexpr std::size_t drivingWheelFieldCount = 3;
constexpr auto wheelChoosableFields = [] {
    std::array<std::size_t, clutchAndGateFields.size() + otherWheelFieldNames.size()> order{};
    std::ranges::transform(otherWheelFieldNames,
                           std::ranges::copy(clutchAndGateFields, order.begin()).out,
                           [](std::string_view name) { return fieldNamed(name); });
    return order;
}();
inline constexpr std::size_t wheelChoosableCount = wheelChoosableFields.size();

constexpr bool everyWheelLineChosen() {
    for (std::size_t field = 0; field < bindingFields.size(); ++field) {
        if (controllerKind(bindingFields[field].kind) !=
            (std::ranges::count(wheelChoosableFields, field) == 1)) {
            return false;
        }
    }
    return std::ranges::count(wheelChoosableFields, bindingFields.size()) == 0;
}
static_assert(everyWheelLineChosen(), "each wheel's line is chosen in the game, once");

// The fields of this kind are these, each once, and no other.
template <const auto& fields = bindingFields>
constexpr bool fieldsOfKindAre(BindingKind kind, std::span<const std::size_t> these) {
    for (std::size_t field = 0; field < fields.size(); ++field) {
        if ((fields[field].kind == kind) != (std::ranges::count(these, field) == 1)) {
            return false;
        }
    }
    return std::ranges::count(these, fields.size()) == 0;
}
static_assert(fieldsOfKindAre(BindingKind::GearKey, choosableFields),
              "the field table's gear keys are the clutch and a key of its own for each gear");
static_assert(fieldsOfKindAre(BindingKind::Gate, gearGateFields),
              "the field table's gates are a gate of its own for each gear");

// Whether any wheel's line is bound.
bool wheelBound(const KeyBindings& bindings);

// The game controllers the bindings name, each once, in field order.
std::vector<ControllerId> boundControllers(const KeyBindings& bindings);

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
    constexpr auto keyFields =
        clutchThenGearFields<gears, fields>("clutchKey", &GearSpec::keyField);
    const auto& box = boxOf<gears>(bindings);
    for (std::size_t gear = 0; gear < std::size(gears); ++gear) {
        if (box.gears[gear].inBox && keyDown(bindings.*fields[keyFields[gear + 1]].member)) {
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
