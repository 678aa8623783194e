// The registered script: one frame loop that never returns, and what resets,
// unloads and replays do to the plug-in's state.
#pragma once

#include "plugin/plugin_state.h"
#include "recording/recording.h"

// Every mutable state of the plug-in, of every folder, goes back to how the DLL
// loaded it (Everything), or, when the hook starts the script again on a fresh
// fiber (Restart), to what holds for a new start: the bindings read, the
// gearbox on or off and the notice given stay, what was known of the game and
// the keys held goes, choosing keys ends with nothing written, and a
// recording ends and is saved over the passes after, as one being saved goes
// on being saved.
enum class Reset { Everything, Restart };
void resetPlugin(Reset what);

// The plug-in is being unloaded, as when the game ends: a recording still
// running, being saved or not saved is written at once, and the log says so
// of one that can't be, which is dropped. No notice: the game is going.
void unloadPlugin() noexcept;

// One game frame of the loop, everything but the final yield. Nothing it
// throws leaves it.
void runFramePass();

// The registered script: what a new start resets, then the frame loop. Nothing
// the reset throws leaves it either.
void scriptEntry();

// The plug-in as a replay starts it: with the recording's bindings and its
// state at the first pass, or, for a freshly loaded plug-in's recording, as
// the DLL loads it. The recording's header names only fields of
// recordedBindingFields and of recordedStateFields, each once, with values in
// their ranges; a field it doesn't name keeps its value as the DLL loads it.
void restorePlugin(const DriveRecording& recording);
