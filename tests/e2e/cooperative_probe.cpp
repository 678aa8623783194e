// The stand-in dinput8.dll refuses the windows DirectInput documents it
// refuses for a cooperative level, so that a plug-in passing one fails its
// drives: each window of the table, on a device of the one controller that
// MG_STAND_IN_DRIVE plugs in.
// Usage: cooperative_probe STAND_IN_DINPUT8
#define DIRECTINPUT_VERSION 0x0800
#include <windows.h>

#include <dinput.h>

#include <cstdio>

int main(int argc, char** argv) {
    const HMODULE library = argc == 2 ? LoadLibraryA(argv[1]) : nullptr;
    const auto create = reinterpret_cast<decltype(&DirectInput8Create)>(
        reinterpret_cast<void*>(GetProcAddress(library, "DirectInput8Create")));
    IDirectInput8W* input = nullptr;
    IDirectInputDevice8W* device = nullptr;
    const GUID firstController = {0x4D474258, 0, 0, {}};
    if (create == nullptr ||
        FAILED(create(GetModuleHandleW(nullptr), DIRECTINPUT_VERSION, IID_IDirectInput8W,
                      reinterpret_cast<void**>(&input), nullptr)) ||
        FAILED(input->CreateDevice(firstController, &device, nullptr))) {
        std::puts("FAIL: no device of the stand-in's");
        return 1;
    }
    const HWND own = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                     nullptr, nullptr);
    const struct {
        const char* window;
        HWND handle;
        HRESULT expected;
    } cases[] = {
        {"none", nullptr, E_HANDLE},
        {"a handle of no window", reinterpret_cast<HWND>(0x7FF0), E_HANDLE},
        {"a child window",
         CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 0, 0, own, nullptr, nullptr, nullptr),
         E_HANDLE},
        {"a message-only window",
         CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr),
         E_HANDLE},
        {"the desktop's", GetDesktopWindow(), E_HANDLE},
        {"a top-level window of its own", own, DI_OK},
    };
    int failures = 0;
    for (const auto& tried : cases) {
        const HRESULT answer =
            device->SetCooperativeLevel(tried.handle, DISCL_BACKGROUND | DISCL_NONEXCLUSIVE);
        const bool held = answer == tried.expected;
        std::printf("%s: %s answered 0x%08lX\n", held ? "ok  " : "FAIL", tried.window,
                    static_cast<unsigned long>(answer));
        failures += held ? 0 : 1;
    }
    return failures == 0 ? 0 : 1;
}
