// The game controllers through DirectInput 8, the one place that knows it.
// dinput8.dll is loaded when a controller is first looked for, never at the
// plug-in's load, and then stays loaded; closing lets go of its objects.
#include <windows.h>

#define DIRECTINPUT_VERSION 0x0800
#include <dinput.h>

#include <algorithm>
#include <array>

#include "host/controller_system.h"
#include "host/files.h"
#include "host/game_controllers.h"

namespace {

using DirectInputCreate = HRESULT(WINAPI*)(HINSTANCE, DWORD, REFIID, void**, IUnknown*);

HINSTANCE ownModule = nullptr;
HMODULE library = nullptr;
IDirectInput8W* directInput = nullptr;
// By their place in the last list: each until it is dropped, or closed
// once opened.
std::array<IDirectInputDevice8W*, controllersAtMost> devices{};

bool startDirectInput() {
    if (directInput != nullptr) {
        return true;
    }
    if (library == nullptr) {
        library = LoadLibraryW(L"dinput8.dll");
    }
    // Through void*, since FARPROC has another function type.
    const auto create = library == nullptr
                            ? nullptr
                            : reinterpret_cast<DirectInputCreate>(reinterpret_cast<void*>(
                                  GetProcAddress(library, "DirectInput8Create")));
    const HINSTANCE module = ownModule != nullptr ? ownModule : GetModuleHandleW(nullptr);
    if (create == nullptr || FAILED(create(module, DIRECTINPUT_VERSION, IID_IDirectInput8W,
                                           reinterpret_cast<void**>(&directInput), nullptr))) {
        directInput = nullptr;
        return false;
    }
    return true;
}

void releaseDevices() {
    for (IDirectInputDevice8W*& device : devices) {
        if (device != nullptr) {
            device->Unacquire();
            device->Release();
            device = nullptr;
        }
    }
}

ControllerType typeOf(DWORD deviceType) {
    const BYTE subtype = GET_DIDEVICE_SUBTYPE(deviceType);
    switch (GET_DIDEVICE_TYPE(deviceType)) {
    case DI8DEVTYPE_DRIVING:
        return ControllerType::Wheel;
    case DI8DEVTYPE_GAMEPAD:
        return ControllerType::Pad;
    case DI8DEVTYPE_JOYSTICK:
        return ControllerType::Joystick;
    case DI8DEVTYPE_SUPPLEMENTAL:
        if (subtype == DI8DEVTYPESUPPLEMENTAL_SHIFTER ||
            subtype == DI8DEVTYPESUPPLEMENTAL_SHIFTSTICKGATE) {
            return ControllerType::Shifter;
        }
        if (subtype >= DI8DEVTYPESUPPLEMENTAL_COMBINEDPEDALS &&
            subtype <= DI8DEVTYPESUPPLEMENTAL_RUDDERPEDALS) {
            return ControllerType::Pedals;
        }
        break;
    default:
        break;
    }
    return ControllerType::Other;
}

struct Listing {
    std::span<GameController> list;
    std::size_t count = 0;
};

// Each attached controller's device, kept for opening, with its id, type and
// name.
BOOL CALLBACK listed(const DIDEVICEINSTANCEW* instance, void* context) {
    Listing& listing = *static_cast<Listing*>(context);
    if (listing.count == listing.list.size()) {
        return DIENUM_STOP;
    }
    IDirectInputDevice8W* device = nullptr;
    if (FAILED(directInput->CreateDevice(instance->guidInstance, &device, nullptr))) {
        return DIENUM_CONTINUE;
    }
    DIPROPDWORD vidpid{};
    vidpid.diph.dwSize = sizeof vidpid;
    vidpid.diph.dwHeaderSize = sizeof vidpid.diph;
    vidpid.diph.dwHow = DIPH_DEVICE;
    // Low word the vendor, high word the product; 0000:0000 when not told.
    if (FAILED(device->GetProperty(DIPROP_VIDPID, &vidpid.diph))) {
        vidpid.dwData = 0;
    }
    GameController& controller = listing.list[listing.count];
    controller.id = {LOWORD(vidpid.dwData), HIWORD(vidpid.dwData)};
    controller.type = typeOf(instance->dwDevType);
    controller.name = utf8(instance->tszProductName);
    devices[listing.count++] = device;
    return DIENUM_CONTINUE;
}

} // namespace

void keepOwnModule(HINSTANCE__* module) {
    ownModule = module;
}

std::size_t listSystemControllers(GameController* list, std::size_t most) {
    releaseDevices();
    if (!startDirectInput()) {
        return 0;
    }
    Listing listing{{list, std::min(most, devices.size())}};
    directInput->EnumDevices(DI8DEVCLASS_GAMECTRL, listed, &listing, DIEDFL_ATTACHEDONLY);
    return listing.count;
}

bool openSystemController(std::size_t index) {
    IDirectInputDevice8W* const device = devices[index];
    // Shared and in the background, which needs no window.
    if (FAILED(device->SetDataFormat(&c_dfDIJoystick2)) ||
        FAILED(device->SetCooperativeLevel(nullptr, DISCL_BACKGROUND | DISCL_NONEXCLUSIVE))) {
        return false;
    }
    DIPROPRANGE range{};
    range.diph.dwSize = sizeof range;
    range.diph.dwHeaderSize = sizeof range.diph;
    range.diph.dwHow = DIPH_DEVICE;
    range.lMin = 0;
    range.lMax = controllerAxisTop;
    // A controller without axes refuses a range, and is still read.
    device->SetProperty(DIPROP_RANGE, &range.diph);
    device->Acquire();
    return true;
}

SystemRead readSystemController(std::size_t index, ControllerInput& input) {
    IDirectInputDevice8W* const device = devices[index];
    DIJOYSTATE2 state;
    HRESULT result = device->Poll();
    if (SUCCEEDED(result)) {
        result = device->GetDeviceState(sizeof state, &state);
    }
    if (result == DIERR_INPUTLOST) {
        return SystemRead::Lost;
    }
    if (result == DIERR_NOTACQUIRED) {
        return SystemRead::NotAcquired;
    }
    if (FAILED(result)) {
        return SystemRead::Failed;
    }
    const LONG axes[] = {state.lX,  state.lY,  state.lZ,           state.lRx,
                         state.lRy, state.lRz, state.rglSlider[0], state.rglSlider[1]};
    for (std::size_t i = 0; i < input.axes.size(); ++i) {
        input.axes[i] = static_cast<std::uint16_t>(std::clamp<LONG>(axes[i], 0, controllerAxisTop));
    }
    for (std::size_t i = 0; i < input.buttons.size(); ++i) {
        input.buttons[i] = (state.rgbButtons[i] & 0x80) != 0;
    }
    return SystemRead::Read;
}

void acquireSystemController(std::size_t index) {
    devices[index]->Acquire();
}

void closeSystemControllers() {
    releaseDevices();
    if (directInput != nullptr) {
        directInput->Release();
        directInput = nullptr;
    }
}
