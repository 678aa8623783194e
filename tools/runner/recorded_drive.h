// A drive as a recording: the plug-in's calls of each frame, from the world's
// own record of them, in the format the plug-in's recorder writes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "recording/recording_file.h"
#include "sim/world.h"

// Whether the plug-in ran a pass in the frame whose calls these are: each
// pass ends with its wait.
bool holdsPass(const std::vector<sim::Call>& calls);

// The frame's calls as a recorded pass at that game time.
RecordedPass recordedPass(const std::vector<sim::Call>& calls, std::int64_t timeMs);

// The header of a drive's recording: this build's version, and the bindings
// the plug-in reads for the drive, from the MTconfig.ini beside the plug-in or
// else in the drive's folder; the state of a freshly loaded plug-in.
DriveRecording driveRecordingHeader(const std::string& pluginFolder,
                                    const std::string& driveFolder);

// The file's bytes, or empty with error set when it can't be read.
std::string readWholeFile(const std::string& path, std::string& error);
