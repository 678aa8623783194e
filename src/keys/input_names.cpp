#include "keys/input_names.h"

#include <array>

#include "keys/virtual_keys.h"

namespace {

struct PadControl {
    std::int32_t control;
    std::string_view name;
};
// The buttons of an Xbox-style pad in a car, and the controls the gearbox reads.
constexpr std::array<PadControl, 14> padControls = {{
    {68, "LB, vehicle aim"},
    {71, "RT, accelerate"},
    {72, "LT, brake"},
    {73, "A, duck"},
    {74, "D-pad right, headlights"},
    {75, "Y, exit"},
    {76, "RB, handbrake"},
    {79, "R3, look behind"},
    {80, "B, cinematic camera"},
    {85, "D-pad left, radio wheel"},
    {86, "L3, horn"},
    {99, "X, next vehicle weapon"},
    {190, "D-pad right, frontend right"},
    {208, "RT, frontend"},
}};

} // namespace

std::string_view padControlName(std::int32_t control) {
    for (const PadControl& pad : padControls) {
        if (pad.control == control) {
            return pad.name;
        }
    }
    return {};
}

std::string keyName(VirtualKeyCode code) {
    return keyNameText(code);
}

const char* keyNameText(VirtualKeyCode code) {
    if (code == 0) {
        return "no key";
    }
    const char* name = virtualKeyName(code);
    return name != nullptr ? name : "no virtual key";
}

std::string joined(const std::vector<std::string>& items) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) {
            text += i + 1 == items.size() ? " and " : ", ";
        }
        text += items[i];
    }
    return text;
}
