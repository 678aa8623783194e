// Writing the keys chosen in the game into the key-binding file: all of it in
// one step, or nothing.
#pragma once

#include <string>
#include <string_view>

#include "binding_file/binding_rewrite.h"

// Why the keys were not saved, besides a fault of a write.
inline constexpr std::string_view fileIsFolder = "MTconfig.ini is a folder";
inline constexpr std::string_view fileIsReadOnly = "MTconfig.ini is read-only";
inline constexpr std::string_view fileUnreadable = "MTconfig.ini can't be read";
inline constexpr std::string_view textReadsOtherwise = "it would not read back as chosen";

struct ChosenKeysWrite {
    enum class Outcome { Saved, TooLarge, NotSaved };
    Outcome outcome = Outcome::NotSaved;
    // Why it was not saved, in a few words.
    std::string_view why;
};

// Rewrites the file at path as it is now (none there is an empty one) with
// the keys, once the new text reads as chosen: written and flushed beside it,
// the file as it was kept as path.bak, then put in its place in one
// operation. A file marked read-only, or larger than the reader reads, is not
// changed. Whatever fails, an exception included, the file stays as it was
// (its .bak may have become its copy) and no temporary file is left.
ChosenKeysWrite writeChosenKeys(const std::string& path, const ChosenKeys& keys);
