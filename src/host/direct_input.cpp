// The game controllers through DirectInput 8, the one place that knows it.
// dinput8.dll is loaded when a controller is first looked for, never at the
// plug-in's load, and then stays loaded; closing lets go of its objects.
// Nothing DirectInput calls back can throw: its callbacks copy into fixed
// storage, and what allocates happens once it has returned.
#include "host/direct_input.h"

#define DIRECTINPUT_VERSION 0x0800
#include <dinput.h>

#include <algorithm>
#include <array>
#include <cwchar>
#include <memory>
#include <type_traits>

#include "host/controller_system.h"
#include "host/files.h"
#include "host/game_controllers.h"

namespace {

using DirectInputCreate = HRESULT(WINAPI*)(HINSTANCE, DWORD, REFIID, void**, IUnknown*);

// One reference to a COM object, released when it is let go; a device is
// unacquired first.
struct ComRelease {
    void operator()(IUnknown* object) const { object->Release(); }
};
struct DeviceRelease {
    void operator()(IDirectInputDevice8W* device) const {
        device->Unacquire();
        device->Release();
    }
};
using InputReference = std::unique_ptr<IDirectInput8W, ComRelease>;
using DeviceReference = std::unique_ptr<IDirectInputDevice8W, DeviceRelease>;

struct WindowDestroy {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using OwnWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroy>;

// A controller as EnumDevices described it, copied before the next one.
struct ListedInstance {
    GUID instance{};
    DWORD type = 0;
    std::array<wchar_t, std::extent_v<decltype(DIDEVICEINSTANCEW::tszProductName)>> name{};
    std::size_t nameLength = 0;
};

struct Listing {
    std::array<ListedInstance, controllersAtMost> instances;
    std::size_t count = 0;
};

struct DirectInputObjects {
    // Stays loaded for the process's life once loaded.
    HMODULE library = nullptr;
    InputReference input;
    // By their place in the last list: each until the next list, or closed.
    std::array<DeviceReference, controllersAtMost> devices;
    // Whether the last Acquire of each went through.
    std::array<bool, controllersAtMost> acquired{};
    // The instance each was made from, for force feedback's device.
    std::array<GUID, controllersAtMost> instances{};
    Listing listing;
    // While the process shows no window of its own: cooperativeWindow's.
    OwnWindow ownWindow;
};

HINSTANCE directInputModule = nullptr;

// Never destroyed: at the plug-in's unload DirectInput's objects are left to
// the process, since releasing them under the loader lock may wait forever.
DirectInputObjects& objects() {
    static DirectInputObjects* const held = new DirectInputObjects;
    return *held;
}

bool startDirectInput() {
    DirectInputObjects& held = objects();
    if (held.input) {
        return true;
    }
    if (directInputModule == nullptr) {
        return false;
    }
    if (held.library == nullptr) {
        held.library = LoadLibraryW(L"dinput8.dll");
    }
    // Through void*, since FARPROC has another function type.
    const auto create = held.library == nullptr
                            ? nullptr
                            : reinterpret_cast<DirectInputCreate>(reinterpret_cast<void*>(
                                  GetProcAddress(held.library, "DirectInput8Create")));
    IDirectInput8W* created = nullptr;
    if (create == nullptr ||
        FAILED(create(directInputModule, DIRECTINPUT_VERSION, IID_IDirectInput8W,
                      reinterpret_cast<void**>(&created), nullptr))) {
        return false;
    }
    // A success without an object, as a faulty wrapper may answer, is a failure.
    held.input.reset(created);
    return created != nullptr;
}

void releaseDevices() {
    DirectInputObjects& held = objects();
    std::ranges::fill(held.devices, nullptr);
    held.acquired = {};
}

struct WindowSearch {
    DWORD process = 0;
    HWND shown = nullptr;
    HWND main = nullptr;
};

// Only a shown window counts: a hidden one of the process (an input method's,
// say) may go with the thread that made it.
BOOL CALLBACK searchWindow(HWND window, LPARAM context) noexcept {
    WindowSearch& search = *reinterpret_cast<WindowSearch*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search.process || !IsWindowVisible(window)) {
        return TRUE;
    }
    if (GetWindow(window, GW_OWNER) == nullptr) {
        search.main = window;
        return FALSE;
    }
    search.shown = search.shown != nullptr ? search.shown : window;
    return TRUE;
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

// Each attached controller's instance, type and name, the name up to the end
// of its array when no NUL ends it.
BOOL CALLBACK listInstance(const DIDEVICEINSTANCEW* instance, void* context) noexcept {
    Listing& listing = *static_cast<Listing*>(context);
    if (listing.count == listing.instances.size()) {
        return DIENUM_STOP;
    }
    if (instance == nullptr) {
        return DIENUM_CONTINUE;
    }
    ListedInstance& listed = listing.instances[listing.count++];
    listed.instance = instance->guidInstance;
    listed.type = instance->dwDevType;
    listed.nameLength = wcsnlen(instance->tszProductName, listed.name.size());
    std::copy_n(instance->tszProductName, listed.nameLength, listed.name.begin());
    return DIENUM_CONTINUE;
}

// Low word the vendor, high word the product; 0000:0000 when not told.
ControllerId idOf(IDirectInputDevice8W& device) {
    DIPROPDWORD vidpid{};
    vidpid.diph.dwSize = sizeof vidpid;
    vidpid.diph.dwHeaderSize = sizeof vidpid.diph;
    vidpid.diph.dwHow = DIPH_DEVICE;
    if (FAILED(device.GetProperty(DIPROP_VIDPID, &vidpid.diph))) {
        vidpid.dwData = 0;
    }
    return {LOWORD(vidpid.dwData), HIWORD(vidpid.dwData)};
}

bool hasForceFeedback(IDirectInputDevice8W& device) {
    DIDEVCAPS capabilities{};
    capabilities.dwSize = sizeof capabilities;
    return SUCCEEDED(device.GetCapabilities(&capabilities)) &&
           (capabilities.dwFlags & DIDC_FORCEFEEDBACK) != 0;
}

} // namespace

void useModuleForDirectInput(HINSTANCE module) {
    directInputModule = module;
}

// The window DirectInput's cooperative level takes, a top-level window of this
// process, found by the process's id (another program's may have the game's
// class): the game's main window, shown and owned by no other window; else a
// shown one that another owns, such as a dialog; else, in a console program or
// before the game shows one, a hidden window of our own, kept until
// DirectInput is let go. Its class is the system's STATIC, whose window
// procedure isn't in this DLL, so it outlives the plug-in's unload
// harmlessly, as DirectInput's objects do.
HWND cooperativeWindow() {
    WindowSearch search{GetCurrentProcessId()};
    EnumWindows(searchWindow, reinterpret_cast<LPARAM>(&search));
    if (search.main != nullptr || search.shown != nullptr) {
        return search.main != nullptr ? search.main : search.shown;
    }
    DirectInputObjects& held = objects();
    if (!held.ownWindow) {
        held.ownWindow.reset(CreateWindowExW(0, L"STATIC", L"Manual Gearbox", WS_POPUP, 0, 0, 0, 0,
                                             nullptr, nullptr, directInputModule, nullptr));
    }
    return held.ownWindow.get();
}

IDirectInput8W* directInputObject() {
    return objects().input.get();
}

const GUID& listedInstance(std::size_t place) {
    return objects().instances[place];
}

// A controller whose device can't be made, or is made without an object, is
// left out.
std::size_t listSystemControllers(GameController* list, std::size_t most) {
    releaseDevices();
    if (!startDirectInput()) {
        return 0;
    }
    DirectInputObjects& held = objects();
    held.listing.count = 0;
    held.input->EnumDevices(DI8DEVCLASS_GAMECTRL, listInstance, &held.listing, DIEDFL_ATTACHEDONLY);
    std::size_t count = 0;
    for (std::size_t i = 0; i < held.listing.count && count < most; ++i) {
        const ListedInstance& listed = held.listing.instances[i];
        IDirectInputDevice8W* created = nullptr;
        if (FAILED(held.input->CreateDevice(listed.instance, &created, nullptr)) ||
            created == nullptr) {
            continue;
        }
        held.devices[count].reset(created);
        held.instances[count] = listed.instance;
        GameController& controller = list[count++];
        controller.forceFeedback = hasForceFeedback(*created);
        controller.id = idOf(*created);
        controller.type = typeOf(listed.type);
        controller.name = utf8({listed.name.data(), listed.nameLength});
    }
    return count;
}

bool openSystemController(std::size_t index) {
    DirectInputObjects& held = objects();
    IDirectInputDevice8W* const device = held.devices[index].get();
    if (device == nullptr || FAILED(device->SetDataFormat(&c_dfDIJoystick2)) ||
        FAILED(device->SetCooperativeLevel(cooperativeWindow(),
                                           DISCL_BACKGROUND | DISCL_NONEXCLUSIVE))) {
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
    acquireSystemController(index);
    return true;
}

// One whose Acquire failed reads as not acquired, whatever a faulty wrapper
// answers, and is acquired again as a lost one is.
SystemRead readSystemController(std::size_t index, ControllerInput& input) {
    DirectInputObjects& held = objects();
    IDirectInputDevice8W* const device = held.devices[index].get();
    if (device == nullptr) {
        return SystemRead::Failed;
    }
    DIJOYSTATE2 state;
    HRESULT result = device->Poll();
    if (SUCCEEDED(result)) {
        result = device->GetDeviceState(sizeof state, &state);
    }
    if (result == DIERR_INPUTLOST) {
        held.acquired[index] = false;
        return SystemRead::Lost;
    }
    if (result == DIERR_NOTACQUIRED || !held.acquired[index]) {
        held.acquired[index] = false;
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
    DirectInputObjects& held = objects();
    IDirectInputDevice8W* const device = held.devices[index].get();
    held.acquired[index] = device != nullptr && SUCCEEDED(device->Acquire());
}

void closeSystemControllers() {
    DirectInputObjects& held = objects();
    releaseDevices();
    held.input.reset();
    held.ownWindow.reset();
}
