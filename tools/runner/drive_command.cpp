#include "runner/drive_command.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "runner/drive_output.h"
#include "runner/recorded_drive.h"

namespace fs = std::filesystem;

namespace {

// One drive in its folder; the exit status it earns.
int playScript(const ScriptToPlay& toPlay, const DriveOptions& options, DrivePlayer play) {
    std::error_code error;
    fs::current_path(toPlay.folder, error);
    if (error) {
        return unusable("cannot enter " + toPlay.folder.string() + ": " + error.message());
    }
    DriveRecording recording;
    DriveReport report;
    const int status = play(toPlay, options, options.record.empty() ? nullptr : &recording, report);
    if (status != 0) {
        return status;
    }
    if (!options.record.empty() && !writeRecordingFile(options.record, recording)) {
        return unusable("cannot write " + options.recordName);
    }
    return showDrive(report, toPlay.script.name, options.svg, options.svgName);
}

} // namespace

bool parseDriveOptions(int argc, char** argv, bool takesPlugin, DriveOptions& options) {
    int at = 1;
    for (; at + 1 < argc && argv[at][0] == '-'; at += 2) {
        const bool svg = std::strcmp(argv[at], "--svg") == 0;
        if (!svg && std::strcmp(argv[at], "--record") != 0) {
            return false;
        }
        (svg ? options.svgName : options.recordName) = argv[at + 1];
        (svg ? options.svg : options.record) = fs::absolute(argv[at + 1]);
    }
    if (argc - at < (takesPlugin ? 2 : 1) || argv[at][0] == '-') {
        return false;
    }
    if (takesPlugin) {
        options.plugin = fs::absolute(argv[at++]);
    }
    options.scriptNames.assign(argv + at, argv + argc);
    return (options.svg.empty() && options.record.empty()) || options.scriptNames.size() == 1;
}

int readDriveScripts(const DriveOptions& options, std::vector<ScriptToPlay>& scripts) {
    for (const std::string& name : options.scriptNames) {
        std::string error;
        const std::string text = readWholeFile(utf8Path(fs::path(name)), error);
        if (!error.empty()) {
            return unusable("cannot read the drive script " + name);
        }
        ParsedDriveScript parsed = parseDriveScript(name, text);
        if (!parsed.error.empty()) {
            return unusable(parsed.error);
        }
        scripts.push_back({std::move(parsed.script), fs::absolute(name).parent_path()});
    }
    return 0;
}

int playDriveScripts(const DriveOptions& options, const std::vector<ScriptToPlay>& scripts,
                     DrivePlayer play) {
    int status = 0;
    for (std::size_t i = 0; i < scripts.size(); ++i) {
        if (scripts.size() > 1) {
            std::printf("%s== %s\n", i == 0 ? "" : "\n", scripts[i].script.name.c_str());
        }
        const int result = playScript(scripts[i], options, play);
        if (result == exitUnusable) {
            return result;
        }
        status = std::max(status, result);
    }
    return status;
}
