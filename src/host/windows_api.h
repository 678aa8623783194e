// The Windows calls the plug-in makes besides the hook's: the key-state query
// and the two focus queries from user32, and the process id from kernel32. The
// native build has no Windows; the stand-in host defines them there, with
// these signatures.
#pragma once

#if defined(_WIN32)
#include <windows.h>
#else
#include <cstdint>

struct HWND__;
using HWND = HWND__*;
using DWORD = std::uint32_t;

extern "C" {
short GetAsyncKeyState(int key);
HWND GetForegroundWindow();
DWORD GetWindowThreadProcessId(HWND window, DWORD* processId);
DWORD GetCurrentProcessId();
}
#endif
