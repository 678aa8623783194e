// Writing the keys chosen in the game into the key-binding file: all of it in
// one step, or nothing.
#pragma once

#include <string>
#include <string_view>

#include "binding_file/binding_rewrite.h"

// Why the keys were not saved, besides a fault of a write.
inline constexpr std::string_view fileIsFolder = "MTconfig.ini is a folder";
inline constexpr std::string_view fileIsFifo = "MTconfig.ini is a FIFO";
inline constexpr std::string_view fileIsDevice = "MTconfig.ini is a device";
inline constexpr std::string_view fileIsNoFile = "MTconfig.ini is not a regular file";
inline constexpr std::string_view fileIsReadOnly = "MTconfig.ini is read-only";
inline constexpr std::string_view fileUnreadable = "MTconfig.ini can't be read";
inline constexpr std::string_view oldFileAside = "MTconfig.ini.bak.tmp holds an old file";
inline constexpr std::string_view textReadsOtherwise = "it would not read back as chosen";
// Why it was too large, for the log.
inline constexpr std::string_view fileTooLarge = "is larger than 1 MiB, not read and not changed";
inline constexpr std::string_view textTooLarge =
    "would be larger than 1 MiB with them, so it is not changed";

// Where the file as it was waits until it takes the backup's place, and stays
// when it can't.
inline constexpr std::string_view backupAsideSuffix = ".bak.tmp";

struct ChosenKeysWrite {
    // SavedBackupAside: saved, but the backup couldn't be replaced, so the
    // file as it was stays at path + backupAsideSuffix.
    enum class Outcome { Saved, SavedBackupAside, TooLarge, NotSaved };
    Outcome outcome = Outcome::NotSaved;
    // Why it was not saved or was too large, or why the backup wasn't
    // replaced, in a few words.
    std::string_view why;
};

// Rewrites the file at path as it is now with the keys and a wheel's parts (see
// chosenBindingText; inUse are the bindings in use), once the new text reads
// as it must: written and flushed beside it, as is the file as it was, then
// put in its place in one operation, and only then the file as it was in
// place of path.bak. A file marked read-only, or larger than the reader reads
// before or after, is not changed. Whatever fails before the file is
// replaced, an exception included, the file and its .bak stay as they were
// and nothing new is left beside them; after, the file as it was is never
// lost: it is the .bak, or what SavedBackupAside names. An old file left
// aside is never written over: the keys aren't saved while it is there.
ChosenKeysWrite writeChosenKeys(const std::string& path, const ChosenKeys& keys,
                                const ChosenInputs& inputs, const KeyBindings& inUse);
