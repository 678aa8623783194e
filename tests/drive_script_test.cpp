// Drive scripts: what each line means, and what a bad line is told.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "script/drive_script.h"

namespace {

using Kind = DriveEvent::Kind;
using Subject = Expectation::Subject;
using Comparison = Expectation::Comparison;

DriveEvent onlyEvent(const std::string& line) {
    const ParsedDriveScript parsed = parseDriveScript("one.drive", line);
    EXPECT_EQ(parsed.error, "") << line;
    EXPECT_EQ(parsed.script.events.size(), 1u) << line;
    return parsed.script.events.empty() ? DriveEvent{} : parsed.script.events[0];
}

TEST(DriveScriptTest, EachActionAndItsArguments) {
    const struct {
        const char* line;
        std::int64_t timeMs;
        Kind kind;
        int code;
        float speed;
        const char* described;
    } cases[] = {
        {"0 enter", 0, Kind::Enter, 0, 0, "enter"},
        {"1.5 leave", 1500, Kind::Leave, 0, 0, "leave"},
        {"1.5 restart", 1500, Kind::Restart, 0, 0, "restart"},
        {"2 down W", 2000, Kind::KeyDown, 87, 0, "down W"},
        {"2.25 up shift", 2250, Kind::KeyUp, 16, 0, "up Shift"},
        {"3 down 2", 3000, Kind::KeyDown, 50, 0, "down 2"},
        {"3 down 0x10", 3000, Kind::KeyDown, 16, 0, "down Shift"},
        {"3 down 0X07", 3000, Kind::KeyDown, 7, 0, "down 0x07"},
        {"3 up 0xff", 3000, Kind::KeyUp, 255, 0, "up 0xFF"},
        {"4.125 control 190", 4125, Kind::Control, 190, 0, "control 190"},
        {"4.125 control 208", 4125, Kind::Control, 208, 0, "control 208"},
        {"5 speed 12.5", 5000, Kind::Speed, 0, 12.5f, "speed 12.5"},
        {"5 speed -4.1", 5000, Kind::Speed, 0, -4.1f, "speed -4.1"},
        {"5 speed +3", 5000, Kind::Speed, 0, 3.0f, "speed 3"},
        {"5 top 30", 5000, Kind::TopSpeed, 0, 30.0f, "top 30"},
        {"5 top 2 -1", 5000, Kind::TopSpeed, 0, -1.0f, "top 2 -1"},
        {"3600 enter", 3600000, Kind::Enter, 0, 0, "enter"},
        {"5 speed 340282346638528859811704183484516925440", 5000, Kind::Speed, 0,
         std::numeric_limits<float>::max(), "speed 3.40282e+38"},
        {"6 focus off", 6000, Kind::Focus, 0, 0, "focus off"},
        {"6 focus on", 6000, Kind::Focus, 0, 0, "focus on"},
        {"6 phone off", 6000, Kind::Phone, 0, 0, "phone off"},
        {"6 device pad", 6000, Kind::Device, 0, 0, "device pad"},
        {"7 class 2 boat", 7000, Kind::VehicleClass, 14, 0, "class 2 boat"},
        {"7 class 1 15", 7000, Kind::VehicleClass, 15, 0, "class 1 helicopter"},
        {"7 class 1 5", 7000, Kind::VehicleClass, 5, 0, "class 1 5"},
        {"7 class 2 0", 7000, Kind::VehicleClass, 0, 0, "class 2 car"},
        {"8 control 0", 8000, Kind::Control, 0, 0, "control 0"},
        {"8 hold 68", 8000, Kind::Hold, 68, 0, "hold 68"},
        {"8 release 511", 8000, Kind::Release, 511, 0, "release 511"},
        {"9 copy edited.ini MTconfig.ini", 9000, Kind::Copy, 0, 0, "copy edited.ini MTconfig.ini"},
        {"9 delete MTconfig.ini", 9000, Kind::Delete, 0, 0, "delete MTconfig.ini"},
        {"10 plug 1 046d:c24f wheel Logitech  G29 #", 10000, Kind::Plug, 0, 0,
         "plug 1 046D:C24F wheel Logitech  G29"},
        {"10 unplug 16", 10000, Kind::Unplug, 0, 0, "unplug 16"},
        {"10 axis 2 Slider0 0.25", 10000, Kind::Axis, 6, 0, "axis 2 Slider0 0.25"},
        {"10 button 1 128 up", 10000, Kind::Button, 128, 0, "button 1 128 up"},
        {"11 fault Acquire 2 DIERR_OTHERAPPHASPRIO", 11000, Kind::Fault, 6, 0,
         "fault Acquire 2 DIERR_OTHERAPPHASPRIO"},
        {"11 fault GetDeviceState 1 0x8000000a", 11000, Kind::Fault, 8, 0,
         "fault GetDeviceState 1 E_PENDING"},
        {"11 fault DirectInput8Create null", 11000, Kind::Fault, 1, 0,
         "fault DirectInput8Create S_OK"},
        {"11 fault EnumDevices E_FAIL", 11000, Kind::Fault, 2, 0, "fault EnumDevices E_FAIL"},
        {"11 fault EnumDevices 3 unterminated", 11000, Kind::Fault, 2, 0,
         "fault EnumDevices 3 unterminated"},
        {"11 fault Poll 1 none", 11000, Kind::Fault, 7, 0, "fault Poll 1 none"},
    };
    for (const auto& c : cases) {
        const DriveEvent event = onlyEvent(c.line);
        EXPECT_EQ(event.timeMs, c.timeMs) << c.line;
        EXPECT_EQ(event.kind, c.kind) << c.line;
        EXPECT_EQ(event.code, c.code) << c.line;
        EXPECT_EQ(event.speed, c.speed) << c.line;
        EXPECT_EQ(event.line, 1) << c.line;
        EXPECT_EQ(describeEvent(event), c.described) << c.line;
    }
}

TEST(DriveScriptTest, EnterTakesAVehicleAndASeatEitherOfWhichMayBeLeftOut) {
    const struct {
        const char* line;
        int vehicle;
        bool passenger;
        const char* described;
    } cases[] = {
        {"0 enter", 1, false, "enter"},
        {"0 enter 1 driver", 1, false, "enter"},
        {"0 enter 2", 2, false, "enter 2"},
        {"0 enter passenger", 1, true, "enter passenger"},
        {"0 enter 2 passenger", 2, true, "enter 2 passenger"},
    };
    for (const auto& c : cases) {
        const DriveEvent event = onlyEvent(c.line);
        EXPECT_EQ(event.kind, Kind::Enter) << c.line;
        EXPECT_EQ(event.vehicle, c.vehicle) << c.line;
        EXPECT_EQ(event.passenger, c.passenger) << c.line;
        EXPECT_EQ(describeEvent(event), c.described) << c.line;
    }
    EXPECT_EQ(onlyEvent("0 class 2 plane").vehicle, 2);
    EXPECT_FALSE(onlyEvent("0 focus off").on);
}

TEST(DriveScriptTest, SpeedCapAndEngineExpectationsMayNameAVehicle) {
    const struct {
        const char* line;
        Subject subject;
        int vehicle;
        const char* described;
    } cases[] = {
        {"1 expect vehicle 1 cap = 9999", Subject::Cap, 1, "vehicle 1 cap = 9999"},
        {"1 expect vehicle 2 speed > 3", Subject::Speed, 2, "vehicle 2 speed > 3"},
        {"1 expect vehicle 2 engine off", Subject::Engine, 2, "vehicle 2 engine off"},
        {"1 expect cap = 21", Subject::Cap, 0, "cap = 21"},
        {"1 expect vehicle 2 heading > 180", Subject::Heading, 2, "vehicle 2 heading > 180"},
    };
    for (const auto& c : cases) {
        const DriveEvent event = onlyEvent(c.line);
        EXPECT_EQ(event.expectation.subject, c.subject) << c.line;
        EXPECT_EQ(event.expectation.vehicle, c.vehicle) << c.line;
        EXPECT_EQ(describeExpectation(event.expectation), c.described) << c.line;
    }
}

TEST(DriveScriptTest, VehicleClassNames) {
    const struct {
        int vehicleClass;
        const char* name;
    } cases[] = {
        {0, "car"},         {5, "class 5"}, {8, "motorcycle"}, {13, "bicycle"},    {14, "boat"},
        {15, "helicopter"}, {16, "plane"},  {21, "train"},     {22, "open-wheel"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(vehicleClassName(c.vehicleClass), c.name);
    }
}

TEST(DriveScriptTest, EachExpectation) {
    const struct {
        const char* line;
        Subject subject;
        Comparison comparison;
        double number;
        const char* text;
        const char* described;
    } cases[] = {
        {"1 expect speed > 20", Subject::Speed, Comparison::Greater, 20, "", "speed > 20"},
        {"1 expect speed < -1.5", Subject::Speed, Comparison::Less, -1.5, "", "speed < -1.5"},
        {"1 expect cap = 40.5", Subject::Cap, Comparison::Equal, 40.5, "", "cap = 40.5"},
        {"1 expect cap >= 31", Subject::Cap, Comparison::GreaterOrEqual, 31, "", "cap >= 31"},
        {"1 expect stalls <= 2", Subject::Stalls, Comparison::LessOrEqual, 2, "", "stalls <= 2"},
        {"1 expect engine off", Subject::Engine, Comparison::Equal, 0, "off", "engine off"},
        {"1 expect gear R", Subject::Gear, Comparison::Equal, 0, "R", "gear R"},
        {"1 expect gear none", Subject::Gear, Comparison::Equal, 0, "", "gear none"},
        {"1 expect clutch on", Subject::Clutch, Comparison::Equal, 0, "on", "clutch on"},
        {"1 expect shift none", Subject::Shift, Comparison::Equal, 0, "", "shift none"},
        {"1 expect subtitle Manual Transmission ~r~Disabled~w~!", Subject::Subtitle,
         Comparison::Equal, 0, "Manual Transmission ~r~Disabled~w~!",
         "subtitle Manual Transmission ~r~Disabled~w~!"},
        {"1 expect subtitle none", Subject::Subtitle, Comparison::Equal, 0, "", "subtitle none"},
        {"1 expect notice Manual Gearbox: MTconfig.ini not found", Subject::Notice,
         Comparison::Equal, 0, "Manual Gearbox: MTconfig.ini not found",
         "notice Manual Gearbox: MTconfig.ini not found"},
        {"1 expect notices = 1", Subject::Notices, Comparison::Equal, 1, "", "notices = 1"},
        {"1 expect control 68 disabled", Subject::Control, Comparison::Equal, 0, "disabled",
         "control 68 disabled"},
    };
    for (const auto& c : cases) {
        const DriveEvent event = onlyEvent(c.line);
        EXPECT_EQ(event.kind, Kind::Expect) << c.line;
        EXPECT_EQ(event.expectation.subject, c.subject) << c.line;
        EXPECT_EQ(event.expectation.comparison, c.comparison) << c.line;
        EXPECT_EQ(event.expectation.number, c.number) << c.line;
        EXPECT_EQ(event.expectation.text, c.text) << c.line;
        EXPECT_EQ(describeExpectation(event.expectation), c.described) << c.line;
    }
}

TEST(DriveScriptTest, CommentsBlankLinesRelativeTimesAndWindowsLineEnds) {
    const std::string text = "# A drive\r\n"
                             "\r\n"
                             "0     enter        # get in\r\n"
                             "+0.5  down W\r\n"
                             "   \t\r\n"
                             "+1.25 up W\r\n"
                             "10    expect engine on\r\n"
                             "+0    leave";
    const ParsedDriveScript parsed = parseDriveScript("demo.drive", text);
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.script.name, "demo.drive");
    const std::vector<DriveEvent>& events = parsed.script.events;
    ASSERT_EQ(events.size(), 5u);
    const std::int64_t times[] = {0, 500, 1750, 10000, 10000};
    const int lines[] = {3, 4, 6, 7, 8};
    for (std::size_t i = 0; i < events.size(); ++i) {
        EXPECT_EQ(events[i].timeMs, times[i]) << i;
        EXPECT_EQ(events[i].line, lines[i]) << i;
    }
    EXPECT_EQ(events[3].expectation.text, "on");
    EXPECT_EQ(parsed.script.endMs, 10000);
}

TEST(DriveScriptTest, AScriptWithoutEventsIsRefused) {
    for (const char* text : {"", "# nothing\n\n", "  \r\n\t\n"}) {
        const ParsedDriveScript parsed = parseDriveScript("empty.drive", text);
        EXPECT_EQ(parsed.error,
                  "empty.drive: no events: a drive needs at least one line such as '0 enter'")
            << text;
    }
}

TEST(DriveScriptTest, BadLinesNameTheFileTheLineAndWhatWasExpected) {
    const struct {
        const char* line;
        const char* error;
    } cases[] = {
        {"enter", "expected a time in seconds such as 2, 1.5 or +0.25 (at most three decimals), "
                  "got 'enter'"},
        {"-1 enter", "got '-1'"},
        {"1.2345 enter", "got '1.2345'"},
        {"1. enter", "got '1.'"},
        {".5 enter", "got '.5'"},
        {"+ enter", "got '+'"},
        {"1e3 enter", "got '1e3'"},
        {"3600.001 enter", "a drive lasts at most 3600.000 s, this line is at 3600.001 s"},
        {"1", "expected an action: down, up, control, hold, release, enter, leave, speed, top, "
              "class, focus, phone, menu, device, copy, delete, plug, unplug, axis, button, "
              "fault, restart, exclusive, slide, air, crash or expect after '1'"},
        {"1 jump",
         "axis, button, fault, restart, exclusive, slide, air, crash or expect, got 'jump'"},
        {"1 exclusive 1 held", "expected taken or free after '1', got 'held'"},
        {"1 expect effects gone", "expected stopped or playing after 'effects', got 'gone'"},
        {"1 Enter", "got 'Enter'"},
        {"1 down", "expected a key name such as W, Shift or 2, or a code such as 0x10 after "
                   "'down'"},
        {"1 down Clutch", "expected a key name such as W, Shift or 2, or a code such as 0x10, "
                          "got 'Clutch'"},
        {"1 down 16", "got '16'"},
        {"1 down 0x", "got '0x'"},
        {"1 down 0x00", "got '0x00'"},
        {"1 down 0x100", "got '0x100'"},
        {"1 down 0x1g", "got '0x1g'"},
        {"1 up W S", "unexpected 'S' after 'W'"},
        {"1 control", "expected a game control number from 0 to 511 after 'control'"},
        {"1 control 512", "expected a game control number from 0 to 511 after 'control', got "
                          "'512'"},
        {"1 hold -1", "got '-1'"},
        {"1 release 71 72", "unexpected '72' after '71'"},
        {"1 copy", "expected a file name in the drive's folder, such as MTconfig.ini after 'copy'"},
        {"1 copy a.ini", "after 'a.ini'"},
        {"1 copy ../a.ini MTconfig.ini", "got '../a.ini'"},
        {"1 delete C:\\MTconfig.ini", "got 'C:\\MTconfig.ini'"},
        {"1 delete a b", "unexpected 'b' after 'a'"},
        {"1 enter now", "expected the vehicle, 1 or 2, or the seat, driver or passenger, after "
                        "'enter', got 'now'"},
        {"1 enter 3", "got '3'"},
        {"1 enter 2 boot", "expected the seat, driver or passenger, after '2', got 'boot'"},
        {"1 enter passenger 2", "unexpected '2' after 'passenger'"},
        {"1 leave 1", "unexpected '1' after 'leave'"},
        {"1 restart now", "unexpected 'now' after 'restart'"},
        {"1 class", "expected the vehicle, 1 or 2 after 'class'"},
        {"1 class boat", "expected the vehicle, 1 or 2, got 'boat'"},
        {"1 class 1", "expected a vehicle class: car, motorcycle, bicycle, boat, helicopter, "
                      "plane, train, open-wheel, or a number from 0 to 22 after '1'"},
        {"1 class 1 ship", "got 'ship'"},
        {"1 class 1 23", "got '23'"},
        {"1 class 1 -1", "got '-1'"},
        {"1 class 1 boat 2", "unexpected '2' after 'boat'"},
        {"1 focus", "expected on or off after 'focus'"},
        {"1 focus lost", "expected on or off after 'focus', got 'lost'"},
        {"1 menu", "expected on or off after 'menu'"},
        {"1 device mouse", "expected keyboard or pad after 'device', got 'mouse'"},
        {"1 speed 1000000000000000000000000000000000000000",
         "the speed '1000000000000000000000000000000000000000' is beyond what the game's "
         "single-precision speeds can hold"},
        {"1 speed -340282356779733661637539395458142568448", "is beyond"},
        {"1 speed", "expected a speed such as 12 or -4.5 after 'speed'"},
        {"1 speed fast", "expected a speed such as 12 or -4.5, got 'fast'"},
        {"1 speed 1e9", "got '1e9'"},
        {"1 speed 12km", "got '12km'"},
        {"1 top", "expected a speed such as 12 or -4.5 after 'top'"},
        {"1 top 3 30", "expected the vehicle, 1 or 2, got '3'"},
        {"1 top 2 30 40", "unexpected '40' after '30'"},
        {"1 plug", "expected a game controller's number from 1 to 16 after 'plug'"},
        {"1 plug 17 046D:C24F wheel G29", "got '17'"},
        {"1 plug 1 046D-C24F wheel G29", "expected a game controller's id, its vendor's and "
                                         "product's, such as 046D:C24F, got '046D-C24F'"},
        {"1 plug 1 046D:C24F car G29", "expected a game controller's type: other, wheel, pedals, "
                                       "shifter, pad or joystick, got 'car'"},
        {"1 plug 1 046D:C24F wheel", "expected its name, such as Logitech G29 Driving Force "
                                     "after 'wheel'"},
        {"1 unplug 0", "got '0'"},
        {"1 axis 1 Throttle 0.5", "expected an axis: X, Y, Z, Rx, Ry, Rz, Slider0 or Slider1, "
                                  "got 'Throttle'"},
        {"1 axis 1 X 1.5", "expected its travel from 0, its lowest, to 1, its highest, such as "
                           "0.25, got '1.5'"},
        {"1 button 1 129 down", "expected a button's number from 1 to 128, got '129'"},
        {"1 button 1 13 pressed", "expected down or up after '13', got 'pressed'"},
        {"1 fault Open 1 E_FAIL", "expected a step of DirectInput: DirectInput8Create, "
                                  "EnumDevices, CreateDevice, SetDataFormat, SetCooperativeLevel, "
                                  "Acquire, Poll or GetDeviceState, got 'Open'"},
        {"1 fault Acquire E_FAIL", "got 'E_FAIL'"},
        {"1 fault Acquire 1 S_OK",
         "expected a failure such as E_FAIL or 0x80004005 or none, got 'S_OK'"},
        {"1 fault CreateDevice 1", "expected a failure such as E_FAIL or 0x80004005, null or none "
                                   "after '1'"},
        {"1 fault EnumDevices 1 E_FAIL", "expected unterminated or none, got 'E_FAIL'"},
        {"1 fault Poll 1 E_FAIL now", "unexpected 'now' after 'E_FAIL'"},
        {"1 expect", "expected what to expect: speed, cap, heading, stalls, engine, gear, clutch, "
                     "shift, subtitle, notice, notices, control, prompt, force, damper, jolt, "
                     "effects, updates, pull or revs after 'expect'"},
        {"1 expect notices = many", "expected a number after '=', got 'many'"},
        {"1 expect control disabled", "expected a game control number from 0 to 511 after "
                                      "'control', got 'disabled'"},
        {"1 expect control 68 off", "expected disabled or enabled after 'control', got 'off'"},
        {"1 expect rpm > 3", "got 'rpm'"},
        {"1 expect speed", "expected a comparison: <, <=, =, >= or > after 'speed'"},
        {"1 expect speed == 3", "expected a comparison: <, <=, =, >= or >, got '=='"},
        {"1 expect speed >", "expected a number after '>'"},
        {"1 expect cap = open", "expected a number after '=', got 'open'"},
        {"1 expect stalls = 1 2", "unexpected '2' after '1'"},
        {"1 expect engine running", "expected on or off after 'engine', got 'running'"},
        {"1 expect gear 255", "expected 1, 2, 3, 4, R, 5, 6, 1!, 2!, 3!, 4!, R!, 5!, 6!, N or none "
                              "after 'gear', got '255'"},
        {"1 expect gear r", "got 'r'"},
        {"1 expect clutch", "expected on, off or none after 'clutch'"},
        {"1 expect shift on off", "unexpected 'off' after 'on'"},
        {"1 expect subtitle", "expected a text, or none after 'subtitle'"},
        {"1 expect vehicle", "expected the vehicle, 1 or 2 after 'vehicle'"},
        {"1 expect vehicle 3 cap = 1", "expected the vehicle, 1 or 2, after 'vehicle', got '3'"},
        {"1 expect vehicle 1", "expected speed, cap, heading or engine after '1'"},
        {"1 expect vehicle 1 gear 1", "expected speed, cap, heading or engine after 'vehicle 1', "
                                      "got 'gear'"},
    };
    for (const auto& c : cases) {
        const std::string text = "0 enter\n# fine so far\n" + std::string(c.line) + "\n3 leave\n";
        const ParsedDriveScript parsed = parseDriveScript("bad.drive", text);
        EXPECT_EQ(parsed.error.rfind("bad.drive:3: ", 0), 0u) << c.line << ": " << parsed.error;
        EXPECT_NE(parsed.error.find(c.error), std::string::npos) << c.line << ": " << parsed.error;
        EXPECT_TRUE(parsed.script.events.empty()) << c.line;
    }
}

TEST(DriveScriptTest, AMessageQuotesAtMost60BytesOfAWordWithControlBytesEscaped) {
    const std::string junk(200, 'x');
    const std::string cutInTwo = std::string(59, 'a') + "\xC3\xA9" + "tail";
    const struct {
        std::string word;
        std::string quoted;
    } cases[] = {
        {junk, "'" + junk.substr(0, 60) + "'... (200 bytes)"},
        {std::string("a\0b\x01"
                     "c\x7F\x1B",
                     7),
         "'a\\0b\\x01c\\x7F\\x1B'"},
        // 59 bytes and the first of a two-byte character: the character goes.
        {cutInTwo, "'" + std::string(59, 'a') + "'... (65 bytes)"},
        {"caf\xC3\xA9", "'caf\xC3\xA9'"},
    };
    for (const auto& c : cases) {
        const ParsedDriveScript parsed = parseDriveScript("q.drive", "1 " + c.word + "\n");
        EXPECT_EQ(parsed.error, "q.drive:1: expected an action: down, up, control, hold, release, "
                                "enter, leave, speed, top, class, focus, phone, menu, device, "
                                "copy, delete, plug, unplug, axis, button, fault, restart, "
                                "exclusive, slide, air, crash or expect, got " +
                                    c.quoted);
    }
    // The time word too.
    const ParsedDriveScript parsed = parseDriveScript("q.drive", junk + " enter\n");
    EXPECT_NE(parsed.error.find("got '" + junk.substr(0, 60) + "'... (200 bytes)"),
              std::string::npos)
        << parsed.error;
}

TEST(DriveScriptTest, TimeNeverGoesBack) {
    const ParsedDriveScript parsed = parseDriveScript("late.drive", "2 enter\n1.5 leave\n");
    EXPECT_EQ(parsed.error, "late.drive:2: the time 1.500 s comes before the previous line's "
                            "2.000 s");
}

} // namespace
