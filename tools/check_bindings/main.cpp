// check-bindings [FILE]: tells a player what their key-binding file binds and
// why a line binds nothing, without the game.
#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>
#include <sys/stat.h>

#include "check_bindings/check.h"
#include "host/shared_file.h"
#include "version.h"

namespace {

constexpr std::string_view help = R"(Usage: check-bindings [FILE]

Reads a Manual Gearbox key-binding file exactly as the plug-in reads it when the
game starts, and tells you:
  - for every line: what it binds, with the key's name, or why it binds nothing
    (no key text, a key text in the wrong letter case, a value without digits or
    out of range, another key text on the same line tested first, a later line
    that overrides it);
  - the seven bindings that result: clutchKey, firstGearKey to fourthGearKey,
    reverseKey, and the optional toggleKey (the line "Enable/Disable=N");
  - warnings: a UTF-16 file, no clutch, a gear left unbound, two bindings on
    one key, a key the plug-in uses itself (W, S, the right arrow), a code that
    is no virtual key.

FILE defaults to MTconfig.ini in the current folder: run it in the game folder.
Lines are shown as written, with control characters as \t, \r, \0 or \xNN.

Options:
  --help, -h  shows this text
  --version   shows the version of check-bindings

Exit status:
  0  the clutch and all five gear keys (first to fourth, reverse) are bound
  1  the file was read, but the clutch or a gear key is not bound
  2  the file can't be read, or the arguments are wrong
)";

int usageError(const std::string& message) {
    std::cerr << "check-bindings: " << message << " (see check-bindings --help)\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::string path = "MTconfig.ini";
    bool pathGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::cout << help;
            return 0;
        }
        if (argument == "--version") {
            std::cout << "check-bindings " << productVersion << "\n";
            return 0;
        }
        if (argument.size() > 1 && argument[0] == '-') {
            return usageError("unknown option " + std::string(argument));
        }
        if (pathGiven) {
            return usageError("more than one file given");
        }
        path = argument;
        pathGiven = true;
    }

    // Opening a FIFO waits for a writer, and a device may never end: only a
    // regular file is read. A path that can't be examined is left to the open.
    struct stat status;
    if (stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
        std::cerr << "check-bindings: cannot read " << path << ": not a regular file\n";
        return 2;
    }
    const SharedFile file = openSharedForReading(path.c_str());
    if (!file) {
        std::cerr << "check-bindings: cannot open " << path << ": " << std::strerror(errno) << "\n";
        return 2;
    }
    switch (checkBindings(file.get(), path, std::cout)) {
    case CheckResult::Complete:
        return 0;
    case CheckResult::Incomplete:
        return 1;
    case CheckResult::Unreadable:
        break;
    }
    std::cerr << "check-bindings: cannot read " << path << ": " << std::strerror(errno) << "\n";
    return 2;
}
