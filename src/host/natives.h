// The plug-in's only road into the game: the script hook's entry points, the
// native-call protocol and one typed wrapper per game native that we use.
#pragma once

#include <bit>
#include <cstdint>

#include "bindings/virtual_key_code.h"

// --- Script hook entry points -------------------------------------------------
// The hook exports these under MSVC-decorated names; the Windows build links
// them through an import library that maps each plain name to its decorated
// one, so the parameter types here must stay exactly as the hook declares them.

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

// --- Native-call protocol -------------------------------------------------------

using NativeHash = std::uint64_t;
using NativeResult = const unsigned long long*;
using GameHandle = std::int32_t;
using ControlId = std::int32_t;

// Every argument travels in one 64-bit slot; 32-bit values sit in the low half
// with the high half zero, never sign-extended; booleans travel as 0 or 1.
inline unsigned long long argumentSlot(std::int32_t value) {
    return static_cast<std::uint32_t>(value);
}
inline unsigned long long argumentSlot(float value) {
    return std::bit_cast<std::uint32_t>(value);
}
inline unsigned long long argumentSlot(const char* text) {
    return reinterpret_cast<std::uintptr_t>(text);
}
// Natives take single precision only; a double must not slip through.
unsigned long long argumentSlot(double) = delete;

template <typename... Arguments>
NativeResult invokeNative(NativeHash hash, Arguments... arguments) {
    nativeInit(hash);
    (nativePush64(argumentSlot(arguments)), ...);
    return nativeCall();
}

// Results live in the low 32 bits of slot 0 and are read before the next call.
inline std::int32_t resultInt(NativeResult result) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(result[0]));
}
inline float resultFloat(NativeResult result) {
    return std::bit_cast<float>(static_cast<std::uint32_t>(result[0]));
}
inline bool resultBool(NativeResult result) {
    return static_cast<std::uint32_t>(result[0]) != 0;
}

// --- Wrappers, one per native ---------------------------------------------------

GameHandle playerCharacter();
bool characterInVehicle(GameHandle character);
GameHandle vehicleOfCharacter(GameHandle character);
// The character in the vehicle's driver's seat, or 0 when it is empty.
GameHandle driverOfVehicle(GameHandle vehicle);
// The game's class of the vehicle: car, motorcycle, boat, helicopter and so on.
std::int32_t vehicleClass(GameHandle vehicle);
float vehicleSpeed(GameHandle vehicle);
void capVehicleSpeed(GameHandle vehicle, float maxSpeed);
void forceForwardSpeed(GameHandle vehicle, float speed);
void stallEngine(GameHandle vehicle);
bool vehicleStationary(GameHandle vehicle);
bool controlFired(ControlId control);
// Whether the player holds the control on their pad, even while it is
// disabled for the game in this frame.
bool controlHeld(ControlId control);
void suppressControl(ControlId control);

void textFont(std::int32_t font);
void textScale(float first, float second);
void textColour(std::int32_t red, std::int32_t green, std::int32_t blue);
void textWrap(float left, float right);
void textCentred(std::int32_t on);
void textDropShadow(std::int32_t distance, std::int32_t red, std::int32_t green, std::int32_t blue,
                    std::int32_t alpha);
void textOutline();
void beginScreenText(const char* kind);
void addTextString(const char* text);
void drawScreenText(float x, float y);
void beginSubtitle(const char* kind);
void printSubtitle(std::int32_t durationMs);
void beginNotification(const char* kind);
// Posts the notification above the minimap, without blinking, and keeps it in
// the pause menu's brief.
void postNotification();

// --- Keyboard -------------------------------------------------------------------

// Whether the game's window had the focus when checkGameFocus last asked.
extern bool gameHasFocus;

// Asks Windows once which window has the focus; until the next call, keys
// count as down only if it belongs to the game. Typing into another program
// while the game runs behind it must not drive.
void checkGameFocus();

// True while the key is down at the moment of the call and the game had the
// focus at the last check; code 0 is never down.
bool keyDown(VirtualKeyCode key);

// A press of a key or button, once however long it is held: true when it is
// down now and wasn't last time. Polled on every pass, so that a press seen
// together with another input doesn't count again on the next pass.
inline bool newlyDown(bool down, bool& wasDown) {
    const bool pressed = down && !wasDown;
    wasDown = down;
    return pressed;
}

// A press of the key; code 0, no key bound, is never asked about.
bool keyPressed(VirtualKeyCode key, bool& wasDown);
