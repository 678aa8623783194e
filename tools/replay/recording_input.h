// A recording file that a player sent, read in stages so that nothing in it
// is believed before it is checked: what kind of file it is and its size,
// then its lead against that size, then its header, and only then the rest.
#pragma once

#include <string>

#include "recording/recording_file.h"

// Why a replay can't start from a header whose format holds, or empty.
using HeaderCheck = std::string (*)(const DriveRecording& recording);

// The recording at path, or what is wrong with it, named by the path: no
// such file, a folder, not a regular file, a file that can't be read or
// doesn't fit in memory, or what the reader or the check finds wrong.
RecordingRead readRecordingFile(const std::string& path, HeaderCheck checkHeader);
