// The stand-in ScriptHookV.dll for Windows: the hook's six entry points over
// the simulated world, and the registered script run on a fiber of its own, as
// a script hook runs scripts. The program that loads it steps the frames.
#include <windows.h>

#include "host/script_hook.h"
#include "sim/hook_control.h"

namespace {

void* hostFiber = nullptr;
void* scriptFiber = nullptr;
bool inScript = false;
bool scriptReturned = false;
// The script's wait ends at the first frame that starts at or after this time;
// the script runs at most once a frame, so never in the frame it began in.
std::int64_t resumeTimeMs = 0;

void switchToHost() {
    inScript = false;
    SwitchToFiber(hostFiber);
}

void WINAPI scriptFiberMain(void*) {
    sim::world.registeredScript();
    // A script is meant to run for ever; once it has returned it is never resumed.
    sim::world.faults.push_back("the registered script returned");
    scriptReturned = true;
    switchToHost();
}

bool scriptDue() {
    return !scriptReturned && sim::world.timeMs >= resumeTimeMs;
}

void runFrame() {
    if (sim::world.registeredScript && !scriptFiber) {
        if (!hostFiber) {
            hostFiber = ConvertThreadToFiber(nullptr);
        }
        scriptFiber = CreateFiber(0, scriptFiberMain, nullptr);
    }
    if (scriptFiber && scriptDue()) {
        inScript = true;
        SwitchToFiber(scriptFiber);
    }
    sim::endFrame();
}

// The next frame starts the registered script afresh on a new fiber, as the
// hook does when the game loads a save.
void dropScriptFiber() {
    if (scriptFiber) {
        DeleteFiber(scriptFiber);
        scriptFiber = nullptr;
    }
    scriptReturned = false;
    resumeTimeMs = 0;
}

void reset() {
    dropScriptFiber();
    sim::world = sim::World{};
    // The plug-in compares the foreground window's process with its own, which
    // is this one.
    sim::world.processId = GetCurrentProcessId();
}

const sim::HookControl control = sim::worldControl(runFrame, reset, dropScriptFiber);

} // namespace

// The hook's entry points with the signatures the plug-in declares; the .def
// file exports them under the hook's decorated names, and nothing else.
extern "C" {

void scriptRegister(HINSTANCE__*, void (*scriptMain)()) {
    sim::world.registeredScript = scriptMain;
}

void scriptUnregister(HINSTANCE__*) {
    if (inScript) {
        sim::world.faults.push_back("scriptUnregister called from the registered script");
        return;
    }
    dropScriptFiber();
    sim::world.registeredScript = nullptr;
}

void scriptWait(HookDword milliseconds) {
    sim::recordWait(milliseconds);
    if (!inScript) {
        sim::world.faults.push_back("scriptWait called outside the registered script");
        return;
    }
    resumeTimeMs = sim::world.timeMs + milliseconds;
    switchToHost();
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
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        reset();
        // Through void*, since FARPROC has another function type.
        const auto loaded = reinterpret_cast<sim::HookLoadedFunction>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(nullptr), sim::hookLoadedExport)));
        if (loaded) {
            loaded(&control);
        }
    }
    return TRUE;
}
