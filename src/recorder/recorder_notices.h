// What the drive recorder tells the player, in a notification above the
// minimap.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "host/files.h"
#include "host/natives.h"
#include "keys/key_code.h"

// A notice made without allocating, for the passes that save a recording;
// with room for more than a notice may hold, so that the notices' test sees
// one too long.
using NoticeText = std::array<char, 2 * textLengthAtMost>;

// The notices of the drive recorder: it started, with the key that stops it;
// it saved the file of that name; it couldn't, why, and the key that tries
// again; it is still saving the last, and the key does nothing until then.
std::string recordingStartedNotice(VirtualKeyCode recordKey);
NoticeText recordingSavedNotice(std::string_view fileName);
NoticeText recordingNotSavedNotice(WriteFault fault, VirtualKeyCode recordKey);
NoticeText recordingStillSavingNotice(VirtualKeyCode recordKey);
inline constexpr std::string_view recordingNoMemoryNotice =
    "Manual Gearbox: not enough memory to record the drive.";
