// What the plug-in tells the player of a reading of the key-binding file, in a
// notification above the minimap.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "binding_file/binding_places.h"
#include "binding_file/binding_reader.h"
#include "host/controller_faults.h"
#include "host/force_feedback.h"

// The notice of a reading: after the first, only when not every gear can be
// reached (empty otherwise); after a reload, always. It sends the player to
// the log only when the log was written; after the first reading of a file
// that binds a Bind key, to that key instead. It fits one text component of a
// notification.
std::string bindingsNoticeText(BindingsFile file, const KeyBindings& bindings, bool reload,
                               bool logWritten);

// The notice of a game controller the bindings name that wasn't found,
// naming those attached, as many as fit, with the key that looks again.
std::string controllerMissingNotice(ControllerId id, std::span<const ControllerId> attached,
                                    VirtualKeyCode reloadKey);

// The notice of one that can't be read, or couldn't be looked for, with the
// reason in a player's words and what to do; "plug it in" is never one.
std::string controllerFaultNotice(ControllerId id, ControllerFault fault, VirtualKeyCode reloadKey);

// The notice of one found during the game, without the reload key.
std::string controllerFoundNotice(ControllerId id);

// The notice of a clutch pedal that reads pressed from the moment the player
// got in and never moved: bound the wrong way round, it may be the other.
std::string reversedClutchNotice(const ControllerBinding& pedal);

// Why force feedback that a line asks for is unavailable, with what it came
// to, as a notice (empty when it is on, or not asked for) and for the log.
std::string forceFeedbackNotice(const KeyBindings& bindings, ForceFeedbackStatus status);
std::string forceFeedbackLog(const KeyBindings& bindings, ForceFeedbackStatus status);

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
