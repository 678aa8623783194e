// The game controllers, as DirectInput answers for them: plugged in and
// unplugged, and each of DirectInput's steps, with the fault a drive
// injected for it, recorded as the plug-in's question it answers. The
// stand-in dinput8.dll asks them by a controller's index in
// World::controllers, the native host (controller_system.h) by its place in
// the last list, whose functions here are its.
#pragma once

#include <span>
#include <utility>
#include <vector>

#include "sim/world.h"

namespace sim {

// Plugs a controller in, its axes at 0 and no button down.
void plugController(int index, ControllerId id, ControllerType type, const std::string& name);
void unplugController(int index);
ControllerFault startControllers();
// Lists the plugged ones, in the order of their numbers.
ControllerFault listControllers();
ControllerFault createController(int index);
// SetDataFormat, after which it is opened and acquired.
ControllerFault formatController(int index);
ControllerFault shareController(int index);
ControllerFault acquireController(int index);
ControllerFault pollController(int index);
ControllerFault readController(int index, ControllerInput& input);
void closeController(int index);
// The plugged ones by their index, as a look off the world's thread may ask:
// plugging and unplugging wait for it.
std::vector<std::pair<int, Controller>> pluggedControllers();
std::size_t listSystemControllers(std::span<GameController> list, ControllerFault& fault);
ControllerFault openSystemController(std::size_t place);
ControllerFault readSystemController(std::size_t place, ControllerInput& input);
ControllerFault acquireSystemController(std::size_t place);
bool systemControllersArrived();
void closeSystemControllers();
// A question about the game controllers that a replay answers, in the
// system's place, by a controller's place in the list (a ControllerList's
// is 0).
void recordControllerQuestion(Call::Kind kind, std::size_t place);

} // namespace sim
