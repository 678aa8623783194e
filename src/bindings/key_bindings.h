// The key-binding file, MTconfig.ini, and the key codes read from it.
#pragma once

#include "host/natives.h"
#include "host/shared_file.h"

struct KeyBindings {
    VirtualKeyCode clutchKey;
    VirtualKeyCode firstGearKey;
    VirtualKeyCode secondGearKey;
    VirtualKeyCode thirdGearKey;
    VirtualKeyCode fourthGearKey;
    VirtualKeyCode reverseKey;
};

extern KeyBindings keyBindings;

// Opened while the plug-in loads, only to learn whether the file can be opened;
// it stays open, shared, for the plug-in's life and is never read.
extern SharedFile bindingsFile;

inline bool bindingsFileOpened() {
    return bindingsFile != nullptr;
}

void loadKeyBindings();
