// Replaying a drive recording with the plug-in built in: pass by pass, either
// answering each of its questions with the recorded answer and comparing what
// it does with what it did, or playing the recorded inputs through the
// stand-in's own world and comparing the world's answers with the game's.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "recording/recording_file.h"

// The plug-in, as the native program that links it hands it over.
struct PluginControl {
    // The fields of its state that a recording keeps, with their ranges.
    std::span<const RecordedField> (*stateFields)();
    // Sets its state as a replay starts it, from a recording checked
    // against those fields.
    void (*restore)(const DriveRecording& recording);
    // One pass of its frame loop, without the yield.
    void (*runPass)();
};

struct ReplayReport {
    std::uint32_t passes = 0;
    // Empty when nothing differed; a call the stand-in refused is a
    // difference too. A replay stops at the pass of its first difference; one
    // through the world lists the first of each kind of answer.
    std::vector<std::string> differences;
    // Why the replay couldn't run, or empty: a recording that it can't take
    // (recording_check.h), or no folder for it.
    std::string problem;
};

// A speed the world answers within this of the game's counts as the same.
inline constexpr float speedTolerance = 0.25f;

// Both check the whole recording first, then run in a fresh world, in a
// folder of their own that holds the key-binding file the header describes,
// where the plug-in also writes.
ReplayReport replayRecording(const DriveRecording& recording, const PluginControl& plugin);
ReplayReport replayThroughWorld(const DriveRecording& recording, const PluginControl& plugin);
