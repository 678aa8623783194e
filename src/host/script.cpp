#include "host/script.h"

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
constexpr HookDword togglePauseMs = 50;

// A held key would otherwise flip the gearbox on every pass, so a press of
// ordinary length left it on or off by chance; a key counts once per press.
bool togglePressed() {
    const bool controlActive = controlFired(toggleControl);
    const bool arrowPressed = keyPressed(rightArrowKey, toggleArrowWasDown);
    const bool boundKeyPressed = keyPressed(keyBindings.toggleKey, toggleKeyWasDown);
    return controlActive || arrowPressed || boundKeyPressed;
}

} // namespace

void runFramePass() {
    if (!bindingsLoaded) {
        loadKeyBindings();
        bindingsLoaded = true;
    }

    // Once a pass: the keys read after a pause count as the pass began.
    checkGameFocus();

    if (keyPressed(keyBindings.reloadKey, reloadKeyWasDown)) {
        showNotification(reloadKeyBindings());
    }

    if (togglePressed()) {
        gearboxState.transmissionEnabled = !gearboxState.transmissionEnabled;
        showSubtitle(gearboxState.transmissionEnabled ? "Manual Transmission ~g~Enabled~w~!"
                                                      : "Manual Transmission ~r~Disabled~w~!");
        scriptWait(togglePauseMs);
    }

    if (gearboxState.transmissionEnabled) {
        updateGearbox();
    } else {
        releaseGearbox();
    }
}

void scriptEntry() {
    for (;;) {
        runFramePass();
        scriptWait(0);
    }
}
