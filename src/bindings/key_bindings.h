// The key-binding file, MTconfig.ini, and the key codes read from it.
#pragma once

#include "bindings/binding_reader.h"
#include "host/shared_file.h"

extern KeyBindings keyBindings;

// Opened while the plug-in loads, only to learn whether the file can be opened;
// it stays open, shared, for the plug-in's life and is never read.
extern SharedFile bindingsFile;

inline bool bindingsFileOpened() {
    return bindingsFile != nullptr;
}

// Reads the file through an open of its own, closed again before returning.
void loadKeyBindings();
