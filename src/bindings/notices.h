// What the plug-in tells the player of a reading of the key-binding file, in a
// notification above the minimap.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "bindings/binding_reader.h"
#include "host/files.h"

// What a reading of the file came to; InUse: another program holds it, so it
// couldn't be opened.
enum class BindingsFile { NotFound, TooLarge, Utf16, Read, InUse };
inline constexpr BindingsFile lastBindingsFile = BindingsFile::InUse;

// The game shows at most this many characters of a notice.
inline constexpr std::size_t noticeLengthAtMost = 99;

// The notice of a reading: after the first, only when not every gear can be
// reached (empty otherwise); after a reload, always. It sends the player to
// the log only when the log was written; after the first reading of a file
// that binds a Bind key, to that key instead. It fits one text component of a
// notification.
std::string bindingsNoticeText(BindingsFile file, const KeyBindings& bindings, bool reload,
                               bool logWritten);

// A notice made without allocating, for the passes that save a recording;
// with room for more than a notice may hold, so that the notices' test sees
// one too long.
using NoticeText = std::array<char, 2 * noticeLengthAtMost>;

// The notices of the drive recorder: it started, with the key that stops it;
// it saved the file of that name; it couldn't, why, and the key that tries
// again; it is still saving the last, and the key does nothing until then.
std::string recordingStartedNotice(VirtualKeyCode recordKey);
NoticeText recordingSavedNotice(std::string_view fileName);
NoticeText recordingNotSavedNotice(WriteFault fault, VirtualKeyCode recordKey);
NoticeText recordingStillSavingNotice(VirtualKeyCode recordKey);
inline constexpr std::string_view recordingNoMemoryNotice =
    "Manual Gearbox: not enough memory to record the drive.";

// The notices of keys chosen in the game: saved in the key-binding file, and
// where the file as it was is kept when it couldn't be the backup; in use
// until the game ends, with the file too large to change, or not saved and
// why; or the choosing cancelled.
inline constexpr std::string_view keysSavedNotice = "Manual Gearbox: keys saved in MTconfig.ini.";
inline constexpr std::string_view keysSavedBackupAsideNotice =
    "Manual Gearbox: keys saved in MTconfig.ini; the old file is kept as MTconfig.ini.bak.tmp.";
inline constexpr std::string_view keysTooLargeNotice =
    "Manual Gearbox: keys in use until the game ends; MTconfig.ini is larger than 1 MiB, not "
    "changed.";
std::string keysNotSavedNotice(std::string_view why);
inline constexpr std::string_view keysCancelledNotice =
    "Manual Gearbox: choosing keys cancelled, no key changed.";

// Why a file couldn't be written, in a few words.
std::string_view writeFaultText(WriteFault fault);

// An error switched the gearbox off; a fixed text, since memory may be what
// ran out.
constexpr std::string_view faultNotice(bool logWritten) {
    return logWritten ? "Manual Gearbox: an error switched the gearbox off. See ManualGearbox.log"
                      : "Manual Gearbox: an error switched the gearbox off.";
}
