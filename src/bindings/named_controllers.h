// The game controllers the bindings name, as the bindings' own functions
// (key_bindings.cpp) look for them, log them and tell the player of them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "binding_file/binding_reader.h"
#include "explain/binding_reading.h"

// Passes in a row in which a game controller opened fails its read before
// it counts as one that can't be read: a second at 120 frames a second,
// two at 60. A hiccup of fewer says nothing.
inline constexpr std::int32_t unreadPassesTold = 120;

// The game controllers the bindings name, as the bindings follow them.
struct NamedControllers {
    // One wasn't listed: each pass asks whether one was attached since.
    bool watching = false;
    // Passes in a row in which a game controller opened failed its read, up
    // to unreadPassesTold, and whether the player was told of it since.
    std::int32_t unreadPasses = 0;
    bool unreadTold = false;
};

// Looks for the game controllers the bindings name, opens them, reads them
// once and opens force feedback on the steering's; when they name none, lets
// go of whatever choosing keys opened, DirectInput's object too, and looks
// for nothing. Starts the count of passes that can't be read afresh,
// counting one opened that can't be read as unread long enough, and watches
// for those named that aren't attached. The log's part on them and on force
// feedback.
std::string findNamedControllers(const KeyBindings& keys, NamedControllers& named);

// The game controllers attached, as the explanation names them, where they
// could be looked for.
std::optional<std::vector<AttachedController>> attachedControllers();

// The notice of the first game controller the bindings name that can't be
// read: not attached, not opened, or failing for unreadPassesTold passes or
// since it was opened, which it then tells; empty when each can be read.
std::string unreadControllerNotice(const KeyBindings& keys, NamedControllers& named);
