#include "plugin/script.h"

#include <array>
#include <exception>
#include <string_view>

#include "binding_file/recorded_bindings.h"
#include "bindings/key_bindings.h"
#include "choosing/key_choosing.h"
#include "gearbox/gearbox.h"
#include "host/game_controllers.h"
#include "host/keyboard.h"
#include "host/natives.h"
#include "host/tap.h"
#include "keys/own_inputs.h"
#include "log/plugin_log.h"
#include "plugin/recorded_state.h"
#include "recorder/recorder.h"
#include "recorder/recorder_notices.h"
#include "screen/hud.h"
#include "version.h"

PluginState pluginState;

namespace {

void startRecordingAndTell() {
    DriveRecording header;
    header.pluginVersion = productVersion;
    header.filesKept = true;
    header.bindings = recordedBindings(bindingsState.keys, bindingsState.file);
    for (const RecordedField& field : recordedStateFields()) {
        header.state.push_back({std::string(field.name), 0});
    }
    showNotification(startRecording(std::move(header))
                         ? recordingStartedNotice(bindingsState.keys.recordKey)
                         : std::string(recordingNoMemoryNotice));
}

void tellSave(const SaveOutcome& outcome) {
    if (outcome.status == SaveOutcome::Status::Saved) {
        showNotification(recordingSavedNotice(outcome.name));
    } else if (outcome.status == SaveOutcome::Status::Failed) {
        showNotification(recordingNotSavedNotice(outcome.fault, bindingsState.keys.recordKey));
    }
}

// The key starts a recording, stops one, which is then saved over the
// passes after, or saves one that couldn't be saved again; while a save is
// under way it does nothing but say so.
void recordKeyPressed() {
    switch (recorderState.mode) {
    case RecorderMode::Off:
        startRecordingAndTell();
        break;
    case RecorderMode::Recording:
        stopRecording();
        break;
    case RecorderMode::Saving:
        showNotification(recordingStillSavingNotice(bindingsState.keys.recordKey));
        break;
    case RecorderMode::Unsaved:
        beginSave();
        break;
    }
}

// The D-pad's right also browses the phone and the menus; the game's own
// answers are asked only when it fired.
bool toggleControlFired() {
    return controlFired(toggleControl) && !characterUsingPhone(playerCharacter()) &&
           !pauseMenuActive();
}

// A held key would otherwise flip the gearbox on every pass, so a press of
// ordinary length left it on or off by chance; a key counts once per press.
bool togglePressed() {
    PluginState& state = pluginState;
    const bool controlActive = toggleControlFired();
    const bool arrowPressed = keyPressed(toggleArrowKey, state.toggleArrowWasDown);
    const bool boundKeyPressed = keyPressed(bindingsState.keys.toggleKey, state.toggleKeyWasDown);
    return controlActive || arrowPressed || boundKeyPressed;
}

void flipGearbox() {
    gearboxState.transmissionEnabled = !gearboxState.transmissionEnabled;
    showSubtitle(gearboxState.transmissionEnabled ? "Manual Transmission ~g~Enabled~w~!"
                                                  : "Manual Transmission ~r~Disabled~w~!");
    if (!gearboxState.transmissionEnabled) {
        releaseGearbox();
        stopRecording();
    }
}

// While the player chooses keys the game ignores every control, and the
// gearbox rests: its gear, the cap it set and its labels' state wait for the
// choosing to end. Only the right arrow, which no choice can take, still
// switches it.
void choosingPass() {
    disableAllControls();
    const ChoosingPass pass = chooseKeysPass();
    // A key held as the choosing ends counts once pressed again.
    PluginState& state = pluginState;
    const KeyBindings& keys = bindingsState.keys;
    state.toggleArrowWasDown = heldWhileChoosing(toggleArrowKey);
    state.toggleKeyWasDown = heldWhileChoosing(keys.toggleKey);
    state.reloadKeyWasDown = heldWhileChoosing(keys.reloadKey);
    state.recordKeyWasDown = heldWhileChoosing(keys.recordKey);
    state.bindKeyWasDown = heldWhileChoosing(keys.bindKey);
    if (pass.toggleArrowPressed) {
        flipGearbox();
    }
    switch (pass.end) {
    case ChoosingPass::End::None:
        drawPromptLine(pass.line.data());
        break;
    case ChoosingPass::End::Cancelled:
        showNotification(keysCancelledNotice);
        break;
    case ChoosingPass::End::Chosen:
        showNotification(applyChosenKeys(choosingState.chosen));
        fitGearsAgain();
        break;
    }
}

// Everything the frame does; it never waits, since whatever it does to the
// game lasts this frame only.
void framePass() {
    PluginState& state = pluginState;
    if (!state.bindingsLoaded) {
        loadKeyBindings();
        state.bindingsLoaded = true;
    }

    checkGameFocus();

    if (saving()) {
        tellSave(saveSlice());
    }

    // While choosing, every key pressed is a choice.
    if (!choosingState.choosing) {
        if (keyPressed(bindingsState.keys.reloadKey, state.reloadKeyWasDown)) {
            showNotification(reloadKeyBindings());
            fitGearsAgain();
        }
        // Recording begins with the next pass, so that a replay starts where a
        // pass starts.
        if (keyPressed(bindingsState.keys.recordKey, state.recordKeyWasDown)) {
            recordKeyPressed();
        }
        if (keyPressed(bindingsState.keys.bindKey, state.bindKeyWasDown)) {
            startChoosingKeys();
        }
    }
    if (choosingState.choosing) {
        choosingPass();
        return;
    }

    if (togglePressed()) {
        flipGearbox();
    }

    const bool driving = gearboxState.transmissionEnabled && updateGearbox();
    // A file put in place after the game started is read once the player
    // gets in a vehicle, and its notice is due then.
    if (driving && !state.wasDriving && lookForBindingsAgain()) {
        state.noticeGiven = false;
    }
    state.wasDriving = driving;

    // Told when it matters, the first time the player drives, not on a
    // loading screen.
    if (driving && !state.noticeGiven) {
        state.noticeGiven = true;
        const std::string notice = bindingsNotice();
        if (!notice.empty()) {
            showNotification(notice);
        }
    }
}

// An exception must not unwind into the hook's fiber, which would end the
// game: the gearbox lets go of the vehicle and switches off instead.
void switchOffAfterFault(const char* reason) noexcept {
    releaseGearbox();
    gearboxState.transmissionEnabled = false;
    bool logged = false;
    try {
        logged = logFault(reason);
        stopRecording();
    } catch (...) {
    }
    showNotification(faultNotice(logged));
}

// The barrier around the script function's work. Outside it are only the
// hook's wait and the recorder's bookkeeping, which moves bytes within its
// buffer and throws nothing.
template <typename Work>
void behindBarrier(Work work) noexcept {
    try {
        work();
    } catch (const std::exception& error) {
        switchOffAfterFault(error.what());
    } catch (...) {
        switchOffAfterFault("an unknown exception");
    }
}

} // namespace

void resetPlugin(Reset what) {
    if (what == Reset::Everything) {
        dropRecording();
        closeControllers();
        keyboardState = KeyboardState{};
        bindingsState = BindingsState{};
        choosingState = ChoosingState{};
        gearboxState = GearboxState{};
        pluginState = PluginState{};
        return;
    }
    // The old start's handles go first: a fault while the recording stops
    // must find none to use.
    restartGearbox();
    pluginState = PluginState{.bindingsLoaded = pluginState.bindingsLoaded,
                              .noticeGiven = pluginState.noticeGiven};
    choosingState = ChoosingState{};
    stopRecording();
}

void unloadPlugin() noexcept {
    try {
        stopRecording();
        if (recorderState.mode == RecorderMode::Unsaved) {
            beginSave();
        }
        const SaveOutcome outcome = finishSave();
        if (outcome.status == SaveOutcome::Status::Failed) {
            addToLog("A drive recording that could not be saved (" +
                     std::string(writeFaultText(outcome.fault)) +
                     ") was dropped as the plug-in was unloaded.");
        }
        dropRecording();
    } catch (...) {
    }
}

void runFramePass() {
    // The game's time is asked only while recording, before the pass opens.
    if (recording() && beginRecordedPass(gameTimeMs())) {
        recordPluginState();
    }
    behindBarrier(framePass);
    if (recording()) {
        endRecordedPass();
    }
}

void scriptEntry() {
    behindBarrier([] { resetPlugin(Reset::Restart); });
    for (;;) {
        runFramePass();
        scriptWait(0);
    }
}

void restorePlugin(const DriveRecording& recording) {
    resetPlugin(Reset::Everything);
    restoreRecordedState(recording);
}
