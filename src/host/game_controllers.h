// The game controllers (wheels, pedals, shifters, pads) the plug-in reads,
// as the floors above see them: each one its id, type and name, its axes as
// numbers from 0 to 1, from the axis's lowest to its highest, and its
// buttons, numbered from 1. Which system answers (DirectInput, or natively
// the stand-in) is this floor's business alone (controller_system.h).
//
// Finding is slow, since DirectInput takes tens of milliseconds to list the
// controllers: only on a first pass, a reload, or when choosing starts.
// Reading is for every pass, and allocates nothing. Nothing here loads
// DirectInput until a controller is first looked for, and in the Windows
// build not before the program gives it its module (direct_input.h).
#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "host/controller_faults.h"
#include "keys/controller_parts.h"
#include "recording/recording.h"

static_assert(controllerAxisCount == recordedAxisCount);
static_assert(lastControllerStep == recordedFaultStepsAtMost);

// Windows' game-controller panel shows up to 16; the rest are not found.
inline constexpr std::size_t controllersAtMost = 16;
// A name longer than this is cut, between two characters.
inline constexpr std::size_t controllerNameBytesAtMost = 127;

struct ControllerInput {
    // In controllerAxisNames' order, from 0, the axis's lowest, to
    // controllerAxisTop, its highest.
    std::array<std::uint16_t, controllerAxisCount> axes{};
    // Bit 0 is button 1.
    std::bitset<controllerButtonCount> buttons;
    bool operator==(const ControllerInput&) const = default;
};

// How far an axis is from its lowest (0) to its highest (1); the direction
// a binding takes it in is the floors' above.
inline float axisTravel(const ControllerInput& input, std::size_t axis) {
    return static_cast<float>(input.axes[axis]) / controllerAxisTop;
}

// Whether the button, from 1 to controllerButtonCount, is down.
inline bool buttonDown(const ControllerInput& input, int button) {
    return button >= 1 && button <= controllerButtonCount &&
           input.buttons[static_cast<std::size_t>(button - 1)];
}

struct GameController {
    ControllerId id;
    ControllerType type = ControllerType::Other;
    // UTF-8, as Windows names the product.
    std::string name;
    // Opened to be read on every pass: wanted when found, and set up.
    bool opened = false;
    // It has force feedback (DirectInput's DIDC_FORCEFEEDBACK).
    bool forceFeedback = false;
    // Not read on the last pass: not opened, lost (unplugged, or taken by
    // another program), or not yet acquired again. Its input is then all
    // released: no button down, every axis at 0.
    bool released = true;
    // Why it wasn't opened, or why its last read failed: the read's, or
    // Acquire's after it. None while it reads, and before its first read.
    ControllerFault fault;
    ControllerInput input;
};

// How far a part of the controller is pressed, from 0 to 1: a button 0 or 1,
// an axis its travel the way the part takes it. A controller released reads
// 0, although its axes at 0 would read fully pressed towards their lowest.
inline float pressedTravel(const GameController& controller, ControllerPart part) {
    if (controller.released) {
        return 0.0f;
    }
    if (isAxisPart(part)) {
        const float travel = axisTravel(controller.input, partAxis(part));
        return partTowardsLowest(part) ? 1.0f - travel : travel;
    }
    return buttonDown(controller.input, part) ? 1.0f : 0.0f;
}

struct ControllersState {
    std::size_t count = 0;
    // The controllers found, in the system's order.
    std::array<GameController, controllersAtMost> found;
    // The places of those opened, so that a pass reads them without stepping
    // over the others.
    std::size_t openedCount = 0;
    std::array<std::uint8_t, controllersAtMost> opened{};
    // Why none could be looked for: starting DirectInput, or listing, failed.
    ControllerFault systemFault;
};

// Looks for the attached game controllers, and opens those with one of the
// wanted ids; closes every controller opened before. Slow.
void findControllers(std::span<const ControllerId> wanted);
// The same, opening every controller found: for choosing, when any button
// of any controller may be the one.
void findEveryController();

// The controllers the last look found, for the log and for choosing.
std::span<const GameController> foundControllers();

// Why the last look found none: DirectInput couldn't be started, or
// couldn't list; none when it could.
ControllerFault controllersSystemFault();

// Whether a controller was attached since the last look, which a look
// running off the script's thread found: looking is slow. Cheap, for every
// pass while a controller named isn't listed; findControllers then takes
// what that look found.
bool controllersArrived();

// The first controller found with the id that was opened, or nullptr.
const GameController* controllerOf(ControllerId id);

// How far a bound part is pressed, from 0 to 1, as read this pass; 0 for one
// unbound, or whose controller wasn't found or reads as released.
inline float pressedTravel(const ControllerBinding& input) {
    const GameController* controller = input.part != 0 ? controllerOf(input.device) : nullptr;
    return controller != nullptr ? pressedTravel(*controller, input.part) : 0.0f;
}

// What a pass's reads came to: all read, or one failed, having read on the
// pass before (anew) or not.
enum class ControllersRead : std::uint8_t { Read, Failed, FailedAnew };

// Reads every opened controller once: each pass, before its input is used.
// A controller lost is acquired again for a later pass, and reads as
// released meanwhile. A pass costs the same however many are attached but
// not opened.
ControllersRead readControllers();

// Closes every controller and lets go of DirectInput; the library stays
// loaded for the next look.
void closeControllers();

// A replay starts the device layer with the controllers a recording kept,
// opened as they were and with their faults, without asking the system.
void restoreControllers(const std::vector<RecordedController>& kept, ControllerFault systemFault);

// The pass being recorded keeps the controllers found, after the plug-in's
// state, so that a replay can start there (nothing when none were found).
[[gnu::cold]] void tapKeptControllers();
