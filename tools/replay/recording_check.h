// What a replay takes from a recording beyond its format, checked before
// either replay starts: the header against the plug-in's own fields, and in
// every pass the key codes, control numbers, vehicle classes, states and
// game controllers (how many, their types, the one each read names and its
// buttons) that the stand-in indexes with or the plug-in acts on.
#pragma once

#include <span>
#include <string>

#include "recording/recording_file.h"

// Why a replay can't start from the header, or empty: its version must be
// text, its bindings must name each of recordedBindingFields once, its state
// each of stateFields once or nothing, each with a value in its field's range.
std::string recordingHeaderProblem(const DriveRecording& recording,
                                   std::span<const RecordedField> stateFields);

// The header's problem, or the first that a pass holds, named by pass and
// entry; empty when a replay can take the whole recording.
std::string recordingProblem(const DriveRecording& recording,
                             std::span<const RecordedField> stateFields);
