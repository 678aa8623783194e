#include "binding_file/recorded_bindings.h"

BindingsFile fileOfRecording(const std::vector<NamedValue>& bindings) {
    for (const NamedValue& value : bindings) {
        if (value.name == recordedFileName) {
            return static_cast<BindingsFile>(value.value);
        }
    }
    return BindingsFile::NotFound;
}
