// Breaks the hook's and the game's rules: it waits while it loads, its script
// switches the engine off with three of SET_VEHICLE_ENGINE_ON's four arguments,
// as the gearbox once did, and then returns.
#include <windows.h>

#include "host/natives.h"

namespace {

constexpr NativeHash playerPedIdHash = 0xD80958FC74E988A6;
constexpr NativeHash vehiclePedIsUsingHash = 0x6094AD011A2EA87D;
constexpr NativeHash engineOnHash = 0x2497C4717C8B881E;

void returningScript() {
    GetAsyncKeyState(VK_RIGHT);
    const GameHandle character = resultInt(invokeNative(playerPedIdHash));
    const GameHandle vehicle = resultInt(invokeNative(vehiclePedIsUsingHash, character));
    invokeNative(engineOnHash, vehicle, std::int32_t{0}, std::int32_t{0});
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        scriptRegister(module, returningScript);
        scriptWait(0);
    }
    return TRUE;
}
