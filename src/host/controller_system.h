// The system's side of the game controllers, under the device layer
// (game_controllers.h): DirectInput in the Windows build (direct_input.cpp);
// natively the stand-in, whose hook defines these functions as it defines
// GetAsyncKeyState. A controller is named by its place in the list made
// last.
#pragma once

#include <cstddef>

struct ControllerInput;
struct GameController;

// What reading a controller came to. After Lost (unplugged, or taken by
// another program) and NotAcquired it can be acquired again.
enum class SystemRead { Read, Lost, NotAcquired, Failed };

// Lists the attached game controllers, at most `most`, with their ids, types
// and names, in the system's order, and closes what the list before opened.
// The count listed; none when the system has no game controllers.
std::size_t listSystemControllers(GameController* list, std::size_t most);
// Sets a listed controller up to be read on every pass, shared with other
// programs and in the background, its axes from 0 to controllerAxisTop, and
// acquires it; false when it can't be read at all.
bool openSystemController(std::size_t index);
// Polls an opened controller, then reads its state into input.
SystemRead readSystemController(std::size_t index, ControllerInput& input);
void acquireSystemController(std::size_t index);
// Closes every controller opened, and lets go of the system.
void closeSystemControllers();
