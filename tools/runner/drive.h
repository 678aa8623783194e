// Plays a drive script against the world behind the stand-in hook, one frame
// at a time, and records what every frame showed.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "recording/recording_file.h"
#include "script/drive_script.h"
#include "sim/hook_control.h"

struct LabelShown {
    std::string text;
    bool highlighted = false;
    // Drawn red: a gate the gearbox refused.
    bool refused = false;
};

// The rev bar as drawn: how far it is filled, and whether green, in the band
// where "Shift" lights, or red, at the cap.
struct RevBarShown {
    float revs = 0;
    bool shift = false;
    bool cap = false;
    bool operator==(const RevBarShown&) const = default;
};

struct VehicleSample {
    float speed = 0;
    float cap = 0;
    bool engineOn = true;
    int vehicleClass = 0;
    // In degrees, 0 to 360: steering left raises it.
    float heading = 0;
};

// The state at the end of one frame, as a player would see it.
struct FrameSample {
    std::int64_t timeMs = 0;
    // The vehicle the player is in, or was in last, 1 or 2: the speed, cap,
    // engine, class and heading here are its.
    int vehicle = 1;
    // Along the vehicle's heading: negative while it rolls backwards.
    float speed = 0;
    float cap = 0;
    bool engineOn = true;
    int vehicleClass = 0;
    float heading = 0;
    // The torque multiplier it moved by in this frame: 1 when none was sent.
    float pull = 1;
    bool pullSent = false;
    // Empty when not drawn in this frame.
    std::optional<RevBarShown> revBar;
    bool inVehicle = false;
    bool passenger = false;
    // Whether the game's window has the focus, so that keys reach it.
    bool focused = true;
    // Every vehicle, by number less one.
    std::array<VehicleSample, driveVehicleCount> vehicles{};
    // Empty when not drawn in this frame.
    std::optional<LabelShown> gear;
    std::optional<LabelShown> clutch;
    std::optional<LabelShown> shift;
    // The subtitle on screen, or empty.
    std::string subtitle;
    // The line that asks for keys while the player chooses them, or empty.
    std::string prompt;
    // The notifications posted since the drive began, and the latest one.
    int notices = 0;
    std::string notice;
    // The game controls disabled for the game in this frame.
    std::bitset<sim::controlCount> disabledControls;
    // What force feedback's effects put out at the frame's end, and their
    // calls in it.
    sim::ForceOutput forces;
    sim::EffectCounts effectCalls;
    // Times an engine was switched off while running, since the drive began.
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

// The drive's vehicles, 1 and 2; the player starts on foot beside them.
constexpr std::int32_t driveVehicleHandles[driveVehicleCount] = {0x00000A01, 0x00000A02};

// Whether the player drives a vehicle with a gearbox in this frame, where the
// plug-in draws its labels.
bool drivingWithGearbox(const FrameSample& sample);

// Runs the drive in a fresh world with the plug-in's script registered; with a
// recording, adds each of the plug-in's passes to it.
DriveReport runDrive(const DriveScript& script, const sim::HookControl& hook,
                     DriveRecording* recording = nullptr);

// Unplugs a controller the drive plugged in, moves its axis, holds its
// button, has another program hold it exclusively or injects a fault into a
// step of DirectInput, its own or the system's; one it never plugged in is a
// problem of the drive's own, which this returns.
std::string changeController(const DriveEvent& event, const sim::HookControl& hook);

// What the sample shows for an expectation's subject, as the drive script
// writes it: "on", "off", "none", a label text, the subtitle or a number.
std::string observedText(const FrameSample& sample, const Expectation& expectation);
bool expectationMet(const Expectation& expectation, const FrameSample& sample);

// A slide, the air or a crash, on the vehicle the player is in or was last in.
void changeRoad(const DriveEvent& event, sim::Vehicle& vehicle);
