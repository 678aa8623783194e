#include "bindings/key_bindings.h"

#include <vector>

#include "bindings/binding_report.h"
#include "host/files.h"
#include "version.h"

KeyBindings keyBindings{};

std::string bindingsPath = findBindingFile();

namespace {

constexpr char logName[] = "ManualGearbox.log";
constexpr char seeLog[] = " See ManualGearbox.log";

// Whether the bindings in use were read from a file, and whether it was UTF-16.
bool bindingsRead = false;
bool bindingsUtf16 = false;

std::string triedPlaces(const std::vector<std::string>& places) {
    std::string text;
    for (const std::string& place : places) {
        text += "  " + place + "\n";
    }
    return text;
}

// Replaced at every writing; a log that can't be written is done without.
void writeLog(const std::string& body) {
    const SharedFile log = openForWriting(inFolder(moduleFolder(), logName));
    if (!log) {
        return;
    }
    const std::string text = std::string("Manual Gearbox ") + productVersion + "\n\n" + body;
    std::fwrite(text.data(), 1, text.size(), log.get());
}

// Reads the file at path over the bindings given into the bindings in use, and
// logs it.
bool readAndLog(const std::string& path, const KeyBindings& start, const std::string& note) {
    const SharedFile file = openSharedForReading(path);
    if (!file) {
        return false;
    }
    const BindingReading reading = readBindings(file.get(), start);
    keyBindings = reading.bindings;
    bindingsRead = true;
    bindingsUtf16 = reading.summary.utf16;
    writeLog(note + bindingReport(reading, path));
    return true;
}

// The bindings in use, as a reading of no file.
BindingReading unread(const KeyBindings& bindings) {
    BindingReading reading;
    reading.bindings = bindings;
    return reading;
}

std::string notFound(const std::vector<std::string>& places) {
    return std::string(bindingFileName) + " not found; looked in:\n" + triedPlaces(places);
}

std::string keyTextList(const std::vector<std::string_view>& keyTexts) {
    return joined(std::vector<std::string>(keyTexts.begin(), keyTexts.end()));
}

} // namespace

std::string findBindingFile() {
    for (const std::string& place : bindingFilePlaces()) {
        if (openSharedForReading(place)) {
            return place;
        }
    }
    return {};
}

void loadKeyBindings() {
    bindingsRead = false;
    if (bindingsFileOpened() && readAndLog(bindingsPath, keyBindings, "")) {
        return;
    }
    const std::string reason =
        bindingsFileOpened()
            ? std::string(bindingFileName) + " could not be opened again: " + bindingsPath + "\n"
            : notFound(bindingFilePlaces());
    writeLog(reason + "No key is bound.\n" + bindingsReport(unread(keyBindings)));
}

std::string reloadKeyBindings() {
    const std::string prefix = std::string("Manual Gearbox: ") + bindingFileName;
    const std::string found = findBindingFile();
    if (found.empty() || !readAndLog(found, KeyBindings{}, "Read again in the game.\n\n")) {
        writeLog(notFound(bindingFilePlaces()) + "The keys read before stay bound.\n" +
                 bindingsReport(unread(keyBindings)));
        return prefix + " can't be opened, the keys stay as they were." + seeLog;
    }
    if (gearAccess(keyBindings) == GearAccess::None) {
        return prefix + " read again, but " + keyTextList(unboundGearKeyTexts(keyBindings)) +
               " not bound." + seeLog;
    }
    return prefix + " read again: " + bindingsSummary(keyBindings) + ".";
}

bool logFault(const std::string& reason) {
    const SharedFile log = openForAppending(inFolder(moduleFolder(), logName));
    if (!log) {
        return false;
    }
    const std::string text = "\nAn error switched the gearbox off: " + reason + "\n";
    return std::fwrite(text.data(), 1, text.size(), log.get()) == text.size();
}

std::string bindingsNotice() {
    const std::string prefix = "Manual Gearbox: ";
    if (!bindingsRead) {
        return prefix + bindingFileName + " not found, gears can't be changed." + seeLog;
    }
    if (bindingsUtf16) {
        return prefix + bindingFileName + " is saved as UTF-16, so it binds no key." + seeLog;
    }
    if (gearAccess(keyBindings) != GearAccess::None) {
        return {};
    }
    if (keyBindings.clutchKey == 0) {
        return prefix + "no Clutch in " + bindingFileName + ", gears can't be changed." + seeLog;
    }
    return prefix + keyTextList(unboundGearKeyTexts(keyBindings)) + " not bound in " +
           bindingFileName + "." + seeLog;
}
