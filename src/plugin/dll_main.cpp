// Windows entry point: register the script and do nothing else at load time;
// at unload, write a recording that would otherwise be lost, at once.
#include <windows.h>

#include "host/direct_input.h"
#include "host/script_hook.h"
#include "plugin/script.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        useModuleForDirectInput(module);
        scriptRegister(module, scriptEntry);
    } else if (reason == DLL_PROCESS_DETACH) {
        // The hook must not run a script whose code is gone.
        scriptUnregister(module);
        unloadPlugin();
        // DirectInput's objects are left to the process, which may go on: a
        // release here would call into dinput8.dll under the loader lock,
        // where it may wait for its input thread to end, which needs that
        // lock. They keep no pointer into this DLL.
    }
    return TRUE;
}
