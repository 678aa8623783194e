#include "binding_file/recorded_bindings.h"

std::vector<NamedValue> recordedBindings(const KeyBindings& keys, BindingsFile file) {
    std::vector<NamedValue> values;
    for (const BindingField& field : bindingFields) {
        values.push_back({std::string(field.fieldName), keys.*field.member});
    }
    values.push_back({std::string(recordedFileName), static_cast<std::int32_t>(file)});
    return values;
}

KeyBindings keysOfRecording(const std::vector<NamedValue>& bindings) {
    KeyBindings keys{};
    for (const NamedValue& value : bindings) {
        for (const BindingField& field : bindingFields) {
            if (value.name == field.fieldName) {
                keys.*field.member = value.value;
            }
        }
    }
    return keys;
}

BindingsFile fileOfRecording(const std::vector<NamedValue>& bindings) {
    for (const NamedValue& value : bindings) {
        if (value.name == recordedFileName) {
            return static_cast<BindingsFile>(value.value);
        }
    }
    return BindingsFile::NotFound;
}
