// The stand-in's IDirectInputDevice8W: one object a controller of the
// world, read as DirectInput reads it, and refusing what DirectInput
// documents it refuses.
#include <cmath>
#include <utility>
#include <vector>

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
    // Force feedback's device: set up exclusively, and holding the
    // controller once acquired; its gain and auto-centre until then, and the
    // effects it created.
    bool exclusive = false;
    bool holds = false;
    DWORD gain = DI_FFNOMINALMAX;
    bool autoCentre = true;
    int effectsCreated = 0;
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

// The controller's place in the last list, as the plug-in names it.
std::size_t placeOf(int index) {
    const std::vector<int>& listed = questions().world->controllersListed;
    return static_cast<std::size_t>(std::ranges::find(listed, index) - listed.begin());
}

void tellOpened(const Device& device, ForceFeedbackStatus status) {
    questions().forces.opened(placeOf(device.index), static_cast<std::int32_t>(device.gain / 100),
                              status);
}

// Force feedback's device lets go of the controller; the reading one no
// longer reads it.
void letGo(Device& device) {
    if (!device.exclusive) {
        questions().close(device.index);
    } else if (std::exchange(device.holds, false)) {
        questions().forces.release();
    }
}

ULONG STDMETHODCALLTYPE deviceRelease(IDirectInputDevice8W* face) {
    Device* device = deviceOf(face);
    const LONG left = --device->references;
    if (left == 0) {
        letGo(*device);
        delete device;
    }
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE getCapabilities(IDirectInputDevice8W* face, DIDEVCAPS* capabilities) {
    const Device* device = deviceOf(face);
    if (capabilities == nullptr || capabilities->dwSize != sizeof(DIDEVCAPS)) {
        return DIERR_INVALIDPARAM;
    }
    const bool forces =
        questions().world->controllers[static_cast<std::size_t>(device->index)].forceFeedback;
    capabilities->dwFlags = DIDC_ATTACHED | (forces ? DIDC_FORCEFEEDBACK : 0);
    capabilities->dwAxes = controllerAxisCount;
    capabilities->dwButtons = controllerButtonCount;
    capabilities->dwPOVs = 4;
    if (device->exclusive && !forces) {
        tellOpened(*device, ForceFeedbackStatus::NoForceFeedback);
    }
    return DI_OK;
}

// Only on the device held exclusively, as DirectInput documents.
HRESULT STDMETHODCALLTYPE sendCommand(IDirectInputDevice8W* face, DWORD command) {
    if (!deviceOf(face)->holds) {
        return DIERR_NOTEXCLUSIVEACQUIRED;
    }
    switch (command) {
    case DISFFC_RESET:
        questions().forces.command(sim::ForceCommand::Reset);
        return DI_OK;
    case DISFFC_SETACTUATORSON:
        questions().forces.command(sim::ForceCommand::ActuatorsOn);
        return DI_OK;
    case DISFFC_STOPALL:
        questions().forces.command(sim::ForceCommand::StopAll);
        return DI_OK;
    default:
        return DIERR_INVALIDPARAM;
    }
}

// The opening is told once its third effect is made, the last the plug-in
// makes.
HRESULT STDMETHODCALLTYPE createEffect(IDirectInputDevice8W* face, REFGUID kind,
                                       const DIEFFECT* parameters, IDirectInputEffect** effect,
                                       IUnknown*) {
    Device* device = deviceOf(face);
    *effect = nullptr;
    const std::optional<ForceEffect> known = effectKind(kind);
    if (!known) {
        return DIERR_DEVICENOTREG;
    }
    if (!device->holds) {
        return DIERR_NOTEXCLUSIVEACQUIRED;
    }
    if (parameters == nullptr || parameters->dwSize != sizeof(DIEFFECT) || parameters->cAxes != 1 ||
        parameters->rgdwAxes == nullptr) {
        return DIERR_INVALIDPARAM;
    }
    *effect = newEffect(*known, device->index);
    if (++device->effectsCreated == static_cast<int>(forceEffectCount)) {
        tellOpened(*device, ForceFeedbackStatus::On);
    }
    return DI_OK;
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

// Force feedback's gain (7) and auto-centre (9), or an axis range (4).
HRESULT STDMETHODCALLTYPE setProperty(IDirectInputDevice8W* face, REFGUID property,
                                      const DIPROPHEADER* header) {
    if ((isProperty(property, 7) || isProperty(property, 9)) &&
        header->dwSize == sizeof(DIPROPDWORD) && header->dwHow == DIPH_DEVICE) {
        const DWORD value = reinterpret_cast<const DIPROPDWORD*>(header)->dwData;
        Device* device = deviceOf(face);
        if (isProperty(property, 7)) {
            device->gain = value;
        } else {
            device->autoCentre = value != 0;
        }
        return DI_OK;
    }
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
    // Force feedback's device doesn't read.
    if (device->exclusive) {
        device->formatSet = true;
        return DI_OK;
    }
    const ControllerFault fault = questions().format(device->index);
    device->formatSet = fault.step == ControllerStep::None;
    return answerOf(fault);
}

// The window must be a top-level window of this process, as DirectInput
// documents: a null window, one that isn't a window, a child window, a
// message-only one and another process's are refused; so is a level that
// isn't one of exclusive and shared, and one of foreground and background.
HRESULT STDMETHODCALLTYPE setCooperativeLevel(IDirectInputDevice8W* face, HWND window,
                                              DWORD level) {
    const DWORD shared = level & (DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE);
    const DWORD place = level & (DISCL_FOREGROUND | DISCL_BACKGROUND);
    if ((shared != DISCL_EXCLUSIVE && shared != DISCL_NONEXCLUSIVE) ||
        (place != DISCL_FOREGROUND && place != DISCL_BACKGROUND)) {
        return DIERR_INVALIDPARAM;
    }
    DWORD process = 0;
    if (window == nullptr || !IsWindow(window) ||
        GetAncestor(window, GA_PARENT) != GetDesktopWindow() ||
        GetWindowThreadProcessId(window, &process) == 0 || process != GetCurrentProcessId()) {
        return E_HANDLE;
    }
    Device* device = deviceOf(face);
    device->exclusive = shared == DISCL_EXCLUSIVE;
    return device->exclusive ? DI_OK : answerOf(questions().share(device->index));
}

HRESULT STDMETHODCALLTYPE acquire(IDirectInputDevice8W* face) {
    Device* device = deviceOf(face);
    if (!device->formatSet) {
        return DIERR_INVALIDPARAM;
    }
    if (!device->exclusive) {
        return answerOf(questions().acquire(device->index));
    }
    const ForceFeedbackStatus held = questions().forces.hold(device->index);
    if (held == ForceFeedbackStatus::Taken) {
        tellOpened(*device, held);
        return DIERR_OTHERAPPHASPRIO;
    }
    device->holds = held == ForceFeedbackStatus::On;
    if (device->holds) {
        questions().forces.gain(static_cast<std::int32_t>(device->gain));
        questions().forces.autoCentre(device->autoCentre);
    }
    return held == ForceFeedbackStatus::Failed ? DIERR_UNPLUGGED : DI_OK;
}

HRESULT STDMETHODCALLTYPE unacquire(IDirectInputDevice8W* face) {
    letGo(*deviceOf(face));
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
    .GetCapabilities = getCapabilities,
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
    .CreateEffect = createEffect,
    .EnumEffects = notImplemented,
    .GetEffectInfo = notImplemented,
    .GetForceFeedbackState = notImplemented,
    .SendForceFeedbackCommand = sendCommand,
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
