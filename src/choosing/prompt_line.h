// The line that asks the player for a key or a wheel's part while choosing,
// with the one in use, or why the last pressed was refused.
#pragma once

#include <array>

#include "binding_file/binding_reader.h"
#include "choosing/choosing_state.h"
#include "host/natives.h"

// The line as the game shows it.
using PromptLine = std::array<char, textLengthAtMost + 1>;

// The line for the step asked for, with the keys and parts in use.
void writePromptLine(const ChoosingState& state, const KeyBindings& keys, PromptLine& line);
