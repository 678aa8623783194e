// Names of Windows virtual-key codes, shared by every tool that shows or reads
// a key: the binding checker, the drive scripts and the README's key table.
#pragma once

#include <optional>
#include <span>
#include <string_view>

struct VirtualKeyName {
    int code;
    const char* name;
};

// Every defined virtual-key code, in ascending order, each with one name.
std::span<const VirtualKeyName> virtualKeyNames();

// The key's name, or nullptr when the code is no defined virtual key.
const char* virtualKeyName(int code);

// The code of a key named as in the table; letters may be in either case.
std::optional<int> virtualKeyCode(std::string_view name);
