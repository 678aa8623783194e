// The key-binding file, MTconfig.ini, the key codes read from it, and the log
// that says what was read.
#pragma once

#include <string>

#include "bindings/binding_reader.h"

extern KeyBindings keyBindings;

// Where MTconfig.ini was found while the plug-in loaded: it is opened then only
// to learn that it can be, and closed again, so that editors can still save
// it. Empty when no place had it.
extern std::string bindingsPath;

// The first place that has the key-binding file, or empty.
std::string findBindingFile();

inline bool bindingsFileOpened() {
    return !bindingsPath.empty();
}

// The first pass: reads the file found at load, if any, and writes the log.
void loadKeyBindings();

// Looks for the file again and reads it: the new reading replaces the
// bindings as a whole, but for a reload key it doesn't bind; when no file
// opens, or it is too large, they stay. Rewrites the log and returns what to
// tell the player.
std::string reloadKeyBindings();

// Adds why the gearbox switched itself off to the log; false when the log
// can't be written.
bool logFault(const std::string& reason);

// Why the player can't change gear with the bindings in use, as a notice, or
// empty when every gear can be reached.
std::string bindingsNotice();

// What a reading of the file came to, as the notices tell it.
enum class BindingsFile { NotFound, TooLarge, Utf16, Read };

// The notice of a reading: after the first, only when not every gear can be
// reached (empty otherwise); after a reload, always. It sends the player to
// the log only when the log was written, and fits one text component of a
// notification.
std::string bindingsNoticeText(BindingsFile file, const KeyBindings& bindings, bool reload,
                               bool logWritten);
