#include "bindings/plugin_log.h"

#include "host/files.h"
#include "version.h"

namespace {

constexpr char logName[] = "ManualGearbox.log";

bool writeAll(const SharedFile& log, const std::string& text) {
    return log && std::fwrite(text.data(), 1, text.size(), log.get()) == text.size();
}

} // namespace

bool writeLog(const std::string& body) {
    return writeAll(openForWriting(inFolder(moduleFolder(), logName)),
                    std::string("Manual Gearbox ") + productVersion + "\n\n" + body);
}

bool logFault(const std::string& reason) {
    return writeAll(openForAppending(inFolder(moduleFolder(), logName)),
                    "\nAn error switched the gearbox off: " + reason + "\n");
}

bool logNote(const std::string& note) {
    return writeAll(openForAppending(inFolder(moduleFolder(), logName)), "\n" + note + "\n");
}
