// How the explanation and the notices name keys and pad buttons, and lists of
// them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "keys/key_code.h"

// The key's name, "no key" for 0 or "no virtual key".
std::string keyName(VirtualKeyCode code);
const char* keyNameText(VirtualKeyCode code);

// A pad control's button and role, e.g. "LB, vehicle aim", or empty.
std::string_view padControlName(std::int32_t control);

// "a", "a and b", "a, b and c".
std::string joined(const std::vector<std::string>& items);
