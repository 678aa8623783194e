// The keys and game controls the plug-in reads or disables itself, whatever
// the key-binding file says: the gearbox and the frame loop use them, and the
// explanation of a file warns about a binding on one of them.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "keys/key_code.h"

inline constexpr VirtualKeyCode accelerateKey = 87;  // W
inline constexpr VirtualKeyCode brakeKey = 83;       // S
inline constexpr VirtualKeyCode toggleArrowKey = 39; // the right arrow

// Game controls: a press is asked about and a control disabled on the
// frontend's pad (2), a control held is read on the player's (0).
inline constexpr ControlId accelerateControl = 71;     // W, RT
inline constexpr ControlId brakeControl = 72;          // S, LT
inline constexpr ControlId toggleControl = 190;        // the right arrow, D-pad right
inline constexpr ControlId accelerateAltControl = 208; // RT as the frontend sees it
// Fed from a wheel, besides the two above.
inline constexpr ControlId steerControl = 59;     // left and right, the left stick
inline constexpr ControlId handbrakeControl = 76; // Space, RB

struct OwnInput {
    std::int32_t code;
    std::string_view use;
};

inline constexpr std::array<OwnInput, 3> ownKeys = {{
    {accelerateKey, "W to accelerate"},
    {brakeKey, "S to brake"},
    {toggleArrowKey, "the right arrow to switch the gearbox on and off"},
}};

inline constexpr std::array<OwnInput, 4> ownControls = {{
    {accelerateControl, "accelerate"},
    {brakeControl, "brake"},
    {toggleControl, "switch the gearbox on and off"},
    {accelerateAltControl, "accelerate"},
}};
