// The input codes every floor shares: Windows' virtual-key codes and the
// game's control numbers.
#pragma once

#include <cstdint>

// A Windows virtual-key code; 0 stands for no key and never reads as down.
using VirtualKeyCode = std::int32_t;
// Windows' virtual-key codes run from 0 to this.
inline constexpr VirtualKeyCode highestVirtualKey = 0xFF;

// A game control's number, as the game's control natives take it: an
// action such as accelerate, which a key, a mouse button or a pad's button
// or trigger may give.
using ControlId = std::int32_t;
