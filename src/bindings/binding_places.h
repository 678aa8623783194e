// Where the key-binding file is looked for.
#pragma once

#include <string>
#include <vector>

inline constexpr char bindingFileName[] = "MTconfig.ini";

// In order: beside the module (the plug-in's .asi, or the tool), then in the
// working folder; once when the two are the same folder.
std::vector<std::string> bindingFilePlaces();

// The first place that has the key-binding file, or empty.
std::string findBindingFile();
