// A stand-in dinput8.dll for Windows programs under Wine: the interfaces of
// DirectInput 8 that the plug-in and check-bindings use, over a stand-in
// world's game controllers, so that the real DirectInput code of the .asi
// runs. Wine loads it from beside the program with WINEDLLOVERRIDES=dinput8=n,b.
//
// In a program that exports the world behind the stand-in hook (drive.exe),
// the controllers are the drive's. Elsewhere, they are those of the drive
// script that MG_STAND_IN_DRIVE names, played in a world of this library's
// own, a frame a Poll; without one, none are attached.
#define CINTERFACE
#define DIRECTINPUT_VERSION 0x0800
#include <windows.h>

#include <dinput.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <fstream>
#include <iterator>
#include <string>

#include "sim/hook_control.h"
#include "sim/windows_dinput/controller_timeline.h"

namespace {

const sim::ControllerQuestions* questions = nullptr;

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

template <typename... Arguments>
HRESULT STDMETHODCALLTYPE notImplemented(Arguments...) {
    return E_NOTIMPL;
}

// --- IDirectInputDevice8W, one a controller ---------------------------------------

struct Device {
    IDirectInputDevice8W face;
    LONG references;
    int index;
    bool formatSet = false;
    LONG lowest = 0;
    LONG highest = controllerAxisTop;
};

Device* deviceOf(IDirectInputDevice8W* face) {
    return reinterpret_cast<Device*>(face);
}

bool sameGuid(const GUID& a, const GUID& b) {
    return IsEqualGUID(a, b) != 0;
}

// DirectInput's properties are numbers cast to GUID pointers.
bool isProperty(const GUID& property, std::uintptr_t number) {
    return reinterpret_cast<std::uintptr_t>(&property) == number;
}

HRESULT STDMETHODCALLTYPE deviceQueryInterface(IDirectInputDevice8W* face, REFIID id,
                                               void** object) {
    if (!sameGuid(id, IID_IUnknown) && !sameGuid(id, IID_IDirectInputDevice8W)) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ++deviceOf(face)->references;
    *object = face;
    return S_OK;
}

ULONG STDMETHODCALLTYPE deviceAddRef(IDirectInputDevice8W* face) {
    return static_cast<ULONG>(++deviceOf(face)->references);
}

ULONG STDMETHODCALLTYPE deviceRelease(IDirectInputDevice8W* face) {
    Device* device = deviceOf(face);
    const LONG left = --device->references;
    if (left == 0) {
        questions->close(device->index);
        delete device;
    }
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE getProperty(IDirectInputDevice8W* face, REFGUID property,
                                      DIPROPHEADER* header) {
    const sim::Controller& controller =
        questions->world->controllers[static_cast<std::size_t>(deviceOf(face)->index)];
    if (!isProperty(property, 24) || header->dwSize != sizeof(DIPROPDWORD)) {
        return DIERR_UNSUPPORTED;
    }
    reinterpret_cast<DIPROPDWORD*>(header)->dwData =
        MAKELONG(controller.id.vendor, controller.id.product);
    return DI_OK;
}

HRESULT STDMETHODCALLTYPE setProperty(IDirectInputDevice8W* face, REFGUID property,
                                      const DIPROPHEADER* header) {
    if (!isProperty(property, 4) || header->dwSize != sizeof(DIPROPRANGE) ||
        header->dwHow != DIPH_DEVICE) {
        return DIERR_UNSUPPORTED;
    }
    const auto* range = reinterpret_cast<const DIPROPRANGE*>(header);
    deviceOf(face)->lowest = range->lMin;
    deviceOf(face)->highest = range->lMax;
    return DI_OK;
}

HRESULT STDMETHODCALLTYPE setDataFormat(IDirectInputDevice8W* face, const DIDATAFORMAT* format) {
    Device* device = deviceOf(face);
    if (format == nullptr || format->dwDataSize != sizeof(DIJOYSTATE2)) {
        return DIERR_INVALIDPARAM;
    }
    device->formatSet = questions->open(device->index);
    return device->formatSet ? DI_OK : DIERR_INPUTLOST;
}

HRESULT STDMETHODCALLTYPE setCooperativeLevel(IDirectInputDevice8W*, HWND, DWORD) {
    return DI_OK;
}

HRESULT STDMETHODCALLTYPE acquire(IDirectInputDevice8W* face) {
    Device* device = deviceOf(face);
    if (!device->formatSet) {
        return DIERR_INVALIDPARAM;
    }
    return questions->acquire(device->index) ? DI_OK : DIERR_UNPLUGGED;
}

HRESULT STDMETHODCALLTYPE unacquire(IDirectInputDevice8W* face) {
    questions->close(deviceOf(face)->index);
    return DI_OK;
}

HRESULT STDMETHODCALLTYPE poll(IDirectInputDevice8W*) {
    if (!timeline.changes.empty()) {
        scriptMs += sim::world.frameMs;
        playScriptUntil(scriptMs);
    }
    return DI_OK;
}

HRESULT STDMETHODCALLTYPE getDeviceState(IDirectInputDevice8W* face, DWORD bytes, void* data) {
    const Device* device = deviceOf(face);
    if (bytes != sizeof(DIJOYSTATE2) || !device->formatSet) {
        return DIERR_INVALIDPARAM;
    }
    ControllerInput input;
    switch (questions->read(device->index, input)) {
    case SystemRead::Lost:
        return DIERR_INPUTLOST;
    case SystemRead::NotAcquired:
        return DIERR_NOTACQUIRED;
    case SystemRead::Failed:
        return E_FAIL;
    case SystemRead::Read:
        break;
    }
    DIJOYSTATE2 state{};
    LONG* axes[] = {&state.lX,  &state.lY,  &state.lZ,           &state.lRx,
                    &state.lRy, &state.lRz, &state.rglSlider[0], &state.rglSlider[1]};
    for (std::size_t i = 0; i < controllerAxisCount; ++i) {
        *axes[i] =
            device->lowest +
            static_cast<LONG>(std::lround(static_cast<double>(input.axes[i]) / controllerAxisTop *
                                          (device->highest - device->lowest)));
    }
    for (DWORD& pov : state.rgdwPOV) {
        pov = 0xFFFFFFFF;
    }
    for (std::size_t i = 0; i < input.buttons.size(); ++i) {
        state.rgbButtons[i] = input.buttons[i] ? 0x80 : 0;
    }
    *static_cast<DIJOYSTATE2*>(data) = state;
    return DI_OK;
}

IDirectInputDevice8WVtbl deviceFunctions = {
    .QueryInterface = deviceQueryInterface,
    .AddRef = deviceAddRef,
    .Release = deviceRelease,
    .GetCapabilities = notImplemented,
    .EnumObjects = notImplemented,
    .GetProperty = getProperty,
    .SetProperty = setProperty,
    .Acquire = acquire,
    .Unacquire = unacquire,
    .GetDeviceState = getDeviceState,
    .GetDeviceData = notImplemented,
    .SetDataFormat = setDataFormat,
    .SetEventNotification = notImplemented,
    .SetCooperativeLevel = setCooperativeLevel,
    .GetObjectInfo = notImplemented,
    .GetDeviceInfo = notImplemented,
    .RunControlPanel = notImplemented,
    .Initialize = notImplemented,
    .CreateEffect = notImplemented,
    .EnumEffects = notImplemented,
    .GetEffectInfo = notImplemented,
    .GetForceFeedbackState = notImplemented,
    .SendForceFeedbackCommand = notImplemented,
    .EnumCreatedEffectObjects = notImplemented,
    .Escape = notImplemented,
    .Poll = poll,
    .SendDeviceData = notImplemented,
    .EnumEffectsInFile = notImplemented,
    .WriteEffectToFile = notImplemented,
    .BuildActionMap = notImplemented,
    .SetActionMap = notImplemented,
    .GetImageInfo = notImplemented,
};

// --- IDirectInput8W ---------------------------------------------------------------

struct Input {
    IDirectInput8W face;
    LONG references;
};

// A controller's instance by its index in the world, and its product's as
// Windows makes it of a USB device's ids.
GUID instanceOf(int index) {
    return {0x4D474258, 0x0000, static_cast<WORD>(index), {0, 0, 0, 0, 0, 0, 0, 0}};
}

GUID productOf(ControllerId id) {
    return {static_cast<DWORD>(MAKELONG(id.vendor, id.product)),
            0x0000,
            0x0000,
            {0x00, 0x00, 'P', 'I', 'D', 'V', 'I', 'D'}};
}

DWORD deviceTypeOf(ControllerType type) {
    switch (type) {
    case ControllerType::Wheel:
        return DI8DEVTYPE_DRIVING | (DI8DEVTYPEDRIVING_DUALPEDALS << 8);
    case ControllerType::Pedals:
        return DI8DEVTYPE_SUPPLEMENTAL | (DI8DEVTYPESUPPLEMENTAL_THREEPEDALS << 8);
    case ControllerType::Shifter:
        return DI8DEVTYPE_SUPPLEMENTAL | (DI8DEVTYPESUPPLEMENTAL_SHIFTER << 8);
    case ControllerType::Pad:
        return DI8DEVTYPE_GAMEPAD | (DI8DEVTYPEGAMEPAD_STANDARD << 8);
    case ControllerType::Joystick:
        return DI8DEVTYPE_JOYSTICK | (DI8DEVTYPEJOYSTICK_STANDARD << 8);
    case ControllerType::Other:
        break;
    }
    return DI8DEVTYPE_1STPERSON | (DI8DEVTYPE1STPERSON_UNKNOWN << 8);
}

HRESULT STDMETHODCALLTYPE inputQueryInterface(IDirectInput8W* face, REFIID id, void** object) {
    if (!sameGuid(id, IID_IUnknown) && !sameGuid(id, IID_IDirectInput8W)) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ++reinterpret_cast<Input*>(face)->references;
    *object = face;
    return S_OK;
}

ULONG STDMETHODCALLTYPE inputAddRef(IDirectInput8W* face) {
    return static_cast<ULONG>(++reinterpret_cast<Input*>(face)->references);
}

ULONG STDMETHODCALLTYPE inputRelease(IDirectInput8W* face) {
    Input* input = reinterpret_cast<Input*>(face);
    const LONG left = --input->references;
    if (left == 0) {
        delete input;
    }
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE createDevice(IDirectInput8W*, REFGUID instance,
                                       IDirectInputDevice8W** device, IUnknown*) {
    const auto& controllers = questions->world->controllers;
    for (std::size_t i = 0; i < controllers.size(); ++i) {
        if (sameGuid(instance, instanceOf(static_cast<int>(i)))) {
            *device = &(new Device{{&deviceFunctions}, 1, static_cast<int>(i)})->face;
            return DI_OK;
        }
    }
    *device = nullptr;
    return DIERR_DEVICENOTREG;
}

HRESULT STDMETHODCALLTYPE enumDevices(IDirectInput8W*, DWORD deviceClass,
                                      LPDIENUMDEVICESCALLBACKW callback, void* context, DWORD) {
    if (deviceClass != DI8DEVCLASS_GAMECTRL && deviceClass != DI8DEVCLASS_ALL) {
        return DI_OK;
    }
    questions->list();
    const sim::World& world = *questions->world;
    for (const int index : world.controllersListed) {
        const sim::Controller& controller = world.controllers[static_cast<std::size_t>(index)];
        DIDEVICEINSTANCEW instance{};
        instance.dwSize = sizeof instance;
        instance.guidInstance = instanceOf(index);
        instance.guidProduct = productOf(controller.id);
        instance.dwDevType = deviceTypeOf(controller.type) | DIDEVTYPE_HID;
        MultiByteToWideChar(CP_UTF8, 0, controller.name.c_str(), -1, instance.tszProductName,
                            MAX_PATH - 1);
        std::wcscpy(instance.tszInstanceName, instance.tszProductName);
        if (callback(&instance, context) == DIENUM_STOP) {
            break;
        }
    }
    return DI_OK;
}

IDirectInput8WVtbl inputFunctions = {
    .QueryInterface = inputQueryInterface,
    .AddRef = inputAddRef,
    .Release = inputRelease,
    .CreateDevice = createDevice,
    .EnumDevices = enumDevices,
    .GetDeviceStatus = notImplemented,
    .RunControlPanel = notImplemented,
    .Initialize = notImplemented,
    .FindDevice = notImplemented,
    .EnumDevicesBySemantics = notImplemented,
    .ConfigureDevices = notImplemented,
};

} // namespace

// As DirectInput's: a module of the caller's own, version 8, the wide
// interface. A program's own module is refused when it runs the stand-in
// hook: a plug-in must pass the handle of its own DLL.
extern "C" HRESULT WINAPI DirectInput8Create(HINSTANCE module, DWORD version, REFIID id,
                                             void** object, IUnknown*) {
    *object = nullptr;
    if (questions == nullptr) {
        questions = findQuestions();
    }
    const bool drive = questions->world != &sim::world;
    if (module == nullptr || (drive && module == GetModuleHandleW(nullptr))) {
        return DIERR_INVALIDPARAM;
    }
    if (version != DIRECTINPUT_VERSION) {
        return DIERR_OLDDIRECTINPUTVERSION;
    }
    if (!sameGuid(id, IID_IDirectInput8W)) {
        return DIERR_NOINTERFACE;
    }
    *object = &(new Input{{&inputFunctions}, 1})->face;
    return DI_OK;
}
