// Drive scripts: timed events for the stand-in world, one per line, read by the
// drive runner. The format is described in the README.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "keys/controller_parts.h"

// A drive has two vehicles, numbered 1 and 2.
constexpr int driveVehicleCount = 2;
// Its game controllers are numbered from 1 to this.
constexpr int driveControllerCount = 16;

// What a drive checks at one moment. Numbers compare for speed, cap, heading,
// stalls, the pull and the revs;
// the others compare text: "on", "off" or "none" (not drawn), a gear label,
// the subtitle on screen, or the line that asks for keys.
struct Expectation {
    enum class Subject {
        Speed,
        Cap,
        Heading,
        Stalls,
        Engine,
        Gear,
        Clutch,
        Shift,
        Subtitle,
        Notice,
        Notices,
        Control,
        Prompt,
        // Force feedback: what the constant force, the damper and the jolt
        // put out, whether any effect plays, and the SetParameters calls, in
        // the frame.
        Force,
        Damper,
        Jolt,
        Effects,
        Updates,
        Pull,
        Revs
    };
    enum class Comparison { Less, LessOrEqual, Equal, GreaterOrEqual, Greater };
    Subject subject = Subject::Speed;
    Comparison comparison = Comparison::Equal;
    double number = 0;
    std::string text;
    // Speed, cap, heading and engine: 1 or 2 for that vehicle, 0 for the one
    // the player is in or was in last.
    int vehicle = 0;
    // Control: the game control whether disabled for the game.
    int control = 0;
};

struct DriveEvent {
    enum class Kind {
        KeyDown,
        KeyUp,
        Control,
        Hold,
        Release,
        Enter,
        Leave,
        // The hook starts the plug-in's script again, as when a save loads.
        Restart,
        Speed,
        // The game's estimate of a vehicle's top speed.
        TopSpeed,
        VehicleClass,
        Focus,
        Phone,
        Menu,
        Device,
        Copy,
        Delete,
        // A game controller plugged in or unplugged, an axis moved, a button
        // held or let go.
        Plug,
        Unplug,
        Axis,
        Button,
        // A step of DirectInput answers with a fault from now on, or its own
        // answer again.
        Fault,
        // Another program takes game controller N exclusively, or lets go.
        Exclusive,
        // The vehicle the player is in or was last in slides sideways, is in
        // the air or not, or takes a collision.
        Slide,
        Air,
        Crash,
        Expect
    };
    std::int64_t timeMs = 0;
    int line = 0;
    Kind kind = Kind::Enter;
    // KeyDown, KeyUp: the virtual-key code; Control, Hold, Release: the control
    // number; VehicleClass: the game's vehicle class; Axis: the axis, by its
    // index in controllerAxisNames; Button: the button's number.
    int code = 0;
    // Enter, VehicleClass: 1 or 2; TopSpeed: 1, 2 or 0 for the vehicle the
    // player is in or was last in.
    int vehicle = 1;
    bool passenger = false;
    // Focus: whether the game's window gets it back or loses it; Phone: out or
    // away; Menu: the pause menu open or closed; Button: held or let go;
    // Exclusive: taken; Air: in the air.
    bool on = true;
    // Device: the keyboard and mouse, or the pad, as the device used last.
    bool keyboard = true;
    // Speed, TopSpeed, Slide: m/s; Crash: the body's health it takes.
    float speed = 0;
    // Copy: from the first file to the second; Delete: the first. Both in the
    // drive's folder.
    std::string file;
    std::string otherFile;
    // Plug, Unplug, Axis, Button: the game controller's number; Plug: its id,
    // type and name; Axis: its travel from 0, its lowest, to 1, its highest.
    int controller = 1;
    ControllerId controllerId;
    ControllerType controllerType = ControllerType::Other;
    std::string name;
    float travel = 0;
    // Fault: the step (a ControllerStep) in code, of game controller
    // `controller`, or of the system for 0, and its answer from now on: an
    // HRESULT, S_OK where it gives no object, or none for its own; for
    // EnumDevices of a controller, `on` for its name with no NUL.
    std::optional<std::int32_t> answer;
    Expectation expectation;
};

struct DriveScript {
    // The file name as given, for messages.
    std::string name;
    // In time order.
    std::vector<DriveEvent> events;
    // The time of the last line: the drive lasts until then.
    std::int64_t endMs = 0;
};

struct ParsedDriveScript {
    DriveScript script;
    // Empty when the script is valid, else "NAME:LINE: what was expected".
    std::string error;
};

ParsedDriveScript parseDriveScript(std::string_view name, std::string_view text);

// How an event or expectation reads in a timeline, e.g. "down Shift" or
// "gear 2".
std::string describeEvent(const DriveEvent& event);
std::string describeExpectation(const Expectation& expectation);

// A time in messages, e.g. "1.500 s".
std::string secondsText(std::int64_t ms);

// A vehicle class as drives name it: "car", "boat", ... or "class 5".
std::string vehicleClassName(int vehicleClass);
