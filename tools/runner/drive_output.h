// What a drive leaves: its timeline, chart and verdict on the terminal, and
// its recording; the same for drive.exe and the native drive.
#pragma once

#include <filesystem>
#include <string>

#include "runner/drive.h"

constexpr int exitExpectationFailed = 1;
constexpr int exitUnusable = 2;

// Prints the timeline, the failures and the count of expectations met, and
// writes the chart when svgPath isn't empty (svgName is how it is shown).
// The exit status the drive earns.
int showDrive(const DriveReport& report, const std::string& scriptName,
              const std::filesystem::path& svgPath, const std::string& svgName);

// "drive: MESSAGE" on standard error; exitUnusable.
int unusable(const std::string& message);

// Writes the recording's file; false when it can't.
bool writeRecordingFile(const std::filesystem::path& path, const DriveRecording& recording);

// A path as UTF-8 text, as host/files.h takes it.
std::string utf8Path(const std::filesystem::path& path);
