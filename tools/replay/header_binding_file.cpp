#include "replay/header_binding_file.h"

#include "binding_file/binding_places.h"
#include "binding_file/binding_rewrite.h"
#include "binding_file/recorded_bindings.h"

std::optional<std::string> headerBindingFile(const DriveRecording& recording) {
    const KeyBindings keys = keysOfRecording(recording.bindings);
    switch (fileOfRecording(recording.bindings)) {
    case BindingsFile::NotFound:
    case BindingsFile::InUse:
        break;
    case BindingsFile::TooLarge:
        return std::string(bindingFileBytesAtMost + 1, '\n');
    case BindingsFile::Utf16:
        return "\xFF\xFE";
    case BindingsFile::Read: {
        // An unbound wheel's line has no value to write: it is left out.
        std::string text;
        for (const BindingField& field : bindingFields) {
            if (field.input == nullptr || (keys.*field.input).part != 0) {
                text += fieldLine(field, keys) + "\n";
            }
        }
        return text;
    }
    }
    return std::nullopt;
}
