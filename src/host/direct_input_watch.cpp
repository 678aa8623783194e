// Looking for game controllers attached during the game, in the Windows
// build: EnumDevices takes tens of milliseconds, so it runs on a thread of
// its own, started every passesPerLook passes while a controller the
// bindings name isn't listed, with a DirectInput object of its own. The
// script's thread only starts a look and, passesPerLook passes later, takes
// its list; a controller plugged in is so found within two looks, one to two
// seconds at 60 frames a second, and the list that opens it is the look's.
// The thread holds a reference to this DLL until it ends, so that an unload
// meanwhile waits for it instead of pulling its code away.
#include <memory>
#include <type_traits>

#include "host/controller_system.h"
#include "host/direct_input_listing.h"

namespace {

constexpr unsigned passesPerLook = 60;
// How long a pass waits, at most, for a look due: it had passesPerLook
// passes, so only one stuck in a driver takes longer, and is left for later.
constexpr DWORD lookDueWithinMs = 100;

struct HandleClose {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using OwnHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleClose>;

struct Look {
    OwnHandle thread;
    // Set before the thread starts, and read by it alone until it ends.
    DirectInputCreate create = nullptr;
    HINSTANCE module = nullptr;
    // The looks' own object, made by the first: at most one look runs at a
    // time. Left to the process, as DirectInput's other objects are.
    IDirectInput8W* input = nullptr;
    HRESULT result = S_OK;
    Listing listing;
    // Its list found a controller the last list lacks, and is the next list.
    bool taken = true;
    unsigned passes = 0;
};

Look look;

DWORD WINAPI lookForControllers(void* self) {
    if (look.input == nullptr &&
        FAILED(look.create(look.module, DIRECTINPUT_VERSION, IID_IDirectInput8W,
                           reinterpret_cast<void**>(&look.input), nullptr))) {
        look.input = nullptr;
    }
    look.listing.count = 0;
    look.result = look.input == nullptr
                      ? E_POINTER
                      : look.input->EnumDevices(DI8DEVCLASS_GAMECTRL, listInstance, &look.listing,
                                                DIEDFL_ATTACHEDONLY);
    FreeLibraryAndExitThread(static_cast<HMODULE>(self), 0);
}

void startLook() {
    look.create = directInputCreator();
    look.module = moduleForDirectInput();
    HMODULE self = nullptr;
    if (look.create == nullptr ||
        !GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCWSTR>(&lookForControllers), &self)) {
        return;
    }
    look.thread.reset(CreateThread(nullptr, 0, lookForControllers, self, 0, nullptr));
    if (!look.thread) {
        FreeLibrary(self);
    }
}

bool listedBefore(const ListedInstance& listed) {
    const Listing& last = lastListing();
    for (std::size_t i = 0; i < last.count; ++i) {
        if (IsEqualGUID(last.instances[i].instance, listed.instance)) {
            return true;
        }
    }
    return false;
}

bool listsAnother(const Listing& listing) {
    for (std::size_t i = 0; i < listing.count; ++i) {
        if (!listedBefore(listing.instances[i])) {
            return true;
        }
    }
    return false;
}

} // namespace

bool systemControllersArrived() {
    if (++look.passes % passesPerLook != 0) [[likely]] {
        return false;
    }
    if (look.thread) {
        if (WaitForSingleObject(look.thread.get(), lookDueWithinMs) != WAIT_OBJECT_0) {
            return false;
        }
        look.thread.reset();
        look.taken = !(SUCCEEDED(look.result) && listsAnother(look.listing));
        if (!look.taken) {
            return true;
        }
    }
    startLook();
    return false;
}

bool takeLookedListing(Listing& listing) {
    if (look.taken) {
        return false;
    }
    look.taken = true;
    listing = look.listing;
    return true;
}
