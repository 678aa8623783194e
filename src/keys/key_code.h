// The key-code type every floor shares: Windows' virtual-key codes.
#pragma once

#include <cstdint>

// A Windows virtual-key code; 0 stands for no key and never reads as down.
using VirtualKeyCode = std::int32_t;
// Windows' virtual-key codes run from 0 to this.
inline constexpr VirtualKeyCode highestVirtualKey = 0xFF;
