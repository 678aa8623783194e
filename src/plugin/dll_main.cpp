// Windows entry point: register the script and do nothing else at load time;
// at unload, write a recording that would otherwise be lost, at once.
#include <windows.h>

#include "host/script_hook.h"
#include "plugin/script.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        scriptRegister(module, scriptEntry);
    } else if (reason == DLL_PROCESS_DETACH) {
        // The hook must not run a script whose code is gone.
        scriptUnregister(module);
        unloadPlugin();
    }
    return TRUE;
}
