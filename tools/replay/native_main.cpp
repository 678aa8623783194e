// drive, the native build: the plug-in built in and run on the stand-in
// world, along drive scripts as drive.exe plays the DLL, and replaying drive
// recordings. The one tool that reaches into the plug-in's frame loop, as the
// hook does.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host/files.h"
#include "host/script_hook.h"
#include "plugin/recorded_state.h"
#include "plugin/script.h"
#include "replay/recording_check.h"
#include "replay/recording_input.h"
#include "replay/replay.h"
#include "runner/drive_command.h"
#include "runner/drive_output.h"
#include "runner/recorded_drive.h"
#include "sim/hook_control.h"
#include "version.h"

namespace {

const char* const usage =
    "usage: drive [--svg FILE] [--record FILE] SCRIPT...\n"
    "       drive replay [--world] RECORDING\n"
    "Plays each drive SCRIPT with the plug-in built into this program, in a fresh world\n"
    "with the plug-in loaded afresh, in the folder that holds the script; the plug-in's\n"
    "own folder is this program's. Prints a timeline of each drive; --svg writes a chart\n"
    "of the drive and --record a drive recording of it (one script only).\n"
    "replay runs the plug-in from a recording's start and answers each of its questions\n"
    "with the recorded answer, and says whether it did what it did then, or the first\n"
    "pass and call that differ. --world plays the recorded inputs through the stand-in's\n"
    "own world instead, and shows where its answers first differ from the game's.\n"
    "Exit status: 0 when every expectation held, or the replay matched; 1 when one\n"
    "failed, the plug-in made a faulty call or the replay differed; 2 when a script or\n"
    "a recording can't be used.\n";

bool restartDue = false;

// A frame as the hook runs it: the script starts afresh when due, then one
// pass and its yield, which ends the frame.
void runFrame() {
    if (restartDue) {
        restartDue = false;
        resetPlugin(Reset::Restart);
    }
    runFramePass();
    scriptWait(0);
}

void resetWorld() {
    sim::world = sim::World{};
}

void restartScript() {
    restartDue = true;
}

const sim::HookControl hook = sim::worldControl(runFrame, resetWorld, restartScript);
const PluginControl plugin = {recordedStateFields, restorePlugin, runFramePass};

// "a", "a and b", "a, b and c".
// Up to four names; of more, the first three and a count of the rest.
std::string namesText(const std::vector<std::string_view>& names) {
    constexpr std::size_t shownAtMost = 4;
    const std::size_t shown = names.size() > shownAtMost ? shownAtMost - 1 : names.size();
    std::string text;
    for (std::size_t i = 0; i < shown; ++i) {
        text += i == 0 ? "" : i + 1 == names.size() ? " and " : ", ";
        text += names[i];
    }
    return shown < names.size() ? text + " and " + std::to_string(names.size() - shown) + " more"
                                : text;
}

std::string checkHeader(const DriveRecording& recording) {
    return recordingHeaderProblem(recording, recordedStateFields());
}

int replay(int argc, char** argv) {
    const bool world = argc == 4 && std::strcmp(argv[2], "--world") == 0;
    if (argc != 3 + world || argv[argc - 1][0] == '-') {
        std::fputs(usage, stderr);
        return exitUnusable;
    }
    const std::string name = argv[argc - 1];
    const RecordingRead read = readRecordingFile(name, checkHeader);
    if (!read.error.empty()) {
        return unusable(read.error);
    }
    const ReplayReport report = world ? replayThroughWorld(read.recording, plugin)
                                      : replayRecording(read.recording, plugin);
    if (!report.problem.empty()) {
        return unusable(name + ": " + report.problem);
    }
    const std::vector<std::string_view> defaulted =
        defaultedFields(read.recording, recordedStateFields());
    if (!defaulted.empty()) {
        std::printf("%s: recorded without %s, replayed with %s\n", name.c_str(),
                    namesText(defaulted).c_str(),
                    defaulted.size() == 1 ? "its default" : "their defaults");
    }
    if (read.recording.pluginVersion != productVersion) {
        std::printf("%s: recorded by version %s of the plug-in, replayed by version %s\n",
                    name.c_str(), read.recording.pluginVersion.c_str(), productVersion);
    }
    for (const std::string& difference : report.differences) {
        std::printf("%s\n", difference.c_str());
    }
    if (world) {
        std::printf("%u passes replayed through the stand-in's world: %s\n", report.passes,
                    report.differences.empty()
                        ? "it answered as the game did"
                        : "its answers differ from the game's in the ways above");
    } else if (report.differences.empty()) {
        std::printf("%u passes replayed, identical\n", report.passes);
    }
    return report.differences.empty() ? 0 : exitExpectationFailed;
}

// One drive with the plug-in started afresh.
int playDrive(const ScriptToPlay& toPlay, const DriveOptions&, DriveRecording* recording,
              DriveReport& report) {
    resetWorld();
    restartDue = false;
    restorePlugin(DriveRecording{});
    if (recording) {
        *recording = driveRecordingHeader(moduleFolder(), toPlay.folder.string());
    }
    report = runDrive(toPlay.script, hook, recording);
    // As drive.exe unloads the plug-in at the end of a drive.
    unloadPlugin();
    resetPlugin(Reset::Everything);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "replay") == 0) {
        return replay(argc, argv);
    }
    DriveOptions options;
    if (!parseDriveOptions(argc, argv, false, options)) {
        std::fputs(usage, stderr);
        return exitUnusable;
    }
    std::vector<ScriptToPlay> scripts;
    if (const int status = readDriveScripts(options, scripts)) {
        return status;
    }
    return playDriveScripts(options, scripts, playDrive);
}
