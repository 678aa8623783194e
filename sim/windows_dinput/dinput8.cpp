// A stand-in dinput8.dll for Windows programs under Wine: the interfaces of
// DirectInput 8 that the plug-in and check-bindings use, over a stand-in
// world's game controllers, so that the real DirectInput code of the .asi
// runs. Wine loads it from beside the program with WINEDLLOVERRIDES=dinput8=n,b.
//
// In a program that exports the world behind the stand-in hook (drive.exe),
// the controllers are the drive's. Elsewhere, they are those of the drive
// script that MG_STAND_IN_DRIVE names, played in a world of this library's
// own, a frame a Poll; without one, none are attached.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "sim/windows_dinput/controller_timeline.h"
#include "sim/windows_dinput/stand_in.h"

namespace stand_in {

namespace {

const sim::ControllerQuestions* answering = nullptr;

// The drive script's controller lines played in this library's own world, and
// its time.
sim::ControllerTimeline timeline;
std::size_t nextChange = 0;
std::int64_t scriptMs = 0;

void playScriptUntil(std::int64_t timeMs) {
    using Kind = sim::ControllerChange::Kind;
    for (; nextChange < timeline.changes.size() && timeline.changes[nextChange].timeMs <= timeMs;
         ++nextChange) {
        const sim::ControllerChange& change = timeline.changes[nextChange];
        if (change.kind == Kind::Plug) {
            sim::plugController(change.index, change.id, change.type, change.name);
            continue;
        }
        if (change.index >= static_cast<int>(sim::world.controllers.size())) {
            continue;
        }
        sim::Controller& controller =
            sim::world.controllers[static_cast<std::size_t>(change.index)];
        if (change.kind == Kind::Unplug) {
            sim::unplugController(change.index);
        } else if (change.kind == Kind::Axis) {
            controller.input.axes[static_cast<std::size_t>(change.part)] =
                static_cast<std::uint16_t>(std::lround(change.travel * controllerAxisTop));
        } else {
            controller.input.buttons[static_cast<std::size_t>(change.part - 1)] = change.down;
        }
    }
}

// The drive's world, or this library's own with the script's controllers.
const sim::ControllerQuestions* findQuestions() {
    const auto drive = reinterpret_cast<sim::ControllersFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(nullptr), sim::controllersExport)));
    if (const sim::ControllerQuestions* drives = drive ? drive() : nullptr) {
        return drives;
    }
    static const sim::ControllerQuestions own = sim::worldControllers();
    if (const char* path = std::getenv("MG_STAND_IN_DRIVE")) {
        std::ifstream file(path, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(file)), {});
        timeline = sim::readControllerTimeline(text);
        if (!file || !timeline.error.empty()) {
            std::fprintf(stderr, "stand-in dinput8: %s: %s\n", path,
                         file ? timeline.error.c_str() : "cannot be read");
        }
        playScriptUntil(0);
    }
    return &own;
}

} // namespace

const sim::ControllerQuestions& questions() {
    return *answering;
}

void playScriptFrame() {
    if (!timeline.changes.empty()) {
        scriptMs += sim::world.frameMs;
        playScriptUntil(scriptMs);
    }
}

} // namespace stand_in

// As DirectInput's: a module of the caller's own, version 8, the wide
// interface. A program's own module is refused when it runs the stand-in
// hook: a plug-in must pass the handle of its own DLL.
extern "C" HRESULT WINAPI DirectInput8Create(HINSTANCE module, DWORD version, REFIID id,
                                             void** object, IUnknown*) {
    using stand_in::answering;
    *object = nullptr;
    if (answering == nullptr) {
        answering = stand_in::findQuestions();
    }
    const bool drive = answering->world != &sim::world;
    if (module == nullptr || (drive && module == GetModuleHandleW(nullptr))) {
        return DIERR_INVALIDPARAM;
    }
    if (version != DIRECTINPUT_VERSION) {
        return DIERR_OLDDIRECTINPUTVERSION;
    }
    if (!stand_in::sameGuid(id, IID_IDirectInput8W)) {
        return DIERR_NOINTERFACE;
    }
    stand_in::noteWorldThread();
    if (stand_in::onWorldThread()) {
        if (const ControllerFault fault = answering->start(); fault.step != ControllerStep::None) {
            return stand_in::answerOf(fault);
        }
    }
    *object = stand_in::newDirectInput();
    return DI_OK;
}
