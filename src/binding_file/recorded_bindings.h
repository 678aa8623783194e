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
// field up to the most forward gears a box has.
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
    }
    return 0;
}

// Every name a recording's bindings hold, and the values each can take.
template <const auto& fields = bindingFields>
constexpr auto recordedBindingFieldsOf() {
    std::array<RecordedField, fields.size() + 1> recorded{};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        recorded[i] = {fields[i].fieldName, 0, highestBindingValue(fields[i].kind)};
    }
    recorded.back() = {recordedFileName, 0, static_cast<std::int32_t>(lastBindingsFile)};
    return recorded;
}
inline constexpr auto recordedBindingFields = recordedBindingFieldsOf();

template <const auto& fields = bindingFields>
std::vector<NamedValue> recordedBindings(const BindingsOf<fields>& keys, BindingsFile file) {
    std::vector<NamedValue> values;
    for (const auto& field : fields) {
        values.push_back({std::string(field.fieldName), keys.*field.member});
    }
    values.push_back({std::string(recordedFileName), static_cast<std::int32_t>(file)});
    return values;
}

// A field the bindings don't name stays unbound, or off.
template <const auto& fields = bindingFields>
BindingsOf<fields> keysOfRecording(const std::vector<NamedValue>& bindings) {
    BindingsOf<fields> keys{};
    for (const NamedValue& value : bindings) {
        for (const auto& field : fields) {
            if (value.name == field.fieldName) {
                keys.*field.member = value.value;
            }
        }
    }
    return keys;
}

BindingsFile fileOfRecording(const std::vector<NamedValue>& bindings);
