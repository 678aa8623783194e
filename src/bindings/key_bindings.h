// The key bindings in use: read from MTconfig.ini on the first pass, again on
// the reload key, and while none was read, when the player next drives.
#pragma once

#include <span>
#include <string>

#include "binding_file/binding_reader.h"
#include "binding_file/binding_rewrite.h"
#include "bindings/named_controllers.h"
#include "bindings/notices.h"
#include "recording/state_field.h"

struct BindingsState {
    KeyBindings keys{};
    // What the reading of the keys in use came to, and whether its log was
    // written.
    BindingsFile file = BindingsFile::NotFound;
    bool logWritten = false;
    // The file the keys were last read from, or found too large to read;
    // empty while none was found.
    std::string path;
    NamedControllers named;
};

// Only the functions below change it.
const BindingsState& bindingsState();

// The bindings' part of the plug-in's state as a recording keeps it, but for
// the keys, which the recording's header keeps.
std::span<const StateField> bindingsStateFields();

// The keys in use become these, as a replay starts a plug-in with the keys
// its recording names; nothing is read or logged, and the wheel's parts are
// found among the controllers found last.
void useKeyBindings(const KeyBindings& keys);

// The bindings as the DLL loads them: no key bound and no file read.
void resetKeyBindings();

// The first pass: looks for the file, reads it if found, looks for the game
// controllers its wheel's lines name, and writes the log. Nothing is looked
// for earlier, while the DLL loads.
void loadKeyBindings();

// Looks for the file again and reads it: the new reading replaces the
// bindings as a whole, but for a reload key it doesn't bind; when no file
// opens, or it is too large, they stay. Rewrites the log and returns what to
// tell the player.
std::string reloadKeyBindings();

// While no file has been read, looks for it again in the same places and reads
// it; true when one was read (and logged), so that its notice is due. A file
// still too large is logged again but not told again.
bool lookForBindingsAgain();

// Keys and a wheel's parts chosen in the game: they replace the clutch and
// gear keys, the clutch pedal and the gates in use, and are written into the
// file the keys were read from (the first place looked in when none was
// found), which is then read and logged as a reload reads it, the game
// controllers it names looked for again. Returns what to tell the player.
std::string applyChosenKeys(const ChosenKeys& keys, const ChosenInputs& inputs);

// Why the player can't change gear with the bindings in use, or which game
// controller they name wasn't found, as a notice; empty when every gear can
// be reached and every controller was found.
std::string bindingsNotice();

// Looks for the game controllers the bindings in use name and opens only
// those, or lets go of every controller when they name none: when choosing
// ends without keys chosen. Slow, as every look is, but for none named.
void lookForNamedControllers();

// After a pass in which a game controller opened failed its read: counts
// such passes, from one anew after a pass that read them all, and once one
// has failed for unreadPassesTold passes in a row, or since it was opened,
// the notice that says why, once, while the player drives, with the log's
// line naming DirectInput's answer; else empty.
std::string countUnreadPasses(bool anew, bool driving);

// While watching, each pass: when a look found a game controller attached,
// looks for those the bindings name again, and returns the notice of one
// found (or of why it can't be read), else empty.
std::string lookForArrivedControllers();
