// The game controllers on the host floor against the stand-in's: found, opened
// when wanted, read once a pass, lost and acquired again, and a recording of
// them, by the recorder's tap and by the world's record alike, replayed both
// ways.
#include "plugin_fixture.h"

#include "binding_file/recorded_bindings.h"
#include "host/game_controllers.h"
#include "host/keyboard.h"
#include "plugin/recorded_state.h"
#include "recorder/recorder.h"
#include "replay/replay.h"
#include "runner/recorded_drive.h"
#include "sim/controller_steps.h"

namespace {

constexpr ControllerId wheel = {0x046D, 0xC24F};
constexpr ControllerId pad = {0x045E, 0x028E};
constexpr ControllerId shifter = {0x044F, 0xB660};
constexpr ControllerId wanted[] = {wheel, shifter};
constexpr std::size_t slider0 = 6;

// A plug-in that reads a wheel and a shifter: it looks for them while it has
// found none, reads them on every pass, and asks about a control whose number
// tells what it read, so that a replay that reads otherwise differs.
void wheelPass() {
    if (foundControllers().empty()) {
        findControllers(wanted);
    }
    readControllers();
    std::size_t control = 0;
    for (const GameController& controller : foundControllers()) {
        if (!controller.released) {
            control += 1 + controller.input.buttons.count() + controller.input.axes[slider0] / 1000;
        }
    }
    controlHeld(static_cast<ControlId>(control));
}

const PluginControl wheelPlugin = {recordedStateFields, restorePlugin, wheelPass};

class ControllersTest : public PluginTest {
  protected:
    void SetUp() override {
        PluginTest::SetUp();
        sim::plugController(0, wheel, ControllerType::Wheel, "Logitech G29 Driving Force");
        sim::plugController(1, pad, ControllerType::Pad, "Controller (Xbox One For Windows)");
        sim::plugController(2, shifter, ControllerType::Shifter, "T500 RS Gear Shift");
    }

    static sim::Controller& plugged(int number) {
        return sim::world.controllers[static_cast<std::size_t>(number - 1)];
    }

    static std::size_t callsOf(sim::Call::Kind kind) {
        return static_cast<std::size_t>(
            std::ranges::count(sim::world.calls, kind, &sim::Call::kind));
    }
};

TEST_F(ControllersTest, FoundInTheSystemsOrderAndOnlyTheWantedOpened) {
    plugged(1).input.axes[slider0] = controllerAxisTop / 4;
    plugged(3).input.buttons.set(12);
    findControllers(wanted);
    const struct {
        ControllerId id;
        ControllerType type;
        const char* name;
        bool opened;
    } expected[] = {
        {wheel, ControllerType::Wheel, "Logitech G29 Driving Force", true},
        {pad, ControllerType::Pad, "Controller (Xbox One For Windows)", false},
        {shifter, ControllerType::Shifter, "T500 RS Gear Shift", true},
    };
    ASSERT_EQ(foundControllers().size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const GameController& found = foundControllers()[i];
        EXPECT_EQ(found.id, expected[i].id) << i;
        EXPECT_EQ(found.type, expected[i].type) << i;
        EXPECT_EQ(found.name, expected[i].name) << i;
        EXPECT_EQ(found.opened, expected[i].opened) << i;
        EXPECT_TRUE(found.released) << "read on no pass yet";
    }
    EXPECT_EQ(controllerOf(pad), nullptr) << "found, not opened";

    readControllers();
    ASSERT_NE(controllerOf(wheel), nullptr);
    EXPECT_FALSE(controllerOf(wheel)->released);
    EXPECT_NEAR(axisTravel(controllerOf(wheel)->input, slider0), 0.25f, 1e-4f);
    EXPECT_TRUE(buttonDown(controllerOf(shifter)->input, 13));
    EXPECT_FALSE(buttonDown(controllerOf(shifter)->input, 12));
    EXPECT_FALSE(buttonDown(controllerOf(shifter)->input, 0));
    EXPECT_FALSE(buttonDown(controllerOf(shifter)->input, 129));

    findEveryController();
    EXPECT_NE(controllerOf(pad), nullptr) << "choosing opens every controller";
    closeControllers();
    EXPECT_TRUE(foundControllers().empty());
    EXPECT_FALSE(plugged(1).acquired);
}

// Unplugged, or taken by another program, a controller reads as released,
// is acquired again on each pass, and reads again on the pass after.
TEST_F(ControllersTest, ALostControllerReadsAsReleasedUntilAcquiredAgain) {
    findControllers(wanted);
    const struct {
        const char* what;
        std::function<void()> change;
        bool released;
        bool acquireAsked;
    } passes[] = {
        {"read", [] { plugged(1).input.buttons.set(4); }, false, false},
        {"unplugged", [] { sim::unplugController(0); }, true, true},
        {"still unplugged", [] {}, true, true},
        {"plugged back",
         [] {
             sim::plugController(0, wheel, ControllerType::Wheel, "G29");
             plugged(1).input.buttons.set(4);
         },
         true, true},
        {"acquired again", [] {}, false, false},
        {"taken by another program", [] { plugged(1).acquired = false; }, true, true},
        {"back", [] {}, false, false},
    };
    for (const auto& step : passes) {
        step.change();
        clearCalls();
        readControllers();
        EXPECT_EQ(controllerOf(wheel)->released, step.released) << step.what;
        EXPECT_EQ(callsOf(sim::Call::Kind::ControllerAcquire), step.acquireAsked ? 1u : 0u)
            << step.what;
        EXPECT_EQ(buttonDown(controllerOf(wheel)->input, 5), !step.released) << step.what;
    }
}

TEST_F(ControllersTest, ASteadyPassReadsEachOpenedControllerOnceAndListsNone) {
    findControllers(wanted);
    EXPECT_EQ(callsOf(sim::Call::Kind::ControllerList), 1u);
    EXPECT_EQ(callsOf(sim::Call::Kind::ControllerOpen), 2u);
    clearCalls();
    for (int i = 0; i < 10; ++i) {
        readControllers();
    }
    EXPECT_EQ(callsOf(sim::Call::Kind::ControllerRead), 20u);
    EXPECT_EQ(sim::world.calls.size(), 20u);
}

// Each step's fault, as a drive injects it, is the controller's or the
// system's, and a pass with a controller that can't be read asks no more of
// it than one that can: a read (a failed Poll's or GetDeviceState's), and
// Acquire only after a read that asks for it.
TEST_F(ControllersTest, EachStepsFaultIsToldAndAPassAsksNoMoreOfIt) {
    using Step = ControllerStep;
    constexpr std::int32_t fail = static_cast<std::int32_t>(0x80004005);
    const struct {
        Step step;
        std::int32_t answer;
        bool opened;
        ControllerFault read;
        std::size_t acquires;
    } cases[] = {
        {Step::Start, fail, false, {}, 0},
        {Step::List, fail, false, {}, 0},
        {Step::Create, directInputAnswer::deviceNotRegistered, false, {}, 0},
        {Step::Format, fail, false, {}, 0},
        {Step::Share, fail, false, {}, 0},
        {Step::Acquire,
         directInputAnswer::otherAppHasPriority,
         true,
         {Step::Acquire, directInputAnswer::otherAppHasPriority},
         1},
        {Step::Poll, fail, true, {Step::Poll, fail}, 0},
        {Step::Read, fail, true, {Step::Read, fail}, 0},
        {Step::Read,
         directInputAnswer::notAcquired,
         true,
         {Step::Read, directInputAnswer::notAcquired},
         1},
    };
    for (const auto& c : cases) {
        const bool system = c.step == Step::Start || c.step == Step::List;
        sim::InjectedFaults& faults = system ? sim::world.systemFaults : plugged(1).faults;
        faults.answers[static_cast<std::size_t>(c.step)] = c.answer;
        findControllers(wanted);
        const ControllerFault fault{c.step, c.answer};
        EXPECT_EQ(controllersSystemFault(), system ? fault : ControllerFault{}) << c.answer;
        if (!system) {
            EXPECT_EQ(foundControllers()[0].opened, c.opened) << c.answer;
            EXPECT_EQ(foundControllers()[0].fault,
                      c.step <= Step::Acquire ? fault : ControllerFault{})
                << static_cast<int>(c.step);
        }
        for (int pass = 0; pass < 3 && c.opened; ++pass) {
            clearCalls();
            EXPECT_NE(readControllers(), ControllersRead::Read);
            EXPECT_EQ(controllerOf(wheel)->fault, c.read) << static_cast<int>(c.step);
            EXPECT_EQ(callsOf(sim::Call::Kind::ControllerRead), 2u)
                << "the wheel's and the shifter's";
            EXPECT_EQ(callsOf(sim::Call::Kind::ControllerAcquire), c.acquires);
        }
        faults = {};
    }
}

// A recording made before faults were kept marks a read that failed only as
// released: through the world it stays listed, not acquired, so that a look
// after it finds it as the game did.
TEST_F(ControllersTest, AReadReleasedWithoutItsFaultStaysListedThroughTheWorld) {
    const PluginControl lookingPlugin = {recordedStateFields, restorePlugin, [] {
                                             checkGameFocus();
                                             if (foundControllers().empty() || keyDown(0x74)) {
                                                 findControllers(wanted);
                                             }
                                             wheelPass();
                                         }};
    DriveRecording drive = driveRecordingHeader(pluginFolder.string(), pluginFolder.string());
    const std::function<void()> changes[] = {
        [] {},
        [] {
            plugged(1).faults.answers[static_cast<std::size_t>(ControllerStep::Acquire)] =
                directInputAnswer::otherAppHasPriority;
            plugged(1).acquired = false;
        },
        [] {},
        [] { sim::setKey(0x74, true); },
        [] {
            sim::setKey(0x74, false);
            plugged(1).faults = {};
        },
        [] {},
    };
    for (const auto& change : changes) {
        change();
        clearCalls();
        lookingPlugin.runPass();
        RecordedPass pass = recordedPass(sim::world.calls, sim::world.timeMs);
        for (RecordedCall& call : pass.calls) {
            call.faultStep = 0;
            for (RecordedController& controller : call.controllers) {
                controller.faultStep = 0;
            }
        }
        appendPass(drive, pass);
        sim::endFrame();
    }
    const DriveRecording recording = readRecording(encodeRecording(drive)).recording;
    const ReplayReport world = replayThroughWorld(recording, lookingPlugin);
    EXPECT_EQ(world.problem, "");
    EXPECT_EQ(world.differences, std::vector<std::string>{});
    const ReplayReport exact = replayRecording(recording, lookingPlugin);
    EXPECT_EQ(exact.differences, std::vector<std::string>{});
}

// The recorder starts after the controllers were found: its first pass keeps
// them after the plug-in's state. The world's record of the same passes, as
// a drive records it, holds the same entries.
TEST_F(ControllersTest, ARecordingOfThemReplaysIdenticalBothWays) {
    DriveRecording drive = driveRecordingHeader(pluginFolder.string(), pluginFolder.string());
    std::vector<RecordedPass> driven;
    const std::function<void()> changes[] = {
        [] {},
        [] { plugged(1).input.axes[slider0] = 16384; },
        [] {
            DriveRecording header;
            header.pluginVersion = "1.1.0";
            header.bindings = recordedBindings(KeyBindings{}, BindingsFile::NotFound);
            for (const RecordedField& field : recordedStateFields()) {
                header.state.push_back({std::string(field.name), 0});
            }
            ASSERT_TRUE(startRecording(header));
            plugged(3).input.buttons.set(12);
        },
        [] { sim::unplugController(0); },
        [] {},
        [] { sim::plugController(0, wheel, ControllerType::Wheel, "Logitech G29 Driving Force"); },
        [] {
            plugged(1).input.buttons.set(4);
            plugged(1).input.axes[0] = 40000;
        },
        [] { plugged(3).input.buttons.reset(); },
    };
    for (const auto& change : changes) {
        change();
        clearCalls();
        if (beginRecordedPass(static_cast<std::int32_t>(sim::world.timeMs))) {
            recordPluginState();
        }
        wheelPass();
        endRecordedPass();
        driven.push_back(recordedPass(sim::world.calls, sim::world.timeMs));
        appendPass(drive, driven.back());
        sim::endFrame();
    }
    stopRecording();
    ASSERT_EQ(finishSave().status, SaveOutcome::Status::Saved);

    std::vector<DriveRecording> recordings;
    for (const auto& entry : std::filesystem::directory_iterator(pluginFolder)) {
        std::string error;
        recordings.push_back(readRecording(readWholeFile(entry.path().string(), error)).recording);
    }
    recordings.push_back(readRecording(encodeRecording(drive)).recording);
    ASSERT_EQ(recordings.size(), 2u);
    ASSERT_EQ(recordings[0].passCount, 6u);
    RecordedPass pass;
    std::size_t offset = 0;
    for (std::size_t i = 2; i < driven.size(); ++i) {
        decodePass(recordings[0], offset, pass);
        if (i == 2) {
            ASSERT_EQ(pass.calls[1].kind, RecordedCall::Kind::ControllersKept);
            EXPECT_EQ(pass.calls[1].controllers.size(), 3u);
            pass.calls.erase(pass.calls.begin(), pass.calls.begin() + 2);
        }
        DriveRecording tapped, recorded;
        appendPass(tapped, pass);
        appendPass(recorded, driven[i]);
        EXPECT_EQ(tapped.passBytes, recorded.passBytes) << "pass " << i + 1;
    }
    for (const DriveRecording& recording : recordings) {
        const ReplayReport exact = replayRecording(recording, wheelPlugin);
        EXPECT_EQ(exact.problem, "");
        EXPECT_EQ(exact.differences, std::vector<std::string>{});
        EXPECT_EQ(exact.passes, recording.passCount);
        const ReplayReport world = replayThroughWorld(recording, wheelPlugin);
        EXPECT_EQ(world.problem, "");
        EXPECT_EQ(world.differences, std::vector<std::string>{});
    }
}

} // namespace
