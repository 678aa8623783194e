// Breaks the hook's rules: it waits while it loads, and its script returns.
#include <windows.h>

#include "host/natives.h"

namespace {

void returningScript() {
    GetAsyncKeyState(VK_RIGHT);
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        scriptRegister(module, returningScript);
        scriptWait(0);
    }
    return TRUE;
}
