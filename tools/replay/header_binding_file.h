// The key-binding file a replay puts in place for the plug-in, from what a
// recording's header says of the one the plug-in read.
#pragma once

#include <optional>
#include <string>

#include "recording/recording_file.h"

// A file that reads as the bindings recorded, or is as large or as UTF-16 as
// the recorded one was; none when the plug-in found none.
std::optional<std::string> headerBindingFile(const DriveRecording& recording);
