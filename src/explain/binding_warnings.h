// What the explanation of a key-binding file says of each value, and what it
// finds wrong with the bindings a file came to.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "explain/binding_reading.h"

// A key's or pad button's name, or what a switch does.
std::string valueName(const BindingField& field, std::int32_t value);

// "clutchKey = 16 (Shift)".
std::string bindingText(const BindingField& field, std::int32_t value);

// What a percent field's value is a percent of: "the pedal's travel".
std::string_view percentOf(BindingField::Kind kind);

// What a wheel's pedal, axis or button does, by its field: "the brake"; for a
// gate, nothing.
std::string_view controllerUse(const BindingField& field);

// What a controller's part does in a field: "Slider0, pressed from high to
// low", "first gear".
std::string inputMeaning(const BindingField& field, const ControllerBinding& input);

// "firstGearGate = 046D:C24F Button13 (first gear)".
std::string inputBindingText(const BindingField& field, const ControllerBinding& input);

// The names of the fields bound to a part of this game controller, in field
// order.
std::vector<std::string> fieldsNaming(const KeyBindings& bindings, ControllerId id);

// The box's gates left unbound when some of them are bound: the gears the
// stick can't reach.
std::vector<std::size_t> stickUnreached(const KeyBindings& bindings);

// The gears of these gate fields: "first gear and reverse".
std::string gearsOfGates(const std::vector<std::size_t>& gates);

// One sentence for each thing wrong, in the order the explanation lists them.
std::vector<std::string> bindingWarnings(const BindingReading& reading);
