// Where the key-binding file is looked for.
#pragma once

#include <string>
#include <vector>

#include "host/files.h"

inline constexpr char bindingFileName[] = "MTconfig.ini";

// What a reading of the file came to; InUse: another program holds it, so it
// couldn't be opened.
enum class BindingsFile { NotFound, TooLarge, Utf16, Read, InUse };
inline constexpr BindingsFile lastBindingsFile = BindingsFile::InUse;

// In order: beside the module (the plug-in's .asi, or the tool), then in the
// working folder; once when the two are the same folder.
std::vector<std::string> bindingFilePlaces();

struct FoundBindingFile {
    // Empty while none was found.
    std::string path;
    FileRead read;
};

// The first place that has the key-binding file, as read there: each place is
// read in turn, up to the first whose file opens or that another program
// holds.
FoundBindingFile findBindingFile();
