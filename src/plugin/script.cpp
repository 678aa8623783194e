#include "plugin/script.h"

#include <array>
#include <cmath>
#include <exception>
#include <string_view>

#include "binding_file/recorded_bindings.h"
#include "bindings/key_bindings.h"
#include "choosing/input_choosing.h"
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
#include "wheel/wheel.h"
#include "wheel/wheel_forces.h"

namespace {

PluginState state;

void showAnyNotification(const std::string& notice) {
    if (!notice.empty()) {
        showNotification(notice);
    }
}

void startRecordingAndTell() {
    DriveRecording header;
    header.pluginVersion = productVersion;
    header.filesKept = true;
    header.bindings = recordedBindings(bindingsState().keys, bindingsState().file);
    for (const RecordedField& field : recordedStateFields()) {
        header.state.push_back({std::string(field.name), 0});
    }
    showNotification(startRecording(std::move(header))
                         ? recordingStartedNotice(bindingsState().keys.recordKey)
                         : std::string(recordingNoMemoryNotice));
}

void tellSave(const SaveOutcome& outcome) {
    if (outcome.status == SaveOutcome::Status::Saved) {
        showNotification(recordingSavedNotice(outcome.name).data());
    } else if (outcome.status == SaveOutcome::Status::Failed) {
        showNotification(
            recordingNotSavedNotice(outcome.fault, bindingsState().keys.recordKey).data());
    }
}

// The key starts a recording, stops one, which is then saved over the
// passes after, or saves one that couldn't be saved again; while a save is
// under way it does nothing but say so.
void recordKeyPressed() {
    switch (recorderState().mode) {
    case RecorderMode::Off:
        startRecordingAndTell();
        break;
    case RecorderMode::Recording:
        stopRecording();
        break;
    case RecorderMode::Saving:
        showNotification(recordingStillSavingNotice(bindingsState().keys.recordKey).data());
        break;
    case RecorderMode::Unsaved:
        beginSave();
        break;
    }
}

// The D-pad's right and the right arrow also browse the phone and the menus;
// the game is asked whether either is open only when one of them fired.
bool browsing() {
    return characterUsingPhone(playerCharacter()) || pauseMenuActive();
}

// A held key would otherwise flip the gearbox on every pass, so a press of
// ordinary length left it on or off by chance; a key counts once per press.
bool togglePressed(const KeyBindings& keys) {
    const bool controlActive = controlFired(toggleControl);
    const bool controlHeldBack = controlActive && browsing();
    const bool arrowPressed = keyPressed(toggleArrowKey, state.toggleArrowWasDown);
    const bool boundKeyPressed = keyPressed(keys.toggleKey, state.toggleKeyWasDown);
    const bool arrowOrControl = controlActive ? !controlHeldBack : arrowPressed && !browsing();
    return arrowOrControl || boundKeyPressed;
}

void flipGearbox() {
    if (gearboxState().transmissionEnabled) {
        showSubtitle("Manual Transmission ~r~Disabled~w~!");
        switchGearboxOff();
        stopRecording();
    } else {
        showSubtitle("Manual Transmission ~g~Enabled~w~!");
        switchGearboxOn();
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
    const KeyBindings& keys = bindingsState().keys;
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
        lookForNamedControllers();
        break;
    case ChoosingPass::End::Chosen:
        showNotification(applyChosenKeys(choosingState().chosen, chosenInputs()));
        fitGearsAgain();
        break;
    }
}

// About three seconds.
constexpr std::int32_t clutchPassesToTell = 180;

// A clutch pedal bound the wrong way round reads pressed from the moment the
// player gets in, and the throttle is then dead: after a few seconds of that
// reading, unmoved, the player is told the other way. Only what the pass read
// already is looked at.
void watchClutchPedal(bool driving, bool gotIn, const Wheel& wheel) {
    constexpr float stillWithin = 1.0f / 64;
    const ControllerBinding& pedal = bindingsState().keys.clutchPedal;
    if (!driving) {
        state.clutchStillPasses = 0;
    } else if (gotIn) {
        state.clutchStillPasses = wheel.clutchPastBite && isAxisPart(pedal.part);
        state.clutchTravelOnEntry = wheel.clutchTravel;
    } else {
        const bool still = wheel.clutchPastBite &&
                           std::abs(wheel.clutchTravel - state.clutchTravelOnEntry) <= stillWithin;
        state.clutchStillPasses = still ? state.clutchStillPasses + 1 : 0;
    }
    if (state.clutchStillPasses == clutchPassesToTell) {
        state.clutchStillPasses = 0;
        showNotification(reversedClutchNotice(pedal));
    }
}

// Everything the frame does; it never waits, since whatever it does to the
// game lasts this frame only. A recording being saved writes its next slice.
void framePass(bool saving) {
    if (!state.bindingsLoaded) {
        loadKeyBindings();
        state.bindingsLoaded = true;
    }

    checkGameFocus();
    // Each as the pass leaves it: a reload and keys chosen change the keys,
    // and the Bind key starts choosing.
    const BindingsState& bindings = bindingsState();
    const KeyBindings& keys = bindings.keys;
    const ChoosingState& choosing = choosingState();

    if (saving) {
        tellSave(saveSlice());
    }

    // While choosing, every key pressed is a choice.
    if (!choosing.choosing) {
        if (keyPressed(keys.reloadKey, state.reloadKeyWasDown)) {
            showNotification(reloadKeyBindings());
            fitGearsAgain();
        }
        // Recording begins with the next pass, so that a replay starts where a
        // pass starts.
        if (keyPressed(keys.recordKey, state.recordKeyWasDown)) {
            recordKeyPressed();
        }
        if (keyPressed(keys.bindKey, state.bindKeyWasDown)) {
            startChoosingKeys();
        }
    }
    // Each game controller opened is read once, before its input is used.
    const Wheel& wheel = readWheel();
    if (choosing.choosing) {
        stopWheelForces();
        choosingPass();
        return;
    }

    // A game controller a line names, plugged in during the game, is found
    // without the reload key: a look off this thread says when.
    if (bindings.named.watching && controllersArrived()) [[unlikely]] {
        showAnyNotification(lookForArrivedControllers());
    }

    if (togglePressed(keys)) {
        flipGearbox();
    }

    const bool driving = updateGearbox(keys, wheel);
    feelWheel(gearboxState().felt);
    // A file put in place after the game started is read once the player
    // gets in a vehicle, and its notice is due then.
    const bool gotIn = driving && !state.wasDriving;
    if (gotIn && lookForBindingsAgain()) {
        state.noticeGiven = false;
    }
    if (gotIn || state.clutchStillPasses > 0) [[unlikely]] {
        watchClutchPedal(driving, gotIn, wheel);
    }
    state.wasDriving = driving;

    // Told when it matters, the first time the player drives, not on a
    // loading screen.
    if (driving && !state.noticeGiven) {
        state.noticeGiven = true;
        showAnyNotification(bindingsNotice());
    }
    // A game controller that can't be read for a while is told once.
    if (wheel.controllers != ControllersRead::Read) [[unlikely]] {
        showAnyNotification(
            countUnreadPasses(wheel.controllers == ControllersRead::FailedAnew, driving));
    }
}

// An exception must not unwind into the hook's fiber, which would end the
// game: the gearbox lets go of the vehicle and switches off instead.
void switchOffAfterFault(const char* reason) noexcept {
    switchGearboxOff();
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

const PluginState& pluginState() {
    return state;
}

std::span<const StateField> pluginStateFields() {
    static constexpr auto fields = std::to_array({
        flagField<state, &PluginState::bindingsLoaded>("bindingsLoaded"),
        flagField<state, &PluginState::noticeGiven>("noticeGiven"),
        flagField<state, &PluginState::wasDriving>("wasDriving"),
        flagField<state, &PluginState::toggleArrowWasDown>("toggleArrowWasDown"),
        flagField<state, &PluginState::toggleKeyWasDown>("toggleKeyWasDown"),
        flagField<state, &PluginState::reloadKeyWasDown>("reloadKeyWasDown"),
        flagField<state, &PluginState::recordKeyWasDown>("recordKeyWasDown"),
        flagField<state, &PluginState::bindKeyWasDown>("bindKeyWasDown"),
        choiceField<state, &PluginState::clutchStillPasses>("clutchStillPasses",
                                                            clutchPassesToTell),
        floatField<state, &PluginState::clutchTravelOnEntry>("clutchTravelOnEntry", 0.0f, 1.0f),
    });
    return fields;
}

void resetPlugin(Reset what) {
    if (what == Reset::Everything) {
        dropRecording();
        resetWheelForces();
        closeControllers();
        resetKeyboard();
        resetKeyBindings();
        stopChoosingKeys();
        resetGearbox();
        state = PluginState{};
        return;
    }
    // The old start's handles go first: a fault while the recording stops
    // must find none to use.
    restartGearbox();
    stopWheelForces();
    state = PluginState{.bindingsLoaded = state.bindingsLoaded, .noticeGiven = state.noticeGiven};
    // Choosing opened every game controller; only those named are read on.
    const bool wasChoosing = choosingState().choosing;
    stopChoosingKeys();
    if (wasChoosing) {
        lookForNamedControllers();
    }
    stopRecording();
}

void unloadPlugin() noexcept {
    try {
        stopRecording();
        if (recorderState().mode == RecorderMode::Unsaved) {
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
    // Only the pass's keys and faults start, stop and save a recording, so
    // its mode holds until the pass looks at it.
    const RecorderMode recorder = recorderState().mode;
    // The game's time is asked only while recording, before the pass opens.
    if (recorder == RecorderMode::Recording && beginRecordedPass(gameTimeMs())) {
        recordPluginState();
    }
    behindBarrier([recorder] { framePass(recorder == RecorderMode::Saving); });
    // The tap is open while the pass records.
    if (tapOpen()) {
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
