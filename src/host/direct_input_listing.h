// What the Windows build's DirectInput files share: the controllers as
// EnumDevices lists them, and the look for them off the script's thread
// (direct_input_watch.cpp) beside the game controllers' system
// (direct_input.cpp).
#pragma once

#define DIRECTINPUT_VERSION 0x0800
#include <dinput.h>

#include <array>
#include <cstddef>
#include <type_traits>

#include "host/game_controllers.h"

using DirectInputCreate = HRESULT(WINAPI*)(HINSTANCE, DWORD, REFIID, void**, IUnknown*);

// A controller as EnumDevices described it, copied before the next one.
struct ListedInstance {
    GUID instance{};
    GUID product{};
    DWORD type = 0;
    std::array<wchar_t, std::extent_v<decltype(DIDEVICEINSTANCEW::tszProductName)>> name{};
    std::size_t nameLength = 0;
};

struct Listing {
    std::array<ListedInstance, controllersAtMost> instances;
    std::size_t count = 0;
};

// EnumDevices' callback, into the Listing its context points to.
BOOL CALLBACK listInstance(const DIDEVICEINSTANCEW* instance, void* context) noexcept;

// DirectInput8Create, once dinput8.dll is loaded, and the module it is
// created for; null before.
DirectInputCreate directInputCreator();
HINSTANCE moduleForDirectInput();

// The list made last.
const Listing& lastListing();

// The listing of the look whose find systemControllersArrived told, once:
// the next list takes it instead of listing again.
bool takeLookedListing(Listing& listing);
