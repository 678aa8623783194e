#include "host/script.h"

#include <exception>

#include "bindings/key_bindings.h"
#include "gearbox/gearbox.h"
#include "gearbox/hud.h"
#include "host/natives.h"

bool bindingsLoaded = false;
bool toggleArrowWasDown = false;
bool toggleKeyWasDown = false;
bool reloadKeyWasDown = false;

namespace {

constexpr ControlId toggleControl = 190;
constexpr VirtualKeyCode rightArrowKey = 39;

// A held key would otherwise flip the gearbox on every pass, so a press of
// ordinary length left it on or off by chance; a key counts once per press.
bool togglePressed() {
    const bool controlActive = controlFired(toggleControl);
    const bool arrowPressed = keyPressed(rightArrowKey, toggleArrowWasDown);
    const bool boundKeyPressed = keyPressed(keyBindings.toggleKey, toggleKeyWasDown);
    return controlActive || arrowPressed || boundKeyPressed;
}

// Everything the frame does; it never waits, since whatever it does to the
// game lasts this frame only.
void framePass() {
    if (!bindingsLoaded) {
        loadKeyBindings();
        bindingsLoaded = true;
    }

    checkGameFocus();

    if (keyPressed(keyBindings.reloadKey, reloadKeyWasDown)) {
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

    if (gearboxState.transmissionEnabled) {
        updateGearbox();
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

void runFramePass() {
    try {
        framePass();
    } catch (const std::exception& error) {
        switchOffAfterFault(error.what());
    } catch (...) {
        switchOffAfterFault("an unknown exception");
    }
}

void startScript() {
    restartGearbox();
    toggleArrowWasDown = false;
    toggleKeyWasDown = false;
    reloadKeyWasDown = false;
}

void scriptEntry() {
    startScript();
    for (;;) {
        runFramePass();
        scriptWait(0);
    }
}
