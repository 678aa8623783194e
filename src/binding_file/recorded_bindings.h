// The key bindings as a drive recording's header keeps them: every field by
// its name, and what reading the key-binding file came to.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "binding_file/binding_places.h"
#include "binding_file/binding_reader.h"
#include "recording/recording.h"

inline constexpr std::string_view recordedFileName = "file";

// A key field holds a virtual-key code, a pad field a game control, a box
// field up to the most forward gears a box has, a percent up to 100, a
// strength up to 200; a
// controller's field its part (a pedal's and the steering's an axis too, the
// others' a button), and its device's id any number, which a name of its own
// keeps.
constexpr std::int32_t highestBindingValue(BindingField::Kind kind) {
    switch (kind) {
    case BindingField::Kind::GearKey:
    case BindingField::Kind::OptionalKey:
        return highestVirtualKey;
    case BindingField::Kind::PadControl:
        return lastGameControl;
    case BindingField::Kind::Switch:
        return 1;
    case BindingField::Kind::Box:
        return gearBoxes.back().forwardGears;
    case BindingField::Kind::Pedal:
    case BindingField::Kind::Steering:
        return lastControllerPart;
    case BindingField::Kind::Gate:
    case BindingField::Kind::WheelButton:
        return controllerButtonCount;
    case BindingField::Kind::Bite:
    case BindingField::Kind::DeadZone:
    case BindingField::Kind::FullLock:
    case BindingField::Kind::Band:
    case BindingField::Kind::ForceStrength:
        return 100;
    case BindingField::Kind::Strength:
        return strongestStrength;
    }
    return 0;
}

template <const auto& fields>
constexpr std::size_t controllerFieldCount = static_cast<std::size_t>(
    std::ranges::count_if(fields, [](const auto& field) { return field.input != nullptr; }));

// Every name a recording's bindings hold, and the values each can take: each
// field's, by its place in the field table, then the devices of the
// controllers' fields in field order, then the file's.
template <const auto& fields = bindingFields>
constexpr auto recordedBindingFieldsOf() {
    std::array<RecordedField, fields.size() + controllerFieldCount<fields> + 1> recorded{};
    std::size_t device = fields.size();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        recorded[i] = {fields[i].fieldName, 0, highestBindingValue(fields[i].kind)};
        if (fields[i].input != nullptr) {
            recorded[device++] = {fields[i].deviceName, INT32_MIN, INT32_MAX};
        }
    }
    recorded.back() = {recordedFileName, 0, static_cast<std::int32_t>(lastBindingsFile)};
    return recorded;
}
inline constexpr auto recordedBindingFields = recordedBindingFieldsOf();

template <const auto& fields = bindingFields>
std::vector<NamedValue> recordedBindings(const BindingsOf<fields>& keys, BindingsFile file) {
    std::vector<NamedValue> values;
    for (const auto& field : fields) {
        values.push_back({std::string(field.fieldName), fieldValue(keys, field)});
    }
    for (const auto& field : fields) {
        if (field.input != nullptr) {
            values.push_back(
                {std::string(field.deviceName), controllerIdNumber((keys.*field.input).device)});
        }
    }
    values.push_back({std::string(recordedFileName), static_cast<std::int32_t>(file)});
    return values;
}

// A field the bindings don't name stays unbound, or off: a recording made
// before a wheel's line was added has it unbound.
template <const auto& fields = bindingFields>
BindingsOf<fields> keysOfRecording(const std::vector<NamedValue>& bindings) {
    BindingsOf<fields> keys{};
    for (const NamedValue& value : bindings) {
        for (const auto& field : fields) {
            if (field.input != nullptr && value.name == field.deviceName) {
                (keys.*field.input).device = controllerIdOfNumber(value.value);
            }
            if (value.name == field.fieldName && field.input != nullptr) {
                (keys.*field.input).part = value.value;
            } else if (value.name == field.fieldName) {
                keys.*field.member = value.value;
            }
        }
    }
    return keys;
}

BindingsFile fileOfRecording(const std::vector<NamedValue>& bindings);
