#include "bindings/key_bindings.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "binding_file/binding_places.h"
#include "binding_file/binding_save.h"
#include "explain/binding_report.h"
#include "explain/binding_warnings.h"
#include "host/file_questions.h"
#include "host/game_controllers.h"
#include "keys/input_names.h"
#include "keys/virtual_keys.h"
#include "log/plugin_log.h"
#include "wheel/wheel.h"

namespace {

BindingsState state;

std::string notFound(const std::vector<std::string>& places) {
    std::string text = std::string(bindingFileName) + " not found; looked in:\n";
    for (const std::string& place : places) {
        text += "  " + place + "\n";
    }
    return text;
}

// A notice that every gear can be reached, or none, gives way to a game
// controller's that can't be read.
std::string noticeOrMissing(std::string notice, BindingsFile file) {
    std::string controller =
        file == BindingsFile::Read && gearAccess(state.keys) != GearAccess::None
            ? unreadControllerNotice(state.keys, state.named)
            : std::string();
    if (!controller.empty()) {
        return controller;
    }
    const std::string forces = file == BindingsFile::Read
                                   ? forceFeedbackNotice(state.keys, forceFeedbackState().status)
                                   : std::string();
    return notice.empty() ? forces : notice;
}

// The bindings in use, as a reading of no file.
BindingReading unread(const KeyBindings& bindings) {
    BindingReading reading;
    reading.bindings = bindings;
    return reading;
}

// Why no file was read, and that the bindings in use stay, for the log.
void logUnread(const std::string& reason, bool reload) {
    const std::string controllers = findNamedControllers(state.keys, state.named);
    BindingReading reading = unread(state.keys);
    reading.attached = wheelBound(state.keys) ? attachedControllers() : std::nullopt;
    state.logWritten =
        writeLog(reason + (reload ? "The keys read before stay bound.\n" : "No key is bound.\n") +
                 resultingBindingsReport(reading) + controllers);
}

// Takes the file read at path into the bindings in use, over them on the
// first reading and from scratch on a reload, and logs it with the note
// given. A file that opened but couldn't be read counts as none found.
BindingsFile readAndLog(const std::string& path, const FileRead& file, bool reload,
                        std::string note) {
    if (file.answer != ReadAnswer::Read && file.answer != ReadAnswer::TooLarge &&
        file.answer != ReadAnswer::InUse) {
        return BindingsFile::NotFound;
    }
    state.path = path;
    if (file.answer == ReadAnswer::TooLarge) {
        logUnread(path + ": " + std::string(tooLargeNote) + "\n", reload);
        return BindingsFile::TooLarge;
    }
    if (file.answer == ReadAnswer::InUse) {
        logUnread(path + ": another program has it open, so it was not read.\n", reload);
        return BindingsFile::InUse;
    }
    BindingReading reading = readBindings(file.bytes, reload ? KeyBindings{} : state.keys);
    // Without a reload key the player couldn't try again after fixing the file.
    const VirtualKeyCode reloadKey = state.keys.reloadKey;
    if (reload && reading.bindings.reloadKey == 0 && reloadKey != 0) {
        reading.bindings.reloadKey = reloadKey;
        note += "It binds no Reload key, so reloadKey stays " + std::to_string(reloadKey) + " (" +
                keyName(reloadKey) + ").\n";
    }
    state.keys = reading.bindings;
    const std::string controllers = findNamedControllers(state.keys, state.named);
    reading.attached = wheelBound(state.keys) ? attachedControllers() : std::nullopt;
    state.logWritten = writeLog(note + (note.empty() ? "" : "\n") +
                                bindingFileReport(reading, path) + controllers);
    return reading.summary.utf16 ? BindingsFile::Utf16 : BindingsFile::Read;
}

} // namespace

const BindingsState& bindingsState() {
    return state;
}

std::span<const StateField> bindingsStateFields() {
    static constexpr auto fields = std::to_array({
        choiceField<state, &BindingsState::file>("bindingsFile", int(lastBindingsFile)),
        flagField<state, &BindingsState::logWritten>("logWritten"),
        StateField{"watchingControllers", [] { return std::int32_t{state.named.watching}; },
                   [](std::int32_t value) { state.named.watching = value != 0; }, 0, 1},
        StateField{"unreadPasses", [] { return state.named.unreadPasses; },
                   [](std::int32_t value) { state.named.unreadPasses = value; }, 0,
                   unreadPassesTold},
        StateField{"unreadTold", [] { return std::int32_t{state.named.unreadTold}; },
                   [](std::int32_t value) { state.named.unreadTold = value != 0; }, 0, 1},
    });
    return fields;
}

void useKeyBindings(const KeyBindings& keys) {
    state.keys = keys;
    findWheelParts(state.keys);
}

void resetKeyBindings() {
    state = BindingsState{};
    findWheelParts(state.keys);
}

void loadKeyBindings() {
    const FoundBindingFile found = findBindingFile();
    state.file =
        found.path.empty() ? BindingsFile::NotFound : readAndLog(found.path, found.read, false, "");
    if (state.file == BindingsFile::NotFound) {
        logUnread(notFound(bindingFilePlaces()) +
                      "It is looked for again when you next get in a vehicle.\n",
                  false);
    }
}

std::string reloadKeyBindings() {
    const FoundBindingFile found = findBindingFile();
    const BindingsFile file =
        found.path.empty() ? BindingsFile::NotFound
                           : readAndLog(found.path, found.read, true, "Read again in the game.\n");
    if (file == BindingsFile::NotFound) {
        logUnread(notFound(bindingFilePlaces()), true);
    }
    // The notice of the first reading stays for a file that wasn't read.
    if (file == BindingsFile::Utf16 || file == BindingsFile::Read) {
        state.file = file;
    }
    return noticeOrMissing(bindingsNoticeText(file, state.keys, true, state.logWritten), file);
}

bool lookForBindingsAgain() {
    if (state.file == BindingsFile::Utf16 || state.file == BindingsFile::Read) {
        return false;
    }
    const FoundBindingFile found = findBindingFile();
    if (found.path.empty()) {
        return false;
    }
    const BindingsFile file =
        readAndLog(found.path, found.read, false,
                   "Found when you got in a vehicle, after the game started.\n");
    if (file == BindingsFile::Utf16 || file == BindingsFile::Read) {
        state.file = file;
        return true;
    }
    return false;
}

std::string applyChosenKeys(const ChosenKeys& keys, const ChosenInputs& inputs) {
    for (std::size_t place = 0; place < choosableFieldCount; ++place) {
        if (keys[place] != 0) {
            state.keys.*bindingFields[choosableFields[place]].member = keys[place];
        }
    }
    for (std::size_t place = 0; place < wheelChoosableCount; ++place) {
        if (inputs[place].part != 0) {
            state.keys.*bindingFields[wheelChoosableFields[place]].input = inputs[place];
        }
    }
    findWheelParts(state.keys);
    // The places are asked for either way, so that a replay, which doesn't
    // know the path read last, asks the same questions.
    const std::string first = bindingFilePlaces().front();
    const std::string path = state.path.empty() ? first : state.path;
    const ChosenKeysWrite written = writeChosenKeys(path, keys, inputs, state.keys);
    const bool aside = written.outcome == ChosenKeysWrite::Outcome::SavedBackupAside;
    std::string note = "Keys chosen in the game and saved.\n";
    switch (written.outcome) {
    case ChosenKeysWrite::Outcome::SavedBackupAside:
        note += "The file as it was is kept as " + path + std::string(backupAsideSuffix) + ": " +
                path + ".bak could not be replaced (" + std::string(written.why) + ").\n";
        [[fallthrough]];
    case ChosenKeysWrite::Outcome::Saved:
        if (readAndLog(path, readFileAsked(path, bindingFileBytesAtMost), true, note) ==
            BindingsFile::Read) {
            state.file = BindingsFile::Read;
        }
        return std::string(aside ? keysSavedBackupAsideNotice : keysSavedNotice);
    case ChosenKeysWrite::Outcome::TooLarge:
        findNamedControllers(state.keys, state.named);
        addToLog("Keys chosen in the game are in use until the game ends; " + path + " " +
                 std::string(written.why) + ".");
        return std::string(keysTooLargeNotice);
    case ChosenKeysWrite::Outcome::NotSaved:
        findNamedControllers(state.keys, state.named);
        break;
    }
    addToLog("Keys chosen in the game are in use until the game ends; they were not saved in " +
             path + ": " + std::string(written.why) + ".");
    return keysNotSavedNotice(written.why);
}

std::string bindingsNotice() {
    return noticeOrMissing(bindingsNoticeText(state.file, state.keys, false, state.logWritten),
                           state.file);
}

void lookForNamedControllers() {
    findNamedControllers(state.keys, state.named);
}

std::string countUnreadPasses(bool anew, bool driving) {
    if (anew) {
        state.named.unreadPasses = 0;
        state.named.unreadTold = false;
    }
    state.named.unreadPasses = std::min(state.named.unreadPasses + 1, unreadPassesTold);
    if (state.named.unreadTold || state.named.unreadPasses < unreadPassesTold || !driving) {
        return {};
    }
    std::string notice = unreadControllerNotice(state.keys, state.named);
    for (const GameController& controller : foundControllers()) {
        if (controller.opened && controller.fault.step != ControllerStep::None) {
            addToLog(controllerIdText(controller.id) + " (" + controller.name +
                     ") can't be read: " + controllerFaultText(controller.fault) + ", for " +
                     std::to_string(unreadPassesTold) + " passes in a row.");
        }
    }
    return notice;
}

std::string lookForArrivedControllers() {
    std::vector<ControllerId> missing;
    for (const ControllerId id : boundControllers(state.keys)) {
        if (std::ranges::find(foundControllers(), id, &GameController::id) ==
            foundControllers().end()) {
            missing.push_back(id);
        }
    }
    addToLog("A game controller was plugged in during the game." +
             findNamedControllers(state.keys, state.named));
    for (const ControllerId id : missing) {
        if (std::ranges::find(foundControllers(), id, &GameController::id) !=
            foundControllers().end()) {
            const std::string notice = unreadControllerNotice(state.keys, state.named);
            return notice.empty() ? controllerFoundNotice(id) : notice;
        }
    }
    return {};
}
