// The plug-in's drive recorder: what ends a recording, the file it writes, a
// recording longer than its buffer, and replays of them, as they are and with
// the game's speeds edited.
#include "gearbox_fixture.h"

#include <fstream>
#include <functional>
#include <regex>
#include <set>

#include "drive/replay.h"
#include "recorder/recorder.h"
#include "version.h"

namespace {

constexpr int keyF9 = 120;
constexpr int rightArrow = 39;
const PluginControl plugin = {restorePlugin, runFramePass};

// A press that lasts one pass.
void tap(int key) {
    sim::setKey(key, true);
    runFramePass();
    scriptWait(0);
    sim::setKey(key, false);
}

struct Ending {
    const char* how;
    std::function<void()> end;
};

void PrintTo(const Ending& ending, std::ostream* out) {
    *out << ending.how;
}

class RecorderTest : public GearboxTest, public ::testing::WithParamInterface<Ending> {
  protected:
    void SetUp() override {
        GearboxTest::SetUp();
        bindingsState.keys.recordKey = keyF9;
    }

    // Pulls away in first, shifts to second, lets go of the throttle.
    static void drive(int frames) {
        press(keyW);
        passes(frames);
        press(clutch);
        press(secondKey);
        pass();
        release(secondKey);
        release(clutch);
        passes(frames);
        release(keyW);
        pass();
    }

    // The one recording written beside the plug-in, read back.
    DriveRecording written(std::string& name) const {
        std::vector<std::filesystem::path> files;
        for (const auto& entry : std::filesystem::directory_iterator(pluginFolder)) {
            if (entry.path().extension() == ".drec") {
                files.push_back(entry.path());
            }
        }
        EXPECT_EQ(files.size(), 1u);
        name = files.empty() ? "" : files[0].filename().string();
        std::ifstream file(files.empty() ? std::filesystem::path() : files[0], std::ios::binary);
        const RecordingRead read =
            readRecording(std::string(std::istreambuf_iterator<char>(file), {}));
        EXPECT_EQ(read.error, "");
        return read.recording;
    }

    static std::int32_t named(const std::vector<NamedValue>& values, const std::string& name) {
        for (const NamedValue& value : values) {
            if (value.name == name) {
                return value.value;
            }
        }
        ADD_FAILURE() << "no " << name;
        return -1;
    }
};

TEST_P(RecorderTest, EachWayARecordingEndsWritesAFileThatReplaysIdentical) {
    gearboxState.gear = gear3;
    tap(keyF9);
    EXPECT_TRUE(recording());
    drive(120);
    GetParam().end();
    EXPECT_FALSE(recording());

    std::string name;
    const DriveRecording recorded = written(name);
    EXPECT_TRUE(std::regex_match(name, std::regex(R"(ManualGearbox-\d{8}-\d{6}(-\d+)?\.drec)")))
        << name;
    std::vector<std::string> notices;
    for (const sim::Notification& notification : sim::world.notifications) {
        notices.push_back(notification.text);
    }
    EXPECT_EQ(notices,
              (std::vector<std::string>{
                  "Manual Gearbox: recording the drive. Press F9 again to stop and save it.",
                  "Manual Gearbox: drive recorded in " + name}));
    EXPECT_EQ(recorded.pluginVersion, productVersion);
    EXPECT_EQ(named(recorded.bindings, "recordKey"), keyF9);
    EXPECT_EQ(named(recorded.bindings, "file"), static_cast<int>(BindingsFile::Read));
    EXPECT_EQ(named(recorded.state, "gear"), static_cast<int>(gear3));
    EXPECT_EQ(named(recorded.state, "recordKeyWasDown"), 1);
    EXPECT_GE(recorded.passCount, 242u);

    const ReplayReport replay = replayRecording(recorded, plugin);
    EXPECT_EQ(replay.differences, std::vector<std::string>{});
    EXPECT_EQ(replay.passes, recorded.passCount);

    // A state no plug-in can be in, under a good checksum, is refused.
    DriveRecording impossible = recorded;
    for (NamedValue& value : impossible.state) {
        value.value = value.name == "gear" ? 9 : value.value;
    }
    EXPECT_EQ(replayRecording(impossible, plugin).problem,
              "its state holds gear = 9, outside 0 to 4");
}

INSTANTIATE_TEST_SUITE_P(Endings, RecorderTest,
                         ::testing::Values(Ending{"TheRecordKey", [] { tap(keyF9); }},
                                           Ending{"SwitchingOff", [] { tap(rightArrow); }},
                                           Ending{"ARestart", [] { resetPlugin(Reset::Restart); }}),
                         [](const ::testing::TestParamInfo<Ending>& info) {
                             return info.param.how;
                         });

class LongRecordingTest : public RecorderTest {};

// The buffer holds at least ten minutes; after that the oldest passes make
// room, and the recording starts from a pass that kept the plug-in's state.
TEST_F(LongRecordingTest, KeepsTheLatestPassesAndStartsFromAKeptState) {
    sim::world.recording = false;
    tap(keyF9);
    int frames = 0;
    for (; recorderState.passesKept == recorderState.passesBegun; frames += 1000) {
        drive(500);
    }
    drive(500);
    EXPECT_GE(recorderState.passesKept, 10u * 60 * 60) << "over ten minutes at 60 passes a second";
    const std::uint32_t kept = recorderState.passesKept;
    tap(keyF9);

    std::string name;
    const DriveRecording recorded = written(name);
    EXPECT_EQ(recorded.passCount, kept + 1);
    EXPECT_LT(recorded.passCount, static_cast<std::uint32_t>(frames + 1000));
    EXPECT_EQ(replayRecording(recorded, plugin).differences, std::vector<std::string>{});
}

class RecordingNamesTest : public RecorderTest {};

TEST_F(RecordingNamesTest, ARecordingWithinTheSameSecondGetsANameOfItsOwn) {
    for (int recording = 0; recording < 2; ++recording) {
        tap(keyF9);
        pass();
        tap(keyF9);
        pass();
    }
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(pluginFolder)) {
        names.insert(entry.path().filename().string());
    }
    EXPECT_EQ(std::ranges::count_if(
                  names, [](const std::string& name) { return name.ends_with(".drec"); }),
              2)
        << ::testing::PrintToString(names);
}

class WorldReplayTest : public RecorderTest {};

// The world moves the car itself from the speeds the game told: a game whose
// speeds jump by 3 m/s shows where the stand-in's differ.
TEST_F(WorldReplayTest, TheWorldAgreesWithItselfAndShowsWhereTheGamesSpeedsDiffer) {
    tap(keyF9);
    drive(60);
    tap(keyF9);
    std::string name;
    const DriveRecording recorded = written(name);
    const ReplayReport same = replayThroughWorld(recorded, plugin);
    EXPECT_EQ(same.differences, std::vector<std::string>{});

    DriveRecording edited = recorded;
    edited.passBytes.clear();
    edited.passCount = 0;
    std::size_t offset = 0;
    RecordedPass pass;
    std::vector<float> speeds;
    for (std::uint32_t i = 0; i < recorded.passCount; ++i) {
        decodePass(recorded, offset, pass);
        for (RecordedCall& call : pass.calls) {
            if (call.kind == RecordedCall::Kind::Native &&
                call.hash == hashOf(Native::VehicleSpeed)) {
                const float speed = std::bit_cast<float>(call.result) + (i >= 40 ? 3.0f : 0.0f);
                call.result = std::bit_cast<std::uint32_t>(speed);
                speeds.push_back(speed);
            }
        }
        appendPass(edited, pass);
    }
    const ReplayReport report = replayThroughWorld(edited, plugin);
    ASSERT_FALSE(report.differences.empty());
    EXPECT_TRUE(report.differences[0].starts_with("pass 41 at ")) << report.differences[0];
    EXPECT_NE(report.differences[0].find(": GET_ENTITY_SPEED(0x80002A01): game "),
              std::string::npos)
        << report.differences[0];
}

} // namespace
