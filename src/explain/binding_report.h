// Explaining a key-binding file: what each line binds or why it binds nothing,
// the bindings that result and what is wrong with them. check-bindings prints
// it and the plug-in writes it to its log, in the same words.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "explain/binding_reading.h"

// What the explanation, the log and the notices say of a file over the limit.
inline constexpr std::string_view tooLargeNote = "larger than 1 MiB, not read";

// The whole explanation; name is how the file is shown.
std::string bindingFileReport(const BindingReading& reading, std::string_view name);

// The bindings table, the warnings and the result line alone, as the
// explanation ends.
std::string resultingBindingsReport(const BindingReading& reading);
