// What drive.exe and the native drive share of their command line: the
// options, reading the scripts, and playing them one after another.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "runner/drive.h"

struct DriveOptions {
    // As given, for messages, and absolute, since each drive changes folder.
    std::string svgName;
    std::filesystem::path svg;
    std::string recordName;
    std::filesystem::path record;
    // drive.exe's plug-in; the native drive has its own built in.
    std::filesystem::path plugin;
    std::vector<std::string> scriptNames;
};

// [--svg FILE] [--record FILE] [PLUGIN] SCRIPT..., with --svg and --record
// for one script only; false when the arguments don't fit.
bool parseDriveOptions(int argc, char** argv, bool takesPlugin, DriveOptions& options);

struct ScriptToPlay {
    DriveScript script;
    // Where the script lies, which is the drive's working folder.
    std::filesystem::path folder;
};

// Reads and parses every script before any is played; exitUnusable, having
// said why, when one can't be used.
int readDriveScripts(const DriveOptions& options, std::vector<ScriptToPlay>& scripts);

// One drive with the plug-in loaded afresh, run from the script's folder:
// fills the report, and the recording when there is one. 0, or exitUnusable
// having said why.
using DrivePlayer = int (*)(const ScriptToPlay& toPlay, const DriveOptions& options,
                            DriveRecording* recording, DriveReport& report);

// Plays each script, under a heading when there are several, then writes its
// recording and shows it. The worst exit status of the drives; stops at the
// first that can't be played.
int playDriveScripts(const DriveOptions& options, const std::vector<ScriptToPlay>& scripts,
                     DrivePlayer play);
