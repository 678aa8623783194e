// Reading a key-binding file with the plug-in's own reader and explaining it.
#pragma once

#include <cstdio>
#include <ostream>
#include <string>

enum class CheckResult {
    // The clutch and all five gear keys are bound.
    Complete,
    // The file was read, but the clutch or a gear key is not bound.
    Incomplete,
    // A read error: nothing was printed.
    Unreadable,
};

// Prints what each line of the file binds or why it binds nothing, the
// bindings that result, and warnings; `name` is how the file is shown.
CheckResult checkBindings(std::FILE* file, const std::string& name, std::ostream& out);
