// check-bindings --controllers, where Windows has DirectInput: the game
// controllers attached, with their ids and names, then, live, which axis
// moves and which button goes down, until Ctrl+C: the numbers a player
// writes in a key-binding file.
#pragma once

#include <cstdio>
#include <string>

// Prints through print; 0 once Ctrl+C ends it, 1 when no controller is
// attached.
int showControllersLive(void (*print)(std::FILE* stream, const std::string& text));
