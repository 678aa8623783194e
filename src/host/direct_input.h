// What the Windows build's game controllers (direct_input.cpp) need from the
// program that reads them, which sets it before it first looks for one.
#pragma once

#include <windows.h>

#include <cstddef>

// DirectInput is created for this module, and not at all until it is given.
// A DLL gives its own (DllMain's): DirectInput refuses a DLL that passes its
// program's. A program gives its own.
void useModuleForDirectInput(HINSTANCE module);

// For the force feedback's own device object (direct_input_forces.cpp):
// DirectInput's object while it is started, else null; the instance of the
// controller at this place in the last list; and the window its cooperative
// levels take, a top-level window of the process.
struct IDirectInput8W;
IDirectInput8W* directInputObject();
const GUID& listedInstance(std::size_t place);
HWND cooperativeWindow();
