#include "bindings/plugin_log.h"

#include "host/files.h"
#include "version.h"

namespace {

constexpr char logName[] = "ManualGearbox.log";
// The new log, until it is whole and takes the old one's place.
constexpr char newLogName[] = "ManualGearbox.log.tmp";

bool writeAll(std::FILE* file, const std::string& text) {
    return std::fwrite(text.data(), 1, text.size(), file) == text.size();
}

} // namespace

// Written beside the log and put in its place once whole: opening the log
// itself for writing would empty it at once, and a full disk would leave it so.
bool writeLog(const std::string& body) {
    const std::string text = std::string("Manual Gearbox ") + productVersion + "\n\n" + body;
    const std::string folder = moduleFolder();
    const std::string log = inFolder(folder, logName);
    const std::string newLog = inFolder(folder, newLogName);
    SharedFile file = openForWriting(newLog);
    if (!file) {
        return false;
    }
    const bool written = writeAll(file.get(), text);
    if (closeWritten(std::move(file)) && written && replaceFile(newLog, log) == WriteFault::None) {
        return true;
    }
    removeFile(newLog);
    return false;
}

bool addToLog(const std::string& paragraph) {
    SharedFile log = openForAppending(inFolder(moduleFolder(), logName));
    return log && writeAll(log.get(), "\n" + paragraph + "\n") && closeWritten(std::move(log));
}

bool logFault(const std::string& reason) {
    return addToLog("An error switched the gearbox off: " + reason);
}
