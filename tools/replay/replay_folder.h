// A replay's own folder: made fresh in the temporary folder with the
// key-binding file the recording's header describes, it is the process's
// working folder and the plug-in's own folder while the replay runs, and is
// removed after.
#pragma once

#include <filesystem>
#include <string>

#include "recording/recording_file.h"

struct ReplayFolder {
    std::filesystem::path made;
    std::filesystem::path previous = std::filesystem::current_path();
    std::string previousModule;

    // Why no folder could be made; then nothing changed.
    std::string failure;

    explicit ReplayFolder(const DriveRecording& recording);
    ~ReplayFolder();
    ReplayFolder(const ReplayFolder&) = delete;
    ReplayFolder& operator=(const ReplayFolder&) = delete;
};
