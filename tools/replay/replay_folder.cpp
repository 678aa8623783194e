#include "replay/replay_folder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "binding_file/binding_places.h"
#include "host/files.h"
#include "replay/header_binding_file.h"

namespace fs = std::filesystem;

ReplayFolder::ReplayFolder(const DriveRecording& recording) : previousModule(nativeModuleFolder()) {
    std::error_code error;
    const fs::path temporary = fs::temp_directory_path(error);
    std::string pattern = (temporary / "drive-replay-XXXXXX").string();
    if (error || !mkdtemp(pattern.data())) {
        failure = "cannot make a folder for the replay in the temporary folder";
        if (!temporary.empty()) {
            failure.append(" ").append(temporary.string());
        }
        failure.append(": ").append(error ? error.message() : std::strerror(errno));
        return;
    }
    made = pattern;
    if (const std::optional<std::string> file = headerBindingFile(recording)) {
        std::ofstream(made / bindingFileName, std::ios::binary) << *file;
    }
    nativeModuleFolder() = made.string();
    fs::current_path(made);
}

ReplayFolder::~ReplayFolder() {
    if (!made.empty()) {
        fs::current_path(previous);
        nativeModuleFolder() = previousModule;
        std::error_code error;
        fs::remove_all(made, error);
    }
}
