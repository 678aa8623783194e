// The script hook's entry points. The hook exports them under MSVC-decorated
// names; the Windows build links them through an import library that maps each
// plain name to its decorated one, so the parameter types here must stay
// exactly as the hook declares them.
#pragma once

#include <cstdint>

struct HINSTANCE__;

#if defined(_WIN32)
using HookDword = unsigned long; // DWORD
#else
using HookDword = std::uint32_t;
#endif

extern "C" {
void scriptRegister(HINSTANCE__* module, void (*scriptMain)());
void scriptUnregister(HINSTANCE__* module);
void scriptWait(HookDword milliseconds);
void nativeInit(unsigned long long hash);
void nativePush64(unsigned long long value);
unsigned long long* nativeCall();
}
