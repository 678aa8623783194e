// The system's side of the game controllers, under the device layer
// (game_controllers.h): DirectInput in the Windows build (direct_input.cpp);
// natively the stand-in, whose hook defines these functions as it defines
// GetAsyncKeyState. A controller is named by its place in the list made
// last.
#pragma once

#include <cstddef>

#include "host/controller_faults.h"

struct ControllerInput;
struct GameController;

// Lists the attached game controllers, at most `most`, with their ids, types
// and names, in the system's order, and closes what the list before opened.
// The count listed; none when the system has no game controllers, or when
// starting it or listing failed, which fault then tells. A controller listed
// whose device can't be made has that fault of its own, and is never opened.
std::size_t listSystemControllers(GameController* list, std::size_t most, ControllerFault& fault);
// Sets a listed controller up to be read on every pass, shared with other
// programs and in the background, its axes from 0 to controllerAxisTop, and
// acquires it: the step that failed, or none. One whose Acquire failed is
// set up all the same, and acquired again as a lost one is.
ControllerFault openSystemController(std::size_t index);
// Polls an opened controller, then reads its state into input: the step that
// failed, or none.
ControllerFault readSystemController(std::size_t index, ControllerInput& input);
ControllerFault acquireSystemController(std::size_t index);
// Whether a look for game controllers, made off the script's thread where
// listing is slow, found one attached that the last list lacks; the next
// list is then that look's. Cheap: asked once a pass while a controller that
// the bindings name isn't listed.
bool systemControllersArrived();
// Closes every controller opened, and lets go of the system.
void closeSystemControllers();
