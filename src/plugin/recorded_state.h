// The plug-in's state as a drive recording keeps it, pass by pass, and as a
// replay restores it.
#pragma once

#include <span>

#include "recording/recording.h"

// Every name the plug-in's state in a recording holds, and the values each
// can take: a gear past reverse would index past the gear table. At most
// recordedValuesAtMost.
std::span<const RecordedField> recordedStateFields();

// Sets each named field of the plug-in's state to its value, by the function
// of the folder that owns it, as a replay restores a recording's state; the
// fields not named stay as they are.
void restoreStateValues(std::span<const NamedValue> values);

// Sets the recording's bindings and its state at the first pass, on a
// plug-in as the DLL loads it; nothing for a recording that keeps no state.
// The header names only fields of recordedBindingFields and of
// recordedStateFields, each once, with values in their ranges; a field it
// doesn't name keeps its value as the DLL loads it: unbound, off, or as a
// freshly loaded plug-in has it.
void restoreRecordedState(const DriveRecording& recording);

// The plug-in's state now, every field in the order of recordedStateFields.
void pluginStateValues(std::span<std::int32_t> values);

// Adds the plug-in's state to the pass being recorded.
void recordPluginState();
