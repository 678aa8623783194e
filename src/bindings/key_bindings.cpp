#include "bindings/key_bindings.h"

#include <vector>

#include "bindings/binding_report.h"
#include "host/files.h"
#include "version.h"

KeyBindings keyBindings{};

std::string bindingsPath = findBindingFile();

namespace {

constexpr char logName[] = "ManualGearbox.log";

// What the reading of the bindings in use came to, and whether its log was
// written.
BindingsFile fileInUse = BindingsFile::NotFound;
bool lastLogWritten = false;

std::string triedPlaces(const std::vector<std::string>& places) {
    std::string text;
    for (const std::string& place : places) {
        text += "  " + place + "\n";
    }
    return text;
}

// Replaced at every writing; a log that can't be written is done without.
bool writeLog(const std::string& body) {
    const SharedFile log = openForWriting(inFolder(moduleFolder(), logName));
    const std::string text = std::string("Manual Gearbox ") + productVersion + "\n\n" + body;
    return log && std::fwrite(text.data(), 1, text.size(), log.get()) == text.size();
}

// The bindings in use, as a reading of no file.
BindingReading unread(const KeyBindings& bindings) {
    BindingReading reading;
    reading.bindings = bindings;
    return reading;
}

// Why no file was read, and that the bindings in use stay, for the log.
void logUnread(const std::string& reason, bool reload) {
    lastLogWritten =
        writeLog(reason + (reload ? "The keys read before stay bound.\n" : "No key is bound.\n") +
                 bindingsReport(unread(keyBindings)));
}

// Reads the file at path into the bindings in use, over them on the first
// reading and from scratch on a reload, and logs it.
BindingsFile readAndLog(const std::string& path, bool reload) {
    const SharedFile file = openSharedForReading(path);
    if (!file) {
        return BindingsFile::NotFound;
    }
    BindingReading reading = readBindings(file.get(), reload ? KeyBindings{} : keyBindings);
    if (reading.summary.tooLarge) {
        logUnread(path + ": " + std::string(tooLargeNote) + "\n", reload);
        return BindingsFile::TooLarge;
    }
    std::string note = reload ? "Read again in the game.\n" : "";
    // Without a reload key the player couldn't try again after fixing the file.
    const VirtualKeyCode reloadKey = keyBindings.reloadKey;
    if (reload && reading.bindings.reloadKey == 0 && reloadKey != 0) {
        reading.bindings.reloadKey = reloadKey;
        note += "It binds no Reload key, so reloadKey stays " + std::to_string(reloadKey) + " (" +
                keyName(reloadKey) + ").\n";
    }
    keyBindings = reading.bindings;
    lastLogWritten = writeLog(note + (reload ? "\n" : "") + bindingReport(reading, path));
    return reading.summary.utf16 ? BindingsFile::Utf16 : BindingsFile::Read;
}

std::string notFound(const std::vector<std::string>& places) {
    return std::string(bindingFileName) + " not found; looked in:\n" + triedPlaces(places);
}

// The clutch and gear key texts left unbound: two by name, more counted.
std::string unboundKeys(const KeyBindings& bindings) {
    const std::vector<std::string_view> unbound = unboundGearKeyTexts(bindings);
    if (unbound.size() > 2) {
        return std::string(unbound.front()) + " and " + std::to_string(unbound.size() - 1) +
               " more";
    }
    return joined(std::vector<std::string>(unbound.begin(), unbound.end()));
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
    fileInUse = bindingsFileOpened() ? readAndLog(bindingsPath, false) : BindingsFile::NotFound;
    if (fileInUse == BindingsFile::NotFound) {
        logUnread(bindingsFileOpened() ? std::string(bindingFileName) +
                                             " could not be opened again: " + bindingsPath + "\n"
                                       : notFound(bindingFilePlaces()),
                  false);
    }
}

std::string reloadKeyBindings() {
    const std::string found = findBindingFile();
    const BindingsFile file = found.empty() ? BindingsFile::NotFound : readAndLog(found, true);
    if (file == BindingsFile::NotFound) {
        logUnread(notFound(bindingFilePlaces()), true);
    }
    // The notice of the first reading stays for a file that wasn't read.
    if (file == BindingsFile::Utf16 || file == BindingsFile::Read) {
        fileInUse = file;
    }
    return bindingsNoticeText(file, keyBindings, true, lastLogWritten);
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
    return bindingsNoticeText(fileInUse, keyBindings, false, lastLogWritten);
}

std::string bindingsNoticeText(BindingsFile file, const KeyBindings& bindings, bool reload,
                               bool logWritten) {
    const std::string prefix = "Manual Gearbox: ";
    const std::string name = bindingFileName;
    std::string text;
    switch (file) {
    case BindingsFile::NotFound:
        text = name + (reload ? " can't be opened, the keys stay as they were."
                              : " not found, gears can't be changed.");
        break;
    case BindingsFile::TooLarge:
        text = name + " is " + std::string(tooLargeNote) + (reload ? "; the keys stay." : ".");
        break;
    case BindingsFile::Utf16:
        text = name + (reload ? " read again: it is UTF-16 and binds no key."
                              : " is saved as UTF-16, so it binds no key.");
        break;
    case BindingsFile::Read:
        if (gearAccess(bindings) != GearAccess::None) {
            return reload ? prefix + name + " read again, every gear can be reached." : "";
        }
        if (reload) {
            text = name + " read again: " +
                   (bindings.clutchKey == 0 ? "no Clutch, gears can't be changed."
                                            : unboundKeys(bindings) + " not bound.");
        } else {
            text = bindings.clutchKey == 0 ? "no Clutch in " + name + ", gears can't be changed."
                                           : unboundKeys(bindings) + " not bound in " + name + ".";
        }
        break;
    }
    return prefix + text + (logWritten ? " See ManualGearbox.log" : "");
}
