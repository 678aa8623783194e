#include "check_bindings/live_controllers.h"

#include <windows.h>

#include <array>
#include <cstdlib>

#include "host/game_controllers.h"

namespace {

volatile LONG ended = 0;

BOOL WINAPI onControl(DWORD event) {
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT || event == CTRL_CLOSE_EVENT) {
        InterlockedExchange(&ended, 1);
        return TRUE;
    }
    return FALSE;
}

// An axis is shown again once it has moved by this much: a pedal at rest
// wavers by less.
constexpr int axisStep = controllerAxisTop / 32;
// Between two reads, as a game's frames are.
constexpr DWORD readEveryMs = 20;

std::string formatted(const char* format, auto... values) {
    char text[512];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

std::string listText(std::span<const GameController> found) {
    std::string text = found.size() == 1
                           ? std::string("1 game controller attached:\n")
                           : formatted("%zu game controllers attached:\n", found.size());
    for (std::size_t i = 0; i < found.size(); ++i) {
        const GameController& controller = found[i];
        text +=
            formatted("  %zu  %s  %-8s  %s%s%s\n", i + 1, controllerIdText(controller.id).c_str(),
                      controllerTypeNames[static_cast<std::size_t>(controller.type)].data(),
                      controller.name.c_str(), controller.opened ? "" : " (can't be read)",
                      controller.forceFeedback ? ", force feedback" : "");
    }
    return text + "Move an axis or press a button to see the line that binds it. A pedal shows "
                  "as\nLeftPedal, the wheel as Steering (turn it right), a button as Gate1: write "
                  "the\nname of the line it is for (ThrottlePedal, Gate3 ...). Ctrl+C ends.\n";
}

// The line that binds the part: an axis away from where it rested, the way
// it went, as a pedal when it rested near an end and as the steering when
// near its middle; a button as a gate.
std::string bindingLine(ControllerId id, const ControllerInput& rest, const ControllerInput& input,
                        std::size_t axis, int button) {
    if (button != 0) {
        return "Gate1=" + controllerBindingText({id, button});
    }
    const float atRest = axisTravel(rest, axis);
    const bool pedal = atRest < 0.25f || atRest > 0.75f;
    return (pedal ? "LeftPedal=" : "Steering=") +
           controllerBindingText({id, axisPart(axis, input.axes[axis] < rest.axes[axis])});
}

// What changed since the input shown, which then takes it.
std::string changes(const std::string& who, ControllerId id, const ControllerInput& rest,
                    const ControllerInput& input, ControllerInput& shown) {
    std::string text;
    for (std::size_t axis = 0; axis < controllerAxisCount; ++axis) {
        if (std::abs(input.axes[axis] - shown.axes[axis]) >= axisStep) {
            text += formatted("%s  axis %s from %.2f to %.2f", who.c_str(),
                              controllerAxisNames[axis].data(),
                              static_cast<double>(axisTravel(shown, axis)),
                              static_cast<double>(axisTravel(input, axis)));
            text += input.axes[axis] == rest.axes[axis]
                        ? "\n"
                        : ": " + bindingLine(id, rest, input, axis, 0) + "\n";
            shown.axes[axis] = input.axes[axis];
        }
    }
    for (int button = 1; button <= controllerButtonCount; ++button) {
        const bool down = buttonDown(input, button);
        if (down != buttonDown(shown, button)) {
            text += formatted("%s  button %d %s", who.c_str(), button, down ? "down" : "up");
            text += down ? ": " + bindingLine(id, rest, input, 0, button) + "\n" : "\n";
            shown.buttons[static_cast<std::size_t>(button - 1)] = down;
        }
    }
    return text;
}

} // namespace

int showControllersLive(void (*print)(std::FILE* stream, const std::string& text)) {
    findEveryController();
    const std::span<const GameController> found = foundControllers();
    if (found.empty()) {
        print(stdout, "No game controller is attached, or Windows doesn't show it: see that it is "
                      "plugged in\nand listed under Game Controllers in the Control Panel "
                      "(joy.cpl).\n");
        return 1;
    }
    print(stdout, listText(found));
    std::fflush(stdout);
    SetConsoleCtrlHandler(onControl, TRUE);
    std::array<ControllerInput, controllersAtMost> shown{};
    std::array<ControllerInput, controllersAtMost> rest{};
    std::array<bool, controllersAtMost> released{};
    for (bool first = true; ended == 0; first = false) {
        if (!first) {
            Sleep(readEveryMs);
        }
        readControllers();
        std::string text;
        for (std::size_t i = 0; i < found.size(); ++i) {
            const GameController& controller = found[i];
            const std::string who =
                formatted("%zu  %s", i + 1, controllerIdText(controller.id).c_str());
            if (!controller.opened) {
                continue;
            }
            if (first || controller.released != released[i]) {
                if (!first || controller.released) {
                    text += who + (controller.released
                                       ? "  lost: unplugged, or taken by another program\n"
                                       : "  back\n");
                }
                released[i] = controller.released;
                shown[i] = controller.input;
                rest[i] = controller.input;
            }
            text += changes(who, controller.id, rest[i], controller.input, shown[i]);
        }
        if (!text.empty()) {
            print(stdout, text);
            std::fflush(stdout);
        }
    }
    closeControllers();
    print(stdout, "Ended.\n");
    return 0;
}
