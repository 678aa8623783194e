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

// A key field holds a virtual-key code, a pad field a game control.
constexpr std::int32_t highestBindingValue(BindingField::Kind kind) {
    switch (kind) {
    case BindingField::Kind::GearKey:
    case BindingField::Kind::OptionalKey:
        return highestVirtualKey;
    case BindingField::Kind::PadControl:
        return lastGameControl;
    case BindingField::Kind::Switch:
        return 1;
    }
    return 0;
}

// Every name a recording's bindings hold, and the values each can take.
inline constexpr auto recordedBindingFields = [] {
    std::array<RecordedField, bindingFields.size() + 1> fields{};
    for (std::size_t i = 0; i < bindingFields.size(); ++i) {
        fields[i] = {bindingFields[i].fieldName, 0, highestBindingValue(bindingFields[i].kind)};
    }
    fields.back() = {recordedFileName, 0, static_cast<std::int32_t>(lastBindingsFile)};
    return fields;
}();

std::vector<NamedValue> recordedBindings(const KeyBindings& keys, BindingsFile file);

// From bindings that name each of recordedBindingFields.
KeyBindings keysOfRecording(const std::vector<NamedValue>& bindings);
BindingsFile fileOfRecording(const std::vector<NamedValue>& bindings);
