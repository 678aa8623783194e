// Registers a script that only waits, and never asks for a key.
#include <windows.h>

#include "host/natives.h"

namespace {

void idle() {
    for (;;) {
        scriptWait(0);
    }
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        scriptRegister(module, idle);
    }
    return TRUE;
}
