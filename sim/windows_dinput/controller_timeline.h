// What a drive script does to game controllers, as the stand-in dinput8.dll
// plays it in a world of its own for a program that runs no drive, such as
// check-bindings.exe --controllers. Only the lines that plug, unplug, move an
// axis or hold a button are taken; the drive runner reads the whole language.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "keys/controller_parts.h"

namespace sim {

struct ControllerChange {
    enum class Kind { Plug, Unplug, Axis, Button };
    std::int64_t timeMs = 0;
    Kind kind = Kind::Plug;
    // Its place in World::controllers: the script's number less one.
    int index = 0;
    // Plug: the controller.
    ControllerId id;
    ControllerType type = ControllerType::Other;
    std::string name;
    // Axis: its place in controllerAxisNames; Button: its number.
    int part = 0;
    float travel = 0.0f;
    bool down = false;
};

struct ControllerTimeline {
    std::vector<ControllerChange> changes;
    // The first line that changes a controller and can't be read, by number.
    std::string error;
};

ControllerTimeline readControllerTimeline(std::string_view text);

} // namespace sim
