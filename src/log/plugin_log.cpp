#include "log/plugin_log.h"

#include "host/file_questions.h"
#include "version.h"

namespace {

constexpr char logName[] = "ManualGearbox.log";
// The new log, until it is whole and takes the old one's place.
constexpr char newLogName[] = "ManualGearbox.log.tmp";

// Writes the text and closes the file; false when either failed.
bool writeAndClose(OutputFile& file, const std::string& text) {
    const bool written = writeOutputAsked(file, text.data(), text.size()) == WriteFault::None;
    return closeOutputAsked(file) == WriteFault::None && written;
}

} // namespace

// Written beside the log and put in its place once whole: opening the log
// itself for writing would empty it at once, and a full disk would leave it so.
bool writeLog(const std::string& body) {
    const std::string text = std::string("Manual Gearbox ") + productVersion + "\n\n" + body;
    const std::string folder = moduleFolder();
    const std::string log = inFolder(folder, logName);
    const std::string newLog = inFolder(folder, newLogName);
    OutputFile file;
    if (createOutputAsked(newLog, file) != WriteFault::None) {
        return false;
    }
    if (writeAndClose(file, text) && replaceFileAsked(newLog, log) == WriteFault::None) {
        return true;
    }
    // The write's fault is the one to tell; a new log left behind is
    // written over next time.
    (void)removeFileAsked(newLog);
    return false;
}

bool addToLog(const std::string& paragraph) {
    OutputFile log;
    return appendOutputAsked(inFolder(moduleFolder(), logName), log) == WriteFault::None &&
           writeAndClose(log, "\n" + paragraph + "\n");
}

bool logFault(const std::string& reason) {
    return addToLog("An error switched the gearbox off: " + reason);
}
