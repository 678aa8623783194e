#include "plugin/script.h"

#include <exception>

#include "bindings/key_bindings.h"
#include "bindings/own_inputs.h"
#include "bindings/plugin_log.h"
#include "gearbox/gearbox.h"
#include "gearbox/hud.h"
#include "host/keyboard.h"
#include "host/natives.h"

PluginState pluginState;

namespace {

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

// Everything the frame does; it never waits, since whatever it does to the
// game lasts this frame only.
void framePass() {
    PluginState& state = pluginState;
    if (!state.bindingsLoaded) {
        loadKeyBindings();
        state.bindingsLoaded = true;
    }

    checkGameFocus();

    if (keyPressed(bindingsState.keys.reloadKey, state.reloadKeyWasDown)) {
        showNotification(reloadKeyBindings());
    }

    if (togglePressed()) {
        gearboxState.transmissionEnabled = !gearboxState.transmissionEnabled;
        showSubtitle(gearboxState.transmissionEnabled ? "Manual Transmission ~g~Enabled~w~!"
                                                      : "Manual Transmission ~r~Disabled~w~!");
        if (!gearboxState.transmissionEnabled) {
            releaseGearbox();
        }
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
    } catch (...) {
    }
    showNotification(
        logged ? "Manual Gearbox: an error switched the gearbox off. See ManualGearbox.log"
               : "Manual Gearbox: an error switched the gearbox off.");
}

} // namespace

void resetPlugin(Reset what) {
    if (what == Reset::Everything) {
        keyboardState = KeyboardState{};
        bindingsState = BindingsState{};
        gearboxState = GearboxState{};
        pluginState = PluginState{};
        return;
    }
    restartGearbox();
    pluginState = PluginState{.bindingsLoaded = pluginState.bindingsLoaded,
                              .noticeGiven = pluginState.noticeGiven};
}

void runFramePass() {
    try {
        framePass();
    } catch (const std::exception& error) {
        switchOffAfterFault(error.what());
    } catch (...) {
        switchOffAfterFault("an unknown exception");
    }
}

void scriptEntry() {
    resetPlugin(Reset::Restart);
    for (;;) {
        runFramePass();
        scriptWait(0);
    }
}
