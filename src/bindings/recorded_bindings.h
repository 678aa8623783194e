// The key bindings as a drive recording's header keeps them: every field by
// its name, and what reading the key-binding file came to.
#pragma once

#include <string>
#include <vector>

#include "bindings/binding_reader.h"
#include "bindings/notices.h"
#include "recording/recording.h"

std::vector<NamedValue> recordedBindings(const KeyBindings& keys, BindingsFile file);

// A field or the file's outcome the header doesn't name is 0, NotFound.
KeyBindings keysOfRecording(const std::vector<NamedValue>& bindings);
BindingsFile fileOfRecording(const std::vector<NamedValue>& bindings);
