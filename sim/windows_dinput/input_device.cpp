// The stand-in's IDirectInputDevice8W: one object a controller of the
// world, read as DirectInput reads it, and refusing what DirectInput
// documents it refuses.
#include <cmath>

#include "sim/windows_dinput/stand_in.h"

namespace stand_in {

namespace {

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
        questions().close(device->index);
        delete device;
    }
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE getProperty(IDirectInputDevice8W* face, REFGUID property,
                                      DIPROPHEADER* header) {
    const sim::Controller& controller =
        questions().world->controllers[static_cast<std::size_t>(deviceOf(face)->index)];
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
    const ControllerFault fault = questions().format(device->index);
    device->formatSet = fault.step == ControllerStep::None;
    return answerOf(fault);
}

// The window must be a top-level window of this process, as DirectInput
// documents: a null window, one that isn't a window, a child window, a
// message-only one and another process's are refused.
HRESULT STDMETHODCALLTYPE setCooperativeLevel(IDirectInputDevice8W* face, HWND window, DWORD) {
    DWORD process = 0;
    if (window == nullptr || !IsWindow(window) ||
        GetAncestor(window, GA_PARENT) != GetDesktopWindow() ||
        GetWindowThreadProcessId(window, &process) == 0 || process != GetCurrentProcessId()) {
        return E_HANDLE;
    }
    return answerOf(questions().share(deviceOf(face)->index));
}

HRESULT STDMETHODCALLTYPE acquire(IDirectInputDevice8W* face) {
    Device* device = deviceOf(face);
    if (!device->formatSet) {
        return DIERR_INVALIDPARAM;
    }
    return answerOf(questions().acquire(device->index));
}

HRESULT STDMETHODCALLTYPE unacquire(IDirectInputDevice8W* face) {
    questions().close(deviceOf(face)->index);
    return DI_OK;
}

HRESULT STDMETHODCALLTYPE poll(IDirectInputDevice8W* face) {
    playScriptFrame();
    return answerOf(questions().poll(deviceOf(face)->index));
}

HRESULT STDMETHODCALLTYPE getDeviceState(IDirectInputDevice8W* face, DWORD bytes, void* data) {
    const Device* device = deviceOf(face);
    if (bytes != sizeof(DIJOYSTATE2) || !device->formatSet) {
        return DIERR_INVALIDPARAM;
    }
    ControllerInput input;
    if (const ControllerFault fault = questions().read(device->index, input);
        fault.step != ControllerStep::None) {
        return answerOf(fault);
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

} // namespace

IDirectInputDevice8W* newDevice(int index) {
    return &(new Device{{&deviceFunctions}, 1, index})->face;
}

} // namespace stand_in
