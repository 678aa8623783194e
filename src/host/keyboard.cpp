#include "host/natives.h"

#if defined(_WIN32)
#include <windows.h>
#else
// The stand-in host provides the key-state query in the native build.
extern "C" short GetAsyncKeyState(int key);
#endif

// Bit 15 of the result is the key's current state; the other bits are ignored.
bool keyDown(VirtualKeyCode key) {
    return GetAsyncKeyState(key) < 0;
}
