// ManualGearbox.log beside the plug-in: what it read, and what went wrong.
#pragma once

#include <string>
#include <string_view>

// Writes the log anew, under a line with the plug-in's version; false when it
// can't be written in full, and then the last log stays and the plug-in does
// without.
[[nodiscard]] bool writeLog(const std::string& body);

// Adds a paragraph to the log; false when the log can't be written, which
// most callers can only let be.
bool addToLog(const std::string& paragraph);

// Adds why the gearbox switched itself off; false when the log can't be
// written.
[[nodiscard]] bool logFault(const std::string& reason);

// An error switched the gearbox off; a fixed text, since memory may be what
// ran out.
constexpr std::string_view faultNotice(bool logWritten) {
    return logWritten ? "Manual Gearbox: an error switched the gearbox off. See ManualGearbox.log"
                      : "Manual Gearbox: an error switched the gearbox off.";
}
