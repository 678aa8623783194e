// The hook's entry points and the Windows calls for the native build: the
// plug-in runs on the test's own stack, and a wait simply moves the world on by
// the frames it covers.
#include "host/script_hook.h"
#include "host/windows_api.h"
#include "sim/world.h"

extern "C" {

void scriptRegister(HINSTANCE__*, void (*scriptMain)()) {
    sim::world.registeredScript = scriptMain;
}

void scriptUnregister(HINSTANCE__*) {
    sim::world.registeredScript = nullptr;
}

void scriptWait(HookDword milliseconds) {
    sim::recordWait(milliseconds);
    sim::advanceFrames(sim::framesCovering(milliseconds));
}

void nativeInit(unsigned long long hash) {
    sim::beginNative(hash);
}

void nativePush64(unsigned long long value) {
    sim::pushArgument(value);
}

unsigned long long* nativeCall() {
    return sim::callNative();
}

short GetAsyncKeyState(int key) {
    return sim::keyState(key);
}

HWND GetForegroundWindow() {
    return static_cast<HWND>(sim::foregroundWindow());
}

DWORD GetWindowThreadProcessId(HWND window, DWORD* processId) {
    return sim::windowThreadProcessId(window, processId);
}

DWORD GetCurrentProcessId() {
    return sim::world.processId;
}
}
