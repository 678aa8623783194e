// Windows entry point: register the script and do nothing else at load time;
// at unload, write a recording that would otherwise be lost, at once.
#include <windows.h>

#include <cstdlib>

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

// Replaces libstdc++'s default terminate handler, which prints the exception's
// type on a console the game doesn't have, and so brings its demangler,
// about 46 kB, into the DLL. Every pass catches what it throws: only a fault
// past that ends the game, as the default handler would.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
} // namespace __gnu_cxx
