// Breaks the hook's and the game's rules: it waits while it loads, its script
// switches the engine off with three of SET_VEHICLE_ENGINE_ON's four arguments,
// as the gearbox once did, and then returns.
#include <windows.h>

#include "host/natives.h"

namespace {

void returningScript() {
    GetAsyncKeyState(VK_RIGHT);
    const GameHandle character = resultInt(invokeNative<Native::PlayerCharacter>());
    const GameHandle vehicle = resultInt(invokeNative<Native::VehicleOfCharacter>(character));
    invokeNative<Native::StallEngine>(vehicle, std::int32_t{0}, std::int32_t{0});
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        scriptRegister(module, returningScript);
        scriptWait(0);
    }
    return TRUE;
}
