// The key codes that the key-binding file holds and the keyboard query takes.
#pragma once

#include <cstdint>

// A Windows virtual-key code; 0 stands for no key and never reads as down.
using VirtualKeyCode = std::int32_t;
