// What the Windows build's game controllers (direct_input.cpp) need from the
// program that reads them, which sets it before it first looks for one.
#pragma once

#include <windows.h>

// DirectInput is created for this module, and not at all until it is given.
// A DLL gives its own (DllMain's): DirectInput refuses a DLL that passes its
// program's. A program gives its own.
void useModuleForDirectInput(HINSTANCE module);
