// What a replay takes from a recording beyond its format, checked before
// either replay starts: the header against the plug-in's own fields, and in
// every pass the key codes, control numbers, vehicle classes, states and
// game controllers (how many, their types, the one each read names and its
// buttons) that the stand-in indexes with or the plug-in acts on.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "recording/recording_file.h"

// Why a replay can't start from the header, or empty: its version must be
// text, its bindings may name only fields of recordedBindingFields, and its
// state only fields of stateFields, each once, with a value in its range.
std::string recordingHeaderProblem(const DriveRecording& recording,
                                   std::span<const RecordedField> stateFields);

// The fields that a header with no problem doesn't name, the bindings' first:
// a recording made before they were added, which a replay starts unbound or
// off, and for the state as a freshly loaded plug-in has them. None of the
// state's for a recording that keeps no state, whose plug-in starts fresh.
std::vector<std::string_view> defaultedFields(const DriveRecording& recording,
                                              std::span<const RecordedField> stateFields);

// The header's problem, or the first that a pass holds, named by pass and
// entry; empty when a replay can take the whole recording.
std::string recordingProblem(const DriveRecording& recording,
                             std::span<const RecordedField> stateFields);
