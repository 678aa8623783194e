// The plug-in's only road into the game: the native-call protocol over the
// script hook and one typed wrapper per game native that we use.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <type_traits>

#include "host/native_table.h"
#include "host/script_hook.h"
#include "host/tap.h"
#include "keys/key_code.h"

// --- Native-call protocol -------------------------------------------------------

using NativeResult = const unsigned long long*;
using GameHandle = std::int32_t;

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

// A call's shape as a recording keeps it: the number of arguments, and
// whether the first is text.
template <typename First = void, typename... Rest>
constexpr std::uint8_t nativeShape() {
    static_assert(1 + sizeof...(Rest) <= recordedArgumentsAtMost);
    static_assert(!(std::is_same_v<Rest, const char*> || ...),
                  "only a native's first argument is recorded as text");
    return static_cast<std::uint8_t>((std::is_void_v<First> ? 0 : 1 + sizeof...(Rest)) |
                                     (std::is_same_v<First, const char*> ? textArgumentBit : 0));
}

// A native's index in the recording's table of natives, which lists every
// native the plug-in calls in the order of the Native enumeration.
constexpr std::uint8_t recordedIndex(Native native) {
    static_assert(std::size(nativeIds) <= recordedNativesAtMost);
    return static_cast<std::uint8_t>(native);
}

// The call through the hook.
template <Native native, typename... Arguments>
[[gnu::always_inline]] inline NativeResult callHook(Arguments... arguments) {
    nativeInit(hashOf(native));
    (nativePush64(argumentSlot(arguments)), ...);
    return nativeCall();
}

// The call made while a pass is recorded: written as an entry before it is
// made, its result after, or a vector's three (x, y and z in its first three
// slots).
template <Native native, bool vector, typename... Arguments>
[[gnu::cold, gnu::noinline]] NativeResult invokeRecorded(Arguments... arguments) {
    std::uint8_t* const shape =
        tapNative(recordedIndex(native), nativeShape<Arguments...>(), arguments...);
    const NativeResult result = callHook<native>(arguments...);
    if constexpr (vector) {
        tapVectorResult(shape, result);
    } else {
        tapResult(shape, result);
    }
    return result;
}

// Inlined into each wrapper: a call while no pass is recorded costs the test
// of one pointer.
template <Native native, bool vector = false, typename... Arguments>
[[gnu::always_inline]] inline NativeResult invokeNative(Arguments... arguments) {
    if (tapOpen()) [[unlikely]] {
        return invokeRecorded<native, vector>(arguments...);
    }
    return callHook<native>(arguments...);
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
// A vector's component, from 0 (x) to 2 (z), each in a slot of its own.
inline float resultComponent(NativeResult result, std::size_t component) {
    return std::bit_cast<float>(static_cast<std::uint32_t>(result[component]));
}

// --- Wrappers, one per native ---------------------------------------------------

GameHandle playerCharacter();
bool characterInVehicle(GameHandle character);
GameHandle vehicleOfCharacter(GameHandle character);
// Whether nobody sits in the vehicle's driver's seat.
bool driverSeatFree(GameHandle vehicle);
// The character in the vehicle's driver's seat. Asked of an empty seat of a
// vehicle of the ambient population, the game seats a stranger there: ask
// driverSeatFree first.
GameHandle driverOfVehicle(GameHandle vehicle);
// The game's class of the vehicle: car, motorcycle, boat, helicopter and so on.
std::int32_t vehicleClass(GameHandle vehicle);
float vehicleSpeed(GameHandle vehicle);
// The game's estimate of the vehicle's top speed, with its mods, in m/s: a
// property of the vehicle, which it can exceed.
float vehicleTopSpeed(GameHandle vehicle);
void capVehicleSpeed(GameHandle vehicle, float maxSpeed);
void forceForwardSpeed(GameHandle vehicle, float speed);
void stallEngine(GameHandle vehicle);
bool vehicleStationary(GameHandle vehicle);
bool controlFired(ControlId control);
// Whether the player's last input came from the keyboard or mouse rather than
// a pad.
bool usingKeyboardAndMouse();
// Whether the character has the phone out, where the D-pad browses it.
bool characterUsingPhone(GameHandle character);
bool pauseMenuActive();
// Milliseconds of game time.
std::int32_t gameTimeMs();
// Whether the player holds the control on their pad, even while it is
// disabled for the game in this frame.
bool controlHeld(ControlId control);
void suppressControl(ControlId control);
// Every control of the player's pad, for the current frame: the game ignores
// whatever the player presses.
void disableAllControls();
// Feeds a control of the player's pad a value for the next frame, as the
// player's input: false, and nothing fed, while the action is disabled.
bool feedControl(ControlId control, float value);
// Scales the vehicle's torque for this frame only: 1 is its own. Inlined, as
// the gear feel sends it on every pass.
[[gnu::always_inline]] inline void scaleEngineTorque(GameHandle vehicle, float multiplier) {
    invokeNative<Native::ScaleEngineTorque>(vehicle, multiplier);
}

// The vehicle's speed relative to itself, in m/s: sideways (right positive)
// and along its heading.
struct RelativeSpeed {
    float sideways = 0.0f;
    float forward = 0.0f;
};
RelativeSpeed vehicleRelativeSpeed(GameHandle vehicle);
bool vehicleInAir(GameHandle vehicle);
// The body's health, 1000 whole; a collision takes some.
float vehicleBodyHealth(GameHandle vehicle);

void textFont(std::int32_t font);
void textScale(float first, float second);
void textColour(std::int32_t red, std::int32_t green, std::int32_t blue);
// The next text wraps only at the screen's edges.
void textWrapToScreen();
// The next text is centred on its position.
void textCentred();
// The next text has no drop shadow: a distance and colour of 0.
void textNoDropShadow();
void textOutline();
void beginScreenText(const char* kind);
void addTextString(const char* text);
// The game takes at most this many characters of one text component: a
// notice, a prompt or a subtitle fits in one.
inline constexpr std::size_t textLengthAtMost = 99;
void drawScreenText(float x, float y);
void beginSubtitle(const char* kind);
void printSubtitle(std::int32_t durationMs);
void beginNotification(const char* kind);
// Posts the notification above the minimap, without blinking, and keeps it in
// the pause menu's brief.
void postNotification();
// A filled rectangle for this frame, its centre and size as fractions of the
// screen. Inlined, as the rev bar draws one on every pass.
[[gnu::always_inline]] inline void drawRectangle(float x, float y, float width, float height,
                                                 std::int32_t red, std::int32_t green,
                                                 std::int32_t blue, std::int32_t alpha) {
    invokeNative<Native::DrawRectangle>(x, y, width, height, red, green, blue, alpha,
                                        std::int32_t{0});
}
