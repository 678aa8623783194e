// The hook's entry points, the Windows calls and DirectInput's for the native
// build: the plug-in runs on the test's own stack, and a wait simply moves
// the world on by the frames it covers.
#include "host/controller_system.h"
#include "host/game_controllers.h"
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

std::size_t listSystemControllers(GameController* list, std::size_t most) {
    return sim::listSystemControllers({list, most});
}

bool openSystemController(std::size_t index) {
    return sim::openSystemController(index);
}

SystemRead readSystemController(std::size_t index, ControllerInput& input) {
    return sim::readSystemController(index, input);
}

void acquireSystemController(std::size_t index) {
    sim::acquireSystemController(index);
}

void closeSystemControllers() {
    sim::closeSystemControllers();
}
