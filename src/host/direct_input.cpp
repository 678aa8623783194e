// The game controllers through DirectInput 8, the one place that knows it.
// dinput8.dll is loaded when a controller is first looked for, never at the
// plug-in's load, and then stays loaded; closing lets go of its objects.
// Nothing DirectInput calls back can throw: its callbacks copy into fixed
// storage, and what allocates happens once it has returned.
#include "host/direct_input.h"

#include <algorithm>
#include <cwchar>
#include <memory>

#include "host/controller_system.h"
#include "host/direct_input_listing.h"
#include "host/files.h"

static_assert(directInputAnswer::notAcquired == static_cast<HRESULT>(DIERR_NOTACQUIRED));
static_assert(directInputAnswer::inputLost == static_cast<HRESULT>(DIERR_INPUTLOST));
static_assert(directInputAnswer::otherAppHasPriority ==
              static_cast<HRESULT>(DIERR_OTHERAPPHASPRIO));
static_assert(directInputAnswer::unplugged == static_cast<HRESULT>(DIERR_UNPLUGGED));
static_assert(directInputAnswer::deviceNotRegistered == static_cast<HRESULT>(DIERR_DEVICENOTREG));
static_assert(directInputAnswer::invalidArgument == static_cast<HRESULT>(DIERR_INVALIDPARAM));

namespace {

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

struct DirectInputObjects {
    // Stays loaded for the process's life once loaded.
    HMODULE library = nullptr;
    InputReference input;
    // By their place in the last list: each until the next list, or closed.
    std::array<DeviceReference, controllersAtMost> devices;
    // Whether the last Acquire of each went through.
    std::array<bool, controllersAtMost> acquired{};
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

ControllerFault startFault(HRESULT result) {
    return {ControllerStep::Start, static_cast<std::int32_t>(result)};
}

// DirectInput8Create's failure, or dinput8.dll's as Windows gives it.
ControllerFault startDirectInput() {
    DirectInputObjects& held = objects();
    if (held.input) {
        return {};
    }
    if (directInputModule == nullptr) {
        return startFault(DIERR_INVALIDPARAM);
    }
    if (held.library == nullptr) {
        held.library = LoadLibraryW(L"dinput8.dll");
    }
    const DirectInputCreate create = directInputCreator();
    if (create == nullptr) {
        return startFault(HRESULT_FROM_WIN32(GetLastError()));
    }
    IDirectInput8W* created = nullptr;
    const HRESULT result = create(directInputModule, DIRECTINPUT_VERSION, IID_IDirectInput8W,
                                  reinterpret_cast<void**>(&created), nullptr);
    // A success without an object, as a faulty wrapper may answer, is a failure.
    held.input.reset(SUCCEEDED(result) ? created : nullptr);
    return held.input ? ControllerFault{} : startFault(result);
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

} // namespace

// Each attached controller's instance, product, type and name, the name up to
// the end of its array when no NUL ends it.
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
    listed.product = instance->guidProduct;
    listed.type = instance->dwDevType;
    listed.nameLength = wcsnlen(instance->tszProductName, listed.name.size());
    std::copy_n(instance->tszProductName, listed.nameLength, listed.name.begin());
    return DIENUM_CONTINUE;
}

namespace {

// A USB device's product GUID holds its ids, as DIPROP_VIDPID gives them,
// and ends in "PIDVID"; 0000:0000 for another.
ControllerId productId(const GUID& product) {
    static constexpr unsigned char pidVid[] = {0, 0, 'P', 'I', 'D', 'V', 'I', 'D'};
    if (!std::equal(std::begin(pidVid), std::end(pidVid), product.Data4) || product.Data2 != 0 ||
        product.Data3 != 0) {
        return {};
    }
    return {LOWORD(product.Data1), HIWORD(product.Data1)};
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

// Through void*, since FARPROC has another function type.
DirectInputCreate directInputCreator() {
    const HMODULE library = objects().library;
    return library == nullptr ? nullptr
                              : reinterpret_cast<DirectInputCreate>(reinterpret_cast<void*>(
                                    GetProcAddress(library, "DirectInput8Create")));
}

HINSTANCE moduleForDirectInput() {
    return directInputModule;
}

const Listing& lastListing() {
    return objects().listing;
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
    return objects().listing.instances[place].instance;
}

// A controller whose device can't be made, or is made without an object, is
// listed with that fault; one whose device doesn't tell its ids by the ids
// its product names. The list is the
// look's that found a controller arrived, or made here.
std::size_t listSystemControllers(GameController* list, std::size_t most, ControllerFault& fault) {
    releaseDevices();
    fault = startDirectInput();
    if (fault.step != ControllerStep::None) {
        return 0;
    }
    DirectInputObjects& held = objects();
    if (!takeLookedListing(held.listing)) {
        held.listing.count = 0;
        const HRESULT listed = held.input->EnumDevices(DI8DEVCLASS_GAMECTRL, listInstance,
                                                       &held.listing, DIEDFL_ATTACHEDONLY);
        if (FAILED(listed)) {
            fault = {ControllerStep::List, static_cast<std::int32_t>(listed)};
            return 0;
        }
    }
    const std::size_t count = std::min(held.listing.count, most);
    for (std::size_t i = 0; i < count; ++i) {
        const ListedInstance& listed = held.listing.instances[i];
        GameController& controller = list[i];
        controller.type = typeOf(listed.type);
        controller.name = utf8({listed.name.data(), listed.nameLength});
        IDirectInputDevice8W* created = nullptr;
        const HRESULT result = held.input->CreateDevice(listed.instance, &created, nullptr);
        held.devices[i].reset(SUCCEEDED(result) ? created : nullptr);
        controller.id = held.devices[i] ? idOf(*held.devices[i]) : ControllerId{};
        if (controller.id == ControllerId{}) {
            controller.id = productId(listed.product);
        }
        controller.forceFeedback = held.devices[i] && hasForceFeedback(*held.devices[i]);
        controller.fault = held.devices[i] ? ControllerFault{}
                                           : ControllerFault{ControllerStep::Create,
                                                             static_cast<std::int32_t>(result)};
    }
    return count;
}

ControllerFault openSystemController(std::size_t index) {
    DirectInputObjects& held = objects();
    IDirectInputDevice8W* const device = held.devices[index].get();
    if (device == nullptr) {
        return {ControllerStep::Create, E_POINTER};
    }
    if (const HRESULT result = device->SetDataFormat(&c_dfDIJoystick2); FAILED(result)) {
        return {ControllerStep::Format, static_cast<std::int32_t>(result)};
    }
    if (const HRESULT result =
            device->SetCooperativeLevel(cooperativeWindow(), DISCL_BACKGROUND | DISCL_NONEXCLUSIVE);
        FAILED(result)) {
        return {ControllerStep::Share, static_cast<std::int32_t>(result)};
    }
    DIPROPRANGE range{};
    range.diph.dwSize = sizeof range;
    range.diph.dwHeaderSize = sizeof range.diph;
    range.diph.dwHow = DIPH_DEVICE;
    range.lMin = 0;
    range.lMax = controllerAxisTop;
    // A controller without axes refuses a range, and is still read.
    device->SetProperty(DIPROP_RANGE, &range.diph);
    return acquireSystemController(index);
}

// One whose Acquire failed reads as not acquired, whatever a faulty wrapper
// answers, and is acquired again as a lost one is.
ControllerFault readSystemController(std::size_t index, ControllerInput& input) {
    DirectInputObjects& held = objects();
    IDirectInputDevice8W* const device = held.devices[index].get();
    if (device == nullptr) {
        return {ControllerStep::Read, E_POINTER};
    }
    DIJOYSTATE2 state;
    ControllerFault fault{ControllerStep::Poll, static_cast<std::int32_t>(device->Poll())};
    if (fault.result >= 0) {
        const HRESULT result = device->GetDeviceState(sizeof state, &state);
        fault = {ControllerStep::Read,
                 static_cast<std::int32_t>(
                     SUCCEEDED(result) && !held.acquired[index] ? DIERR_NOTACQUIRED : result)};
    }
    if (fault.result < 0) {
        if (acquiredAgainAfter(fault)) {
            held.acquired[index] = false;
        }
        return fault;
    }
    const LONG axes[] = {state.lX,  state.lY,  state.lZ,           state.lRx,
                         state.lRy, state.lRz, state.rglSlider[0], state.rglSlider[1]};
    for (std::size_t i = 0; i < input.axes.size(); ++i) {
        input.axes[i] = static_cast<std::uint16_t>(std::clamp<LONG>(axes[i], 0, controllerAxisTop));
    }
    for (std::size_t i = 0; i < input.buttons.size(); ++i) {
        input.buttons[i] = (state.rgbButtons[i] & 0x80) != 0;
    }
    return {};
}

ControllerFault acquireSystemController(std::size_t index) {
    DirectInputObjects& held = objects();
    IDirectInputDevice8W* const device = held.devices[index].get();
    const HRESULT result = device != nullptr ? device->Acquire() : E_POINTER;
    held.acquired[index] = SUCCEEDED(result);
    return held.acquired[index]
               ? ControllerFault{}
               : ControllerFault{ControllerStep::Acquire, static_cast<std::int32_t>(result)};
}

void closeSystemControllers() {
    DirectInputObjects& held = objects();
    releaseDevices();
    held.input.reset();
    held.ownWindow.reset();
}
