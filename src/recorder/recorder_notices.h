// What the drive recorder tells the player, in a notification above the
// minimap.
#pragma once

#include <string>
#include <string_view>

#include "host/files.h"
#include "keys/key_code.h"

// The notices of the drive recorder: it started, with the key that stops it;
// it saved the file of that name; it couldn't, why, and the key that tries
// again; it is still saving the last, and the key does nothing until then.
std::string recordingStartedNotice(VirtualKeyCode recordKey);
std::string recordingSavedNotice(const std::string& fileName);
std::string recordingNotSavedNotice(WriteFault fault, VirtualKeyCode recordKey);
std::string recordingStillSavingNotice(VirtualKeyCode recordKey);
inline constexpr std::string_view recordingNoMemoryNotice =
    "Manual Gearbox: not enough memory to record the drive.";
