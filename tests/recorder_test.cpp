// The plug-in's drive recorder: what ends a recording, the file it writes over
// the passes after, whatever interrupts them, a save that fails, a recording
// longer than its buffer, and replays of them, as they are and with the
// game's speeds edited.
#include "gearbox_fixture.h"

#include <unistd.h>

#include <fstream>
#include <functional>
#include <limits>
#include <regex>
#include <set>
#include <tuple>

#include "plugin/recorded_state.h"
#include "recorder/recorder.h"
#include "replay/replay.h"
#include "version.h"

namespace {

constexpr int keyF9 = 120;
constexpr int rightArrow = 39;
const PluginControl plugin = {recordedStateFields, restorePlugin, runFramePass};

// A press that lasts one pass.
void tap(int key) {
    sim::setKey(key, true);
    runFramePass();
    scriptWait(0);
    sim::setKey(key, false);
}

// The passes that save the recording stopped, a slice each.
int savingPasses() {
    int count = 0;
    for (; saving(); ++count) {
        runFramePass();
        scriptWait(0);
    }
    return count;
}

struct Ending {
    const char* how;
    std::function<void()> end;
    // The recording was saved while the game went on, and the player told.
    bool told = true;
};

void PrintTo(const Ending& ending, std::ostream* out) {
    *out << ending.how;
}

std::string endingName(const ::testing::TestParamInfo<Ending>& info) {
    return info.param.how;
}

const Ending restart = {"ARestart", [] { resetPlugin(Reset::Restart); }};
const Ending unloading = {"Unloading", unloadPlugin, false};

class RecorderTest : public GearboxTest, public ::testing::WithParamInterface<Ending> {
  protected:
    void SetUp() override {
        GearboxTest::SetUp();
        bindField(&KeyBindings::recordKey, keyF9);
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

    std::set<std::string> folderFiles() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(pluginFolder)) {
            names.insert(entry.path().filename().string());
        }
        return names;
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
    putInGear(gear3);
    tap(keyF9);
    EXPECT_TRUE(recording());
    drive(120);
    GetParam().end();
    savingPasses();
    EXPECT_FALSE(recording());

    std::string name;
    const DriveRecording recorded = written(name);
    EXPECT_TRUE(std::regex_match(name, std::regex(R"(ManualGearbox-\d{8}-\d{6}(-\d+)?\.drec)")))
        << name;
    std::vector<std::string> notices;
    for (const sim::Notification& notification : sim::world.notifications) {
        notices.push_back(notification.text);
    }
    std::vector<std::string> expected = {
        "Manual Gearbox: recording the drive. Press F9 again to stop and save it."};
    if (GetParam().told) {
        expected.push_back("Manual Gearbox: drive recorded in " + name);
    }
    EXPECT_EQ(notices, expected);
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
        value.value = value.name == "gear" ? 255 : value.value;
    }
    EXPECT_EQ(replayRecording(impossible, plugin).problem,
              "its state holds gear = 255, outside 0 to " + std::to_string(gearCount - 1));
}

INSTANTIATE_TEST_SUITE_P(Endings, RecorderTest,
                         ::testing::Values(Ending{"TheRecordKey", [] { tap(keyF9); }},
                                           Ending{"SwitchingOff", [] { tap(rightArrow); }}, restart,
                                           unloading),
                         endingName);

class LongRecordingTest : public RecorderTest {};

// The buffer holds at least ten minutes; after that the oldest passes make
// room, and the recording starts from a pass that kept the plug-in's state.
TEST_F(LongRecordingTest, KeepsTheLatestPassesAndStartsFromAKeptState) {
    sim::world.recording = false;
    tap(keyF9);
    int frames = 0;
    for (; recorderState().passesKept == recorderState().passesBegun; frames += 1000) {
        drive(500);
    }
    drive(500);
    EXPECT_GE(recorderState().passesKept, 10u * 60 * 60)
        << "over ten minutes at 60 passes a second";
    const std::uint32_t kept = recorderState().passesKept;
    tap(keyF9);
    const std::size_t bytes = recorderState().head + recorderState().lapEnd - recorderState().tail;
    EXPECT_EQ(savingPasses(), (bytes + saveSliceBytes - 1) / saveSliceBytes);

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
    const std::set<std::string> names = folderFiles();
    EXPECT_EQ(std::ranges::count_if(
                  names, [](const std::string& name) { return name.ends_with(".drec"); }),
              2)
        << ::testing::PrintToString(names);
}

class InterruptedSaveTest : public RecorderTest {};

// Saved a slice a pass under a temporary name, a recording has its own name
// only once whole, whatever interrupts the save; the Record key meanwhile
// queues nothing.
TEST_P(InterruptedSaveTest, TheNameHoldsTheWholeFileOrNothing) {
    sim::world.recording = false;
    tap(keyF9);
    drive(1000);
    tap(keyF9);
    pass();
    tap(keyF9);
    EXPECT_EQ(sim::world.notifications.back().text,
              "Manual Gearbox: still saving the last recording. Press F9 after its notice.");
    EXPECT_EQ(folderFiles(), std::set<std::string>{temporaryRecordingName});
    GetParam().end();
    savingPasses();
    std::string name;
    EXPECT_EQ(replayRecording(written(name), plugin).differences, std::vector<std::string>{});
    EXPECT_EQ(folderFiles(), std::set<std::string>{name});
}

INSTANTIATE_TEST_SUITE_P(Interruptions, InterruptedSaveTest, ::testing::Values(restart, unloading),
                         endingName);

class FailedSaveTest : public RecorderTest {
  protected:
    // A full disk: the temporary file's name leads to /dev/full.
    void fillDisk() const {
        ASSERT_EQ(symlink("/dev/full", (pluginFolder / temporaryRecordingName).c_str()), 0);
    }
};

// A save that fails, on a full disk or with every name of its second taken,
// removes what it wrote, overwrites nothing and keeps the recording, which the
// Record key saves again.
TEST_F(FailedSaveTest, KeepsTheRecordingForTheKeyToSaveAgain) {
    std::vector<DriveRecording> saved;
    for (const bool diskFull : {true, false}) {
        tap(keyF9);
        drive(30);
        tap(keyF9);
        std::set<std::string> taken;
        for (int copy = 1; !diskFull && copy < 100; ++copy) {
            const std::string name =
                recorderState().save.stamp + (copy > 1 ? "-" + std::to_string(copy) : "") + ".drec";
            std::ofstream(pluginFolder / name) << "taken";
            taken.insert(name);
        }
        if (diskFull) {
            fillDisk();
        }
        pass();
        EXPECT_EQ(sim::world.notifications.back().text,
                  "Manual Gearbox: recording not saved, " +
                      std::string(diskFull ? "the disk is full" : "no free file name") +
                      ". Press F9 to try again.");
        EXPECT_EQ(folderFiles(), taken);
        for (const std::string& name : taken) {
            EXPECT_EQ(std::filesystem::file_size(pluginFolder / name), 5u);
            std::filesystem::remove(pluginFolder / name);
        }
        tap(keyF9);
        pass();
        std::string name;
        const DriveRecording recorded = written(name);
        EXPECT_EQ(sim::world.notifications.back().text,
                  "Manual Gearbox: drive recorded in " + name);
        saved.push_back(recorded);
        std::filesystem::remove(pluginFolder / name);
    }
    // A replay leaves the plug-in as the recording left it.
    for (const DriveRecording& recorded : saved) {
        EXPECT_EQ(replayRecording(recorded, plugin).differences, std::vector<std::string>{});
    }
}

// One still unsaved when the plug-in is unloaded is dropped, and the log says
// why.
TEST_F(FailedSaveTest, UnloadedUnsavedTheRecordingIsDroppedAndLogged) {
    tap(keyF9);
    pass();
    tap(keyF9);
    fillDisk();
    pass();
    fillDisk();
    unloadPlugin();
    EXPECT_EQ(folderFiles(), std::set<std::string>{"ManualGearbox.log"});
    std::ifstream log(pluginFolder / "ManualGearbox.log");
    EXPECT_NE(std::string(std::istreambuf_iterator<char>(log), {})
                  .find("\nA drive recording that could not be saved (the disk is full) was "
                        "dropped as the plug-in was unloaded.\n"),
              std::string::npos);
}

class WorldReplayTest : public RecorderTest {};

// The world moves the car itself from the speeds the game told: a game whose
// speeds jump by 3 m/s shows where the stand-in's differ.
TEST_F(WorldReplayTest, TheWorldAgreesWithItselfAndShowsWhereTheGamesSpeedsDiffer) {
    tap(keyF9);
    drive(60);
    tap(keyF9);
    savingPasses();
    pass();
    std::string name;
    const DriveRecording recorded = written(name);
    const ReplayReport same = replayThroughWorld(recorded, plugin);
    EXPECT_EQ(same.differences, std::vector<std::string>{});

    // The game's speeds 3 m/s faster from pass 41, where the world's own
    // motion differs; not a number or infinite in the first pass, which the
    // world then answers as well; not a number in pass 41, against the world's
    // own motion.
    constexpr float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        float added;
        std::uint32_t from;
        std::uint32_t to;
        const char* difference;
    } edits[] = {{3.0f, 40, UINT32_MAX, "pass 41 at 0.656 s: GET_ENTITY_SPEED(0x80002A01): game "},
                 {nan, 0, 1, nullptr},
                 {std::numeric_limits<float>::infinity(), 0, 1, nullptr},
                 {nan, 40, 41,
                  "pass 41 at 0.656 s: GET_ENTITY_SPEED(0x80002A01): game nan, "
                  "stand-in 4.69"}};
    for (const auto& edit : edits) {
        DriveRecording edited = recorded;
        edited.passBytes.clear();
        edited.passCount = 0;
        std::size_t offset = 0;
        RecordedPass pass;
        for (std::uint32_t i = 0; i < recorded.passCount; ++i) {
            decodePass(recorded, offset, pass);
            for (RecordedCall& call : pass.calls) {
                if (call.kind == RecordedCall::Kind::Native &&
                    call.hash == hashOf(Native::VehicleSpeed) && i >= edit.from && i < edit.to) {
                    call.result = std::bit_cast<std::uint32_t>(std::bit_cast<float>(call.result) +
                                                               edit.added);
                }
            }
            appendPass(edited, pass);
        }
        const std::vector<std::string> differences = replayThroughWorld(edited, plugin).differences;
        if (!edit.difference) {
            EXPECT_EQ(differences, std::vector<std::string>{}) << edit.added;
            continue;
        }
        ASSERT_FALSE(differences.empty());
        EXPECT_TRUE(differences[0].starts_with(edit.difference)) << differences[0];
    }
}

// A frame forward across the ends of the game's timer is as long as an int
// allows, one that goes back lasts 1 ms.
TEST_F(WorldReplayTest, AFrameAcrossTheEndsOfTheGameTimerIsWhole) {
    tap(keyF9);
    drive(1);
    tap(keyF9);
    savingPasses();
    std::string name;
    const DriveRecording recorded = written(name);
    for (const auto& [from, to, frameMs] :
         {std::tuple{INT32_MIN, INT32_MAX, INT32_MAX}, std::tuple{INT32_MAX, INT32_MIN, 1}}) {
        DriveRecording timed = recorded;
        timed.passBytes.clear();
        timed.passCount = 0;
        std::size_t offset = 0;
        RecordedPass pass;
        for (const std::int32_t timeMs : {from, to}) {
            decodePass(recorded, offset, pass);
            pass.gameTimeMs = timeMs;
            appendPass(timed, pass);
        }
        EXPECT_EQ(replayThroughWorld(timed, plugin).problem, "");
        EXPECT_EQ(sim::world.frameMs, frameMs);
    }
}

// A plug-in whose pass ends with an argument pushed for no native.
void faultyPass() {
    runFramePass();
    sim::pushArgument(0);
}

// A call the stand-in refuses is a difference of its pass in both replays,
// even where every call is as recorded.
TEST_F(WorldReplayTest, ACallTheStandInRefusesIsADifferenceOfItsPass) {
    tap(keyF9);
    drive(5);
    tap(keyF9);
    savingPasses();
    std::string name;
    const DriveRecording recorded = written(name);
    const PluginControl faulty = {recordedStateFields, restorePlugin, faultyPass};
    const std::string fault = "a call the stand-in refuses: nativePush64 without nativeInit";
    const ReplayReport exact = replayRecording(recorded, faulty);
    ASSERT_EQ(exact.differences.size(), 1u);
    EXPECT_TRUE(exact.differences[0].starts_with("pass 1: " + fault)) << exact.differences[0];
    const ReplayReport world = replayThroughWorld(recorded, faulty);
    ASSERT_EQ(world.differences.size(), 1u);
    EXPECT_TRUE(world.differences[0].starts_with("pass 1 at ")) << world.differences[0];
    EXPECT_NE(world.differences[0].find(" s: " + fault), std::string::npos);
    sim::world.faults.clear();
}

} // namespace

// Reloads while recording: of an edited file, of none, and of a UTF-16 one.
// A replay answers each from the recording, whatever the disk holds; one that
// reads the disk asks where the recording answered, and differs there.
TEST_F(WorldReplayTest, ReloadsReplayFromWhatTheRecordingKeptOfEachRead) {
    constexpr int keyF5 = 116;
    bindField(&KeyBindings::reloadKey, keyF5);
    const std::filesystem::path file = pluginFolder / "MTconfig.ini";
    const auto put = [&](const std::string& text) {
        std::ofstream(file, std::ios::binary) << text;
    };
    tap(keyF9);
    put("Clutch=16\nFirstGear=97\nRecord=120\nReload=116\n");
    tap(keyF5);
    std::filesystem::remove(file);
    tap(keyF5);
    put(std::string("\xFF\xFE", 2));
    tap(keyF5);
    tap(rightArrow);
    while (saving()) {
        pass();
    }
    std::string name;
    DriveRecording recorded = written(name);
    EXPECT_TRUE(recorded.filesKept);
    put("Clutch=17\n");
    EXPECT_EQ(replayRecording(recorded, plugin).differences, std::vector<std::string>{});
    EXPECT_EQ(replayThroughWorld(recorded, plugin).differences, std::vector<std::string>{});

    recorded.filesKept = false;
    const std::vector<std::string> differences = replayRecording(recorded, plugin).differences;
    ASSERT_EQ(differences.size(), 1u);
    EXPECT_TRUE(std::regex_match(differences[0],
                                 std::regex("pass 1, call \\d+: recorded whether two folders are "
                                            "one, replayed .*")))
        << differences[0];
}

// A file read's bytes are checked as a text's are: at most 1 MiB, within the
// pass; and a first-version recording holds no file entry.
TEST(RecordingReadTest, AFileReadPastAMebibyteOrItsPassIsABadFile) {
    const auto read = [](std::uint16_t version, std::uint32_t claimed, std::size_t bytes) {
        DriveRecording recording;
        recording.formatVersion = version;
        recording.pluginVersion = "1.1.0";
        std::string entry = {char(fileTag), char(FileQuestion::Read), char(ReadAnswer::Read)};
        appendNumber(entry, claimed);
        entry += std::string(bytes, 'x');
        appendNumber(recording.passBytes, static_cast<std::uint32_t>(entry.size()));
        appendNumber(recording.passBytes, std::int32_t{0});
        recording.passBytes += entry;
        recording.passCount = 1;
        return readRecording(encodeRecording(recording));
    };
    const RecordingRead good = read(recordingVersion, 5, 5);
    ASSERT_EQ(good.error, "");
    RecordedPass pass;
    std::size_t offset = 0;
    decodePass(good.recording, offset, pass);
    ASSERT_EQ(pass.calls.size(), 1u);
    EXPECT_EQ(pass.calls[0].text, "xxxxx");
    EXPECT_EQ(read(recordingVersion, 1048577, 1048577).error,
              "damaged at byte 36: pass 1, entry 1: a file read of 1048577 bytes, more than the "
              "1048576 a recording keeps");
    EXPECT_EQ(read(recordingVersion, 6, 5).error,
              "damaged at byte 36: pass 1, entry 1: a file read of 6 bytes, past the end of the "
              "pass");
    EXPECT_EQ(read(firstRecordingVersion, 5, 5).error,
              "damaged at byte 35: pass 1, entry 1: an entry of unknown kind 0xF5");
}
