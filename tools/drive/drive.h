// Plays a drive script against the world behind the stand-in hook, one frame
// at a time, and records what every frame showed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "drive/drive_script.h"
#include "sim/hook_control.h"

struct LabelShown {
    std::string text;
    bool highlighted = false;
};

// The state at the end of one frame, as a player would see it.
struct FrameSample {
    std::int64_t timeMs = 0;
    // Along the vehicle's heading: negative while it rolls backwards.
    float speed = 0;
    float cap = 0;
    bool engineOn = true;
    bool inVehicle = false;
    // Empty when not drawn in this frame.
    std::optional<LabelShown> gear;
    std::optional<LabelShown> clutch;
    std::optional<LabelShown> shift;
    // The subtitle on screen, or empty.
    std::string subtitle;
    // Times the engine was switched off while running, since the drive began.
    int stalls = 0;
    // The script's inputs, what the plug-in did and failed expectations.
    std::vector<std::string> events;
};

struct DriveReport {
    std::vector<FrameSample> samples;
    // "NAME:LINE: expected ..., saw ... at T s", and faulty calls the world saw.
    std::vector<std::string> failures;
    int expectationsMet = 0;
};

// The vehicle the drive uses; the player starts on foot beside it.
constexpr std::int32_t driveVehicleHandle = 0x00000A01;

// Runs the drive in a fresh world with the plug-in's script registered.
DriveReport runDrive(const DriveScript& script, const sim::HookControl& hook);

// What the sample shows for an expectation's subject, as the drive script
// writes it: "on", "off", "none", a label text, the subtitle or a number.
std::string observedText(const FrameSample& sample, Expectation::Subject subject);
bool expectationMet(const Expectation& expectation, const FrameSample& sample);
