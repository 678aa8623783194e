// Replaying a drive recording with the plug-in built in: pass by pass, either
// answering each of its questions with the recorded answer and comparing what
// it does with what it did, or playing the recorded inputs through the
// stand-in's own world and comparing the world's answers with the game's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "recording/recording_file.h"

// The plug-in, as the native program that links it hands it over.
struct PluginControl {
    // Sets its state as a replay starts it; says why it can't.
    std::string (*restore)(const DriveRecording& recording);
    // One pass of its frame loop, without the yield.
    void (*runPass)();
};

struct ReplayReport {
    std::uint32_t passes = 0;
    // Empty when nothing differed. A replay stops at its first difference;
    // one through the world lists the first of each kind of answer.
    std::vector<std::string> differences;
    // Why the replay couldn't run, or empty.
    std::string problem;
};

// A speed the world answers within this of the game's counts as the same.
inline constexpr float speedTolerance = 0.25f;

// Both run in a fresh world, in a folder of their own that holds the
// key-binding file the header describes, where the plug-in also writes.
ReplayReport replayRecording(const DriveRecording& recording, const PluginControl& plugin);
ReplayReport replayThroughWorld(const DriveRecording& recording, const PluginControl& plugin);
