// The faults a drive script injects, as the stand-in's objects show them:
// the world's steps (sim/controller_steps.cpp) decide each fault and record
// it; here it becomes an HRESULT, or a success with no object, a product
// name with no NUL to end it, and a list made off the world's thread reads
// only what is plugged, as a look on a thread of its own asks.
#include "sim/windows_dinput/stand_in.h"

namespace stand_in {

namespace {

DWORD worldThread = 0;

} // namespace

void noteWorldThread() {
    if (worldThread == 0) {
        worldThread = GetCurrentThreadId();
    }
}

bool onWorldThread() {
    return GetCurrentThreadId() == worldThread;
}

HRESULT answerOf(const ControllerFault& fault) {
    return static_cast<HRESULT>(fault.result);
}

void describeName(const sim::Controller& controller, WCHAR (&name)[MAX_PATH]) {
    MultiByteToWideChar(CP_UTF8, 0, controller.name.c_str(), -1, name, MAX_PATH - 1);
    if (controller.faults.unterminatedName) {
        for (std::size_t at = wcslen(name); at < MAX_PATH; ++at) {
            name[at] = L'~';
        }
    }
}

} // namespace stand_in
