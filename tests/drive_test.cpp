// Playing a drive: when inputs reach the world, what a frame sample shows,
// and how expectations and faulty calls are reported. A scripted stand-in for
// the plug-in plays each frame.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "host/natives.h"
#include "runner/drive.h"
#include "screen/hud.h"
#include "sim/hook_control.h"

namespace {

// What the stand-in plug-in does in each frame, before the frame ends.
std::function<void()> playFrame;

void runFrame() {
    if (playFrame) {
        playFrame();
    }
    sim::endFrame();
}

void resetWorld() {
    sim::world = sim::World{};
}

int scriptRestarts = 0;

void restartScript() {
    ++scriptRestarts;
}

const sim::HookControl control = sim::worldControl(runFrame, resetWorld, restartScript);

class DriveRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetWorld();
        playFrame = nullptr;
    }
    void TearDown() override { playFrame = nullptr; }

    static DriveReport drive(const std::string& text) {
        const ParsedDriveScript parsed = parseDriveScript("test.drive", text);
        EXPECT_EQ(parsed.error, "");
        return runDrive(parsed.script, control);
    }

    static const FrameSample& at(const DriveReport& report, std::int64_t timeMs) {
        for (const FrameSample& sample : report.samples) {
            if (sample.timeMs == timeMs) {
                return sample;
            }
        }
        ADD_FAILURE() << "no frame starts at " << timeMs << " ms";
        return report.samples.front();
    }
};

TEST_F(DriveRunTest, FramesRunUntilTheLastLineAndInputsLandInTheFirstFrameAtOrAfterTheirTime) {
    std::vector<std::pair<std::int64_t, bool>> wSeen;
    playFrame = [&] { wSeen.push_back({sim::world.timeMs, sim::world.keys[sim::keyW]}); };

    const DriveReport report = drive("0 enter\n0.040 down W\n0.048 up W\n0.1 down W\n");

    // 16 ms frames: 0, 16, ..., 96, 112; the last line at 100 ms needs the frame at 112.
    ASSERT_EQ(report.samples.size(), 8u);
    EXPECT_EQ(report.samples.back().timeMs, 112);
    const std::vector<std::pair<std::int64_t, bool>> expected = {
        {0, false},  {16, false}, {32, false}, {48, false},
        {64, false}, {80, false}, {96, false}, {112, true}};
    EXPECT_EQ(wSeen, expected) << "a press and release in the same frame leave the key up";
    EXPECT_EQ(at(report, 48).events, (std::vector<std::string>{"down W", "up W"}));
    EXPECT_TRUE(report.samples[0].inVehicle);
    EXPECT_TRUE(report.failures.empty());
}

TEST_F(DriveRunTest, ControlsFireForOneFrameSpeedIsSetOnTheDriveVehicleAndTheScriptRestarts) {
    std::vector<bool> fired;
    playFrame = [&] { fired.push_back(controlFired(190)); };

    scriptRestarts = 0;
    const DriveReport report =
        drive("0.016 control 190\n0.032 speed -3.5\n0.048 leave\n0.048 restart\n");

    EXPECT_EQ(fired, (std::vector<bool>{false, true, false, false}));
    EXPECT_EQ(scriptRestarts, 1);
    ASSERT_EQ(sim::world.vehicles.size(), 2u);
    EXPECT_EQ(sim::world.vehicles[0].handle, driveVehicleHandles[0]);
    EXPECT_EQ(sim::world.vehicles[1].handle, driveVehicleHandles[1]);
    EXPECT_LT(at(report, 32).speed, -3.0f) << "the speed is signed along the heading";
    EXPECT_FALSE(at(report, 48).inVehicle);
}

TEST_F(DriveRunTest, SeatsClassesFocusPhoneMenuAndDeviceReachTheWorldAndTheSamples) {
    std::vector<std::string> seen;
    playFrame = [&] {
        seen.push_back(std::to_string(sim::world.occupied) + " " + std::to_string(sim::world.seat) +
                       " " + std::to_string(sim::world.vehicles[1].vehicleClass) + " " +
                       (sim::world.gameFocused ? "focused" : "background") +
                       (sim::world.lastDevice == sim::Device::Pad ? " pad" : "") +
                       (sim::world.phoneOut ? " phone" : "") +
                       (sim::world.pauseMenuActive ? " menu" : ""));
    };

    const DriveReport report = drive("0 class 2 boat\n"
                                     "0 enter passenger\n"
                                     "0.016 enter 2\n0.016 hold 71\n0.016 phone on\n"
                                     "0.032 focus off\n0.032 menu on\n"
                                     "0.048 focus on\n"
                                     "0.048 leave\n0.048 device keyboard\n0.048 phone off\n");

    EXPECT_EQ(seen, (std::vector<std::string>{"0 0 14 focused", "1 -1 14 focused pad phone",
                                              "1 -1 14 background pad phone menu",
                                              "-1 -1 14 focused menu"}));
    EXPECT_EQ(at(report, 32).events, (std::vector<std::string>{"focus off", "menu on"}));
    EXPECT_EQ(at(report, 0).vehicle, 1);
    EXPECT_TRUE(at(report, 0).passenger);
    EXPECT_EQ(at(report, 0).vehicleClass, 0);
    EXPECT_EQ(at(report, 16).vehicle, 2);
    EXPECT_FALSE(at(report, 16).passenger);
    EXPECT_EQ(at(report, 16).vehicleClass, 14);
    EXPECT_FALSE(drivingWithGearbox(at(report, 16)));
    EXPECT_FALSE(at(report, 32).focused);
    EXPECT_TRUE(at(report, 48).focused);
    EXPECT_FALSE(at(report, 48).inVehicle);
    EXPECT_EQ(at(report, 48).vehicle, 2) << "the vehicle last in stays shown";
}

TEST_F(DriveRunTest, SpeedGoesToTheVehicleShownAndExpectationsMayNameAVehicle) {
    const DriveReport report = drive("0 enter 2 passenger\n"
                                     "0 speed 5\n"
                                     "0.016 expect speed = 5\n"
                                     "0.016 expect vehicle 2 speed = 5\n"
                                     "0.016 expect vehicle 1 speed = 0\n"
                                     "0.016 expect vehicle 1 speed = 5\n"
                                     "0.016 expect vehicle 1 engine on\n");
    EXPECT_EQ(report.expectationsMet, 4);
    EXPECT_EQ(report.failures,
              std::vector<std::string>{"test.drive:6: expected vehicle 1 speed = 5, saw 0.00 at "
                                       "0.016 s"});
}

TEST_F(DriveRunTest, CapsAndStallsOfAVehicleNotShownAreEventsAndStallsCountForAll) {
    playFrame = [] {
        if (sim::world.timeMs == 16) {
            capVehicleSpeed(driveVehicleHandles[0], 9999.0f);
            capVehicleSpeed(driveVehicleHandles[0], 21.0f);
        }
        if (sim::world.timeMs == 32) {
            stallEngine(driveVehicleHandles[0]);
            capVehicleSpeed(driveVehicleHandles[1], 31.0f);
        }
    };
    const DriveReport report = drive("0 enter 2\n0.048 leave\n");
    EXPECT_EQ(at(report, 16).events, std::vector<std::string>{"vehicle 1 cap 21.00"});
    EXPECT_EQ(at(report, 32).events, std::vector<std::string>{"vehicle 1 stall"});
    EXPECT_EQ(at(report, 32).cap, 31.0f);
    EXPECT_EQ(report.samples.back().stalls, 1);
}

TEST_F(DriveRunTest, ASampleShowsTheLabelsByPositionAndTheSubtitleForItsDuration) {
    playFrame = [] {
        if (sim::world.timeMs == 16) {
            showSubtitle("Hello");
        }
        drawHudLabel("Clutch", 0.08f, sim::world.keys[16]);
        drawHudLabel("3", 0.015f, true);
    };

    const DriveReport report = drive("0 enter\n0.032 down Shift\n2.6 up Shift\n");

    const FrameSample& first = at(report, 0);
    ASSERT_TRUE(first.gear.has_value());
    EXPECT_EQ(first.gear->text, "3");
    EXPECT_TRUE(first.gear->highlighted);
    ASSERT_TRUE(first.clutch.has_value());
    EXPECT_FALSE(first.clutch->highlighted);
    EXPECT_FALSE(first.shift.has_value());
    EXPECT_EQ(first.subtitle, "");
    EXPECT_TRUE(at(report, 32).clutch->highlighted);

    EXPECT_EQ(at(report, 16).subtitle, "Hello");
    EXPECT_EQ(at(report, 2512).subtitle, "Hello");
    EXPECT_EQ(at(report, 2528).subtitle, "") << "2500 ms after it was shown";
}

TEST_F(DriveRunTest, AStallIsTheEngineGoingOffAndAFreshThrottleStartsItAgain) {
    // The plug-in switches the engine off while W is down from 32 ms on, as it
    // does while a player accelerates in too high a gear.
    playFrame = [] {
        if (sim::world.timeMs >= 32 && sim::world.timeMs < 96 && sim::world.keys[sim::keyW]) {
            stallEngine(vehicleOfCharacter(playerCharacter()));
        }
    };

    const DriveReport report =
        drive("0 enter\n0.032 down W\n0.080 up W\n0.096 down W\n0.112 up W\n0.128 down W\n");

    EXPECT_EQ(at(report, 32).events, (std::vector<std::string>{"down W", "stall"}));
    EXPECT_FALSE(at(report, 32).engineOn);
    EXPECT_TRUE(at(report, 48).events.empty()) << "already off: no second stall";
    EXPECT_EQ(at(report, 48).stalls, 1);
    EXPECT_EQ(at(report, 96).events, (std::vector<std::string>{"down W", "engine starts"}));
    EXPECT_TRUE(at(report, 96).engineOn);
    EXPECT_EQ(report.samples.back().stalls, 1);
}

TEST_F(DriveRunTest, NonZeroWaitsAreEvents) {
    playFrame = [] { sim::recordWait(sim::world.timeMs == 16 ? 50 : 0); };
    const DriveReport report = drive("0.032 enter\n");
    EXPECT_TRUE(at(report, 0).events.empty());
    EXPECT_EQ(at(report, 16).events, std::vector<std::string>{"wait 50"});
    EXPECT_TRUE(sim::world.calls.empty()) << "the recording is dropped frame by frame";
}

TEST_F(DriveRunTest, ExpectationsLookAtTheFirstFrameAtOrAfterTheirTimeOnceItRan) {
    playFrame = [] {
        if (sim::world.keys[sim::keyW]) {
            drawHudLabel("1", 0.015f, true);
        }
    };

    const DriveReport report = drive("0 enter\n"
                                     "0 expect gear none\n"
                                     "0.016 down W\n"
                                     "0.016 expect gear 1\n"
                                     "0.020 expect gear 2\n"
                                     "0.030 expect stalls > 0\n");

    EXPECT_EQ(report.expectationsMet, 2);
    const std::vector<std::string> failures = {
        "test.drive:5: expected gear 2, saw 1 at 0.032 s",
        "test.drive:6: expected stalls > 0, saw 0 at 0.032 s",
    };
    EXPECT_EQ(report.failures, failures);
    EXPECT_EQ(at(report, 32).events,
              (std::vector<std::string>{"FAILED: expected gear 2, saw 1",
                                        "FAILED: expected stalls > 0, saw 0"}));
}

TEST_F(DriveRunTest, HeldControlsNoticesDisabledControlsAndFileEditsReachTheSamples) {
    std::vector<bool> justPressed;
    playFrame = [&] {
        justPressed.push_back(controlFired(68));
        if (controlHeld(68)) {
            suppressControl(68);
        }
        if (sim::world.timeMs == 32 || sim::world.timeMs == 48) {
            showNotification(sim::world.timeMs == 32 ? "first" : "second");
        }
    };
    const std::string folder = testing::TempDir() + "drive-files";
    std::filesystem::create_directories(folder);
    std::ofstream(folder + "/a.ini") << "new";
    std::ofstream(folder + "/b.ini") << "old";
    const std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::current_path(folder);

    const DriveReport report = drive("0.016 hold 68\n"
                                     "0.032 expect control 68 disabled\n"
                                     "0.032 expect notices = 1\n"
                                     "0.048 release 68\n"
                                     "0.048 expect control 68 enabled\n"
                                     "0.048 expect notices = 2\n"
                                     "0.048 expect notice second\n"
                                     "0.064 copy a.ini b.ini\n"
                                     "0.064 delete a.ini\n"
                                     "0.080 delete a.ini\n"
                                     "0.080 copy a.ini b.ini\n");
    std::ifstream copied("b.ini");
    const std::string copiedText((std::istreambuf_iterator<char>(copied)), {});
    std::filesystem::current_path(saved);
    std::filesystem::remove_all(folder);

    EXPECT_EQ(justPressed, (std::vector<bool>{false, true, false, false, false, false}));
    EXPECT_EQ(report.expectationsMet, 5);
    EXPECT_EQ(copiedText, "new") << "copied over the old file";
    EXPECT_EQ(report.failures, (std::vector<std::string>{"test.drive:10: could not delete a.ini",
                                                         "test.drive:11: could not copy a.ini to "
                                                         "b.ini"}));
    EXPECT_EQ(at(report, 32).events, (std::vector<std::string>{"notice: first"}));
}

TEST_F(DriveRunTest, GameControllersArePluggedMovedAndUnplugged) {
    std::vector<std::string> seen;
    playFrame = [&] {
        std::string line;
        for (const sim::Controller& controller : sim::world.controllers) {
            line += (controller.plugged ? "+" : "-") + std::to_string(controller.input.axes[6]) +
                    (controller.input.buttons[12] ? " 13;" : ";");
        }
        seen.push_back(line);
    };
    const DriveReport report = drive("0 plug 2 046D:C24F wheel Logitech G29\n"
                                     "0.016 axis 2 Slider0 0.5\n0.016 button 2 13 down\n"
                                     "0.032 unplug 2\n0.032 axis 1 X 1\n");
    EXPECT_EQ(seen, (std::vector<std::string>{"-0;+0;", "-0;+32768 13;", "-0;-32768 13;"}));
    const sim::Controller& wheel = sim::world.controllers[1];
    EXPECT_EQ(wheel.id, (ControllerId{0x046D, 0xC24F}));
    EXPECT_EQ(wheel.type, ControllerType::Wheel);
    EXPECT_EQ(wheel.name, "Logitech G29");
    EXPECT_EQ(report.failures,
              (std::vector<std::string>{"test.drive:5: game controller 1 was never plugged in"}));
}

TEST_F(DriveRunTest, AFaultyCallFailsTheDriveAtItsTime) {
    playFrame = [] {
        if (sim::world.timeMs == 16) {
            nativeInit(0x1234);
            nativeCall();
        }
    };
    const DriveReport report = drive("0.032 enter\n");
    ASSERT_EQ(report.failures.size(), 1u);
    EXPECT_NE(report.failures[0].find("test.drive: at 0.016 s the world saw a faulty call: "
                                      "nativeInit 0x0000000000001234"),
              std::string::npos)
        << report.failures[0];
    EXPECT_TRUE(sim::world.faults.empty());
}

TEST(ExpectationTest, ComparisonsHoldToTwoDecimals) {
    FrameSample sample;
    sample.speed = 20.004f;
    sample.cap = 21.0f;
    sample.stalls = 1;
    sample.heading = 357.87f;
    const struct {
        Expectation::Subject subject;
        Expectation::Comparison comparison;
        double number;
        bool met;
    } cases[] = {
        {Expectation::Subject::Speed, Expectation::Comparison::Equal, 20.0, true},
        {Expectation::Subject::Speed, Expectation::Comparison::Equal, 20.01, false},
        {Expectation::Subject::Speed, Expectation::Comparison::Greater, 20.0, false},
        {Expectation::Subject::Speed, Expectation::Comparison::GreaterOrEqual, 20.0, true},
        {Expectation::Subject::Speed, Expectation::Comparison::Less, 20.01, true},
        {Expectation::Subject::Speed, Expectation::Comparison::Less, 20.0, false},
        {Expectation::Subject::Speed, Expectation::Comparison::LessOrEqual, 20.0, true},
        {Expectation::Subject::Speed, Expectation::Comparison::Greater, 19.9, true},
        {Expectation::Subject::Cap, Expectation::Comparison::Equal, 21.0, true},
        {Expectation::Subject::Cap, Expectation::Comparison::Less, 31.0, true},
        {Expectation::Subject::Stalls, Expectation::Comparison::Equal, 1, true},
        {Expectation::Subject::Heading, Expectation::Comparison::Equal, 357.87, true},
        {Expectation::Subject::Stalls, Expectation::Comparison::Greater, 1, false},
    };
    for (const auto& c : cases) {
        Expectation expectation;
        expectation.subject = c.subject;
        expectation.comparison = c.comparison;
        expectation.number = c.number;
        EXPECT_EQ(expectationMet(expectation, sample), c.met) << describeExpectation(expectation);
    }
}

TEST(ExpectationTest, WordsCompareWithWhatTheFrameShows) {
    FrameSample sample;
    sample.engineOn = false;
    sample.gear = LabelShown{"R", true};
    sample.clutch = LabelShown{"Clutch", false};
    sample.subtitle = "Manual Transmission ~g~Enabled~w~!";
    const struct {
        Expectation::Subject subject;
        const char* text;
        bool met;
    } cases[] = {
        {Expectation::Subject::Engine, "off", true},
        {Expectation::Subject::Engine, "on", false},
        {Expectation::Subject::Gear, "R", true},
        {Expectation::Subject::Gear, "", false},
        {Expectation::Subject::Clutch, "off", true},
        {Expectation::Subject::Clutch, "on", false},
        {Expectation::Subject::Clutch, "", false},
        {Expectation::Subject::Shift, "", true},
        {Expectation::Subject::Shift, "off", false},
        {Expectation::Subject::Subtitle, "Manual Transmission ~g~Enabled~w~!", true},
        {Expectation::Subject::Subtitle, "Manual Transmission", false},
        {Expectation::Subject::Subtitle, "", false},
    };
    for (const auto& c : cases) {
        Expectation expectation;
        expectation.subject = c.subject;
        expectation.text = c.text;
        EXPECT_EQ(expectationMet(expectation, sample), c.met) << describeExpectation(expectation);
    }
}

} // namespace
