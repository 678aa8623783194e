// The plug-in's state as a drive recording keeps it, pass by pass, and as a
// replay restores it.
#pragma once

#include <span>

#include "recording/recording.h"

// Every name the plug-in's state in a recording holds, and the values each
// can take: a gear past reverse would index past the gear table.
std::span<const RecordedField> recordedStateFields();

// Sets the recording's bindings and its state at the first pass, on a
// plug-in as the DLL loads it; nothing for a recording that keeps no state.
// The header names exactly the fields of recordedBindingFields and of
// recordedStateFields, or no state, with values in their ranges.
void restoreRecordedState(const DriveRecording& recording);

// The plug-in's state now, every field in the order of recordedStateFields.
void pluginStateValues(std::span<std::int32_t> values);

// Adds the plug-in's state to the pass being recorded.
void recordPluginState();
