// Windows entry point: register the script and do nothing else at load time;
// at unload, write a recording that would otherwise be lost, at once.
#include <windows.h>

#include "host/game_controllers.h"
#include "host/script_hook.h"
#include "plugin/script.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        keepOwnModule(module);
        scriptRegister(module, scriptEntry);
    } else if (reason == DLL_PROCESS_DETACH) {
        // The hook must not run a script whose code is gone.
        scriptUnregister(module);
        unloadPlugin();
        // Unloaded while the game goes on, DirectInput's objects go too; as
        // the process ends, dinput8.dll may be gone already.
        if (reserved == nullptr) {
            closeControllers();
        }
    }
    return TRUE;
}
