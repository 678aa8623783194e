#include "bindings/key_bindings.h"

#include <vector>

#include "bindings/binding_places.h"
#include "bindings/binding_report.h"
#include "bindings/binding_save.h"
#include "bindings/input_names.h"
#include "bindings/plugin_log.h"
#include "host/files.h"

BindingsState bindingsState;

namespace {

std::string notFound(const std::vector<std::string>& places) {
    std::string text = std::string(bindingFileName) + " not found; looked in:\n";
    for (const std::string& place : places) {
        text += "  " + place + "\n";
    }
    return text;
}

// The bindings in use, as a reading of no file.
BindingReading unread(const KeyBindings& bindings) {
    BindingReading reading;
    reading.bindings = bindings;
    return reading;
}

// Why no file was read, and that the bindings in use stay, for the log.
void logUnread(const std::string& reason, bool reload) {
    bindingsState.logWritten =
        writeLog(reason + (reload ? "The keys read before stay bound.\n" : "No key is bound.\n") +
                 bindingsReport(unread(bindingsState.keys)));
}

// Reads the file at path into the bindings in use, over them on the first
// reading and from scratch on a reload, and logs it with the note given.
BindingsFile readAndLog(const std::string& path, bool reload, std::string note) {
    BindingsState& state = bindingsState;
    const SharedFile file = openSharedForReading(path);
    if (!file) {
        return BindingsFile::NotFound;
    }
    state.path = path;
    BindingReading reading = readBindings(file.get(), reload ? KeyBindings{} : state.keys);
    if (reading.summary.tooLarge) {
        logUnread(path + ": " + std::string(tooLargeNote) + "\n", reload);
        return BindingsFile::TooLarge;
    }
    // Without a reload key the player couldn't try again after fixing the file.
    const VirtualKeyCode reloadKey = state.keys.reloadKey;
    if (reload && reading.bindings.reloadKey == 0 && reloadKey != 0) {
        reading.bindings.reloadKey = reloadKey;
        note += "It binds no Reload key, so reloadKey stays " + std::to_string(reloadKey) + " (" +
                keyName(reloadKey) + ").\n";
    }
    state.keys = reading.bindings;
    state.logWritten = writeLog(note + (note.empty() ? "" : "\n") + bindingReport(reading, path));
    return reading.summary.utf16 ? BindingsFile::Utf16 : BindingsFile::Read;
}

} // namespace

void loadKeyBindings() {
    BindingsState& state = bindingsState;
    const std::string found = findBindingFile();
    state.file = found.empty() ? BindingsFile::NotFound : readAndLog(found, false, "");
    if (state.file == BindingsFile::NotFound) {
        logUnread(notFound(bindingFilePlaces()) +
                      "It is looked for again when you next get in a vehicle.\n",
                  false);
    }
}

std::string reloadKeyBindings() {
    BindingsState& state = bindingsState;
    const std::string found = findBindingFile();
    const BindingsFile file = found.empty() ? BindingsFile::NotFound
                                            : readAndLog(found, true, "Read again in the game.\n");
    if (file == BindingsFile::NotFound) {
        logUnread(notFound(bindingFilePlaces()), true);
    }
    // The notice of the first reading stays for a file that wasn't read.
    if (file == BindingsFile::Utf16 || file == BindingsFile::Read) {
        state.file = file;
    }
    return bindingsNoticeText(file, state.keys, true, state.logWritten);
}

bool lookForBindingsAgain() {
    BindingsState& state = bindingsState;
    if (state.file == BindingsFile::Utf16 || state.file == BindingsFile::Read) {
        return false;
    }
    const std::string found = findBindingFile();
    if (found.empty()) {
        return false;
    }
    const BindingsFile file =
        readAndLog(found, false, "Found when you got in a vehicle, after the game started.\n");
    if (file == BindingsFile::Utf16 || file == BindingsFile::Read) {
        state.file = file;
        return true;
    }
    return false;
}

std::string applyChosenKeys(const ChosenKeys& keys) {
    BindingsState& state = bindingsState;
    for (std::size_t place = 0; place < choosableFieldCount; ++place) {
        state.keys.*bindingFields[choosableFields[place]].member = keys[place];
    }
    const std::string path = state.path.empty() ? bindingFilePlaces().front() : state.path;
    const ChosenKeysWrite written = writeChosenKeys(path, keys);
    switch (written.outcome) {
    case ChosenKeysWrite::Outcome::Saved:
        if (readAndLog(path, true, "Keys chosen in the game and saved.\n") == BindingsFile::Read) {
            state.file = BindingsFile::Read;
        }
        return std::string(keysSavedNotice);
    case ChosenKeysWrite::Outcome::TooLarge:
        addToLog("Keys chosen in the game are in use until the game ends; " + path + " is " +
                 std::string(tooLargeNote) + " and not changed.");
        return std::string(keysTooLargeNotice);
    case ChosenKeysWrite::Outcome::NotSaved:
        break;
    }
    addToLog("Keys chosen in the game are in use until the game ends; they were not saved in " +
             path + ": " + std::string(written.why) + ".");
    return keysNotSavedNotice(written.why);
}

std::string bindingsNotice() {
    return bindingsNoticeText(bindingsState.file, bindingsState.keys, false,
                              bindingsState.logWritten);
}
