// Reads game controllers through the host floor's DirectInput code, as the
// gearbox will: looks for a wheel on its first pass and whenever F5 is
// pressed, reads it every pass, and shows what it read as a subtitle.
#include <windows.h>

#include <cstdio>
#include <string>

#include "host/direct_input.h"
#include "host/game_controllers.h"
#include "host/keyboard.h"
#include "host/natives.h"

namespace {

constexpr ControllerId wheel = {0x046D, 0xC24F};

// "2 found, 1 open: 046D:C24F wheel G29: Slider0 0.25, buttons 13 19".
std::string shown() {
    std::size_t opened = 0;
    for (const GameController& controller : foundControllers()) {
        opened += controller.opened ? 1 : 0;
    }
    char text[160];
    int length =
        std::snprintf(text, sizeof text, "%zu found, %zu open", foundControllers().size(), opened);
    const GameController* read = controllerOf(wheel);
    if (read == nullptr) {
        return text;
    }
    const auto add = [&](const char* format, auto... values) {
        length += std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length),
                                format, values...);
    };
    add(": %s %s %s:", controllerIdText(read->id).c_str(),
        controllerTypeNames[static_cast<std::size_t>(read->type)].data(), read->name.c_str());
    const char* separator = " ";
    for (std::size_t axis = 0; axis < controllerAxisCount; ++axis) {
        if (read->input.axes[axis] != 0) {
            add("%s%s %.2f", separator, controllerAxisNames[axis].data(),
                static_cast<double>(axisTravel(read->input, axis)));
            separator = ", ";
        }
    }
    if (read->input.buttons.any()) {
        add("%sbuttons", separator);
    }
    for (int button = 1; button <= controllerButtonCount; ++button) {
        if (buttonDown(read->input, button)) {
            add(" %d", button);
        }
    }
    if (read->released) {
        add(" released");
    } else if (read->input == ControllerInput{}) {
        add(" no input");
    }
    return text;
}

void controllerScript() {
    bool looked = false;
    bool reloadWasDown = false;
    for (;;) {
        checkGameFocus();
        if (!looked || keyPressed(VK_F5, reloadWasDown)) {
            findControllers({&wheel, 1});
            looked = true;
        }
        readControllers();
        beginSubtitle("STRING");
        addTextString(shown().c_str());
        printSubtitle(100);
        scriptWait(0);
    }
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        useModuleForDirectInput(module);
        scriptRegister(module, controllerScript);
    } else if (reason == DLL_PROCESS_DETACH) {
        scriptUnregister(module);
        closeControllers();
    }
    return TRUE;
}
