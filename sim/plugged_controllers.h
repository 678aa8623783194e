// A game controller as the world keeps it: plugged into the computer, or
// once plugged, with the faults a drive injects into DirectInput's answers
// for it and for the system.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "host/controller_faults.h"
#include "host/game_controllers.h"

namespace sim {

// Drives number game controllers from 1 to this.
constexpr int controllerCount = static_cast<int>(controllersAtMost);

// The faults a drive injects into the game controllers' system: what each
// step of DirectInput answers in the place of its own, where set; of the
// system, Start and List; of a controller, the others. S_OK from Start or
// Create is a success that gives no object.
struct InjectedFaults {
    std::array<std::optional<std::int32_t>, lastControllerStep + 1> answers{};
    // Of a controller: EnumDevices gives its name with no NUL to end it.
    bool unterminatedName = false;
};

// A game controller plugged into the computer, or once plugged.
struct Controller {
    ControllerId id;
    ControllerType type = ControllerType::Other;
    std::string name;
    bool plugged = false;
    // By the plug-in's device object, which reads it only while acquired;
    // unplugging it loses it.
    bool acquired = false;
    // It has force feedback (a wheel has), and another program holds it
    // exclusively, so that force feedback is refused.
    bool forceFeedback = false;
    bool heldElsewhere = false;
    ControllerInput input;
    // Kept when it is plugged in again.
    InjectedFaults faults;
};

} // namespace sim
