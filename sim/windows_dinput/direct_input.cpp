// The stand-in's IDirectInput8W: the world's plugged controllers listed, and
// a device made of each.
#include <atomic>
#include <cwchar>

#include "sim/windows_dinput/stand_in.h"

namespace stand_in {

namespace {

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

// A list made off the world's thread, which the world records once the
// plug-in takes it, as it makes the devices of its controllers.
std::atomic<bool> listedOffThread = false;

HRESULT STDMETHODCALLTYPE createDevice(IDirectInput8W*, REFGUID instance,
                                       IDirectInputDevice8W** device, IUnknown*) {
    *device = nullptr;
    if (listedOffThread.exchange(false)) {
        questions().list();
    }
    const auto& controllers = questions().world->controllers;
    for (std::size_t i = 0; i < controllers.size(); ++i) {
        if (sameGuid(instance, instanceOf(static_cast<int>(i)))) {
            const ControllerFault fault = questions().create(static_cast<int>(i));
            *device = fault.step == ControllerStep::None ? newDevice(static_cast<int>(i)) : nullptr;
            return answerOf(fault);
        }
    }
    return DIERR_DEVICENOTREG;
}

bool describe(int index, const sim::Controller& controller, LPDIENUMDEVICESCALLBACKW callback,
              void* context) {
    DIDEVICEINSTANCEW instance{};
    instance.dwSize = sizeof instance;
    instance.guidInstance = instanceOf(index);
    instance.guidProduct = productOf(controller.id);
    instance.dwDevType = deviceTypeOf(controller.type) | DIDEVTYPE_HID;
    describeName(controller, instance.tszProductName);
    std::wmemcpy(instance.tszInstanceName, instance.tszProductName, MAX_PATH);
    return callback(&instance, context) != DIENUM_STOP;
}

// Off the world's thread, as a look of its own, the plugged controllers,
// and nothing recorded.
HRESULT STDMETHODCALLTYPE enumDevices(IDirectInput8W*, DWORD deviceClass,
                                      LPDIENUMDEVICESCALLBACKW callback, void* context, DWORD) {
    if (deviceClass != DI8DEVCLASS_GAMECTRL && deviceClass != DI8DEVCLASS_ALL) {
        return DI_OK;
    }
    if (!onWorldThread()) {
        for (const auto& [index, controller] : questions().plugged()) {
            if (!describe(index, controller, callback, context)) {
                break;
            }
        }
        listedOffThread = true;
        return DI_OK;
    }
    listedOffThread = false;
    if (const ControllerFault fault = questions().list(); fault.step != ControllerStep::None) {
        return answerOf(fault);
    }
    const sim::World& world = *questions().world;
    for (const int index : world.controllersListed) {
        if (!describe(index, world.controllers[static_cast<std::size_t>(index)], callback,
                      context)) {
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

IDirectInput8W* newDirectInput() {
    return &(new Input{{&inputFunctions}, 1})->face;
}

} // namespace stand_in
