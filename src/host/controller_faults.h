// Why a game controller can't be read, as DirectInput told it: the step that
// failed and what it answered. The answers are HRESULTs, kept as numbers so
// that every floor, the stand-in and a recording can name them without
// Windows' headers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// In the order the plug-in takes them.
enum class ControllerStep : std::uint8_t {
    None,
    Start,  // DirectInput8Create
    List,   // EnumDevices
    Create, // CreateDevice
    Format, // SetDataFormat
    Share,  // SetCooperativeLevel
    Acquire,
    Poll,
    Read, // GetDeviceState
};
inline constexpr std::uint8_t lastControllerStep = static_cast<std::uint8_t>(ControllerStep::Read);

struct ControllerFault {
    ControllerStep step = ControllerStep::None;
    std::int32_t result = 0;
    bool operator==(const ControllerFault&) const = default;
};

// The answers the plug-in acts on, as dinput.h defines them.
namespace directInputAnswer {
inline constexpr std::int32_t ok = 0;
inline constexpr auto notAcquired = static_cast<std::int32_t>(0x8007000C);
inline constexpr auto inputLost = static_cast<std::int32_t>(0x8007001E);
inline constexpr auto otherAppHasPriority = static_cast<std::int32_t>(0x80070005);
inline constexpr auto unplugged = static_cast<std::int32_t>(0x80040209);
inline constexpr auto deviceNotRegistered = static_cast<std::int32_t>(0x80040154);
inline constexpr auto invalidArgument = static_cast<std::int32_t>(0x80070057);
} // namespace directInputAnswer

// "GetDeviceState", as DirectInput names the step.
std::string_view controllerStepName(ControllerStep step);
// The step of this name, or none.
std::optional<ControllerStep> controllerStepNamed(std::string_view name);

// "DIERR_NOTACQUIRED", "E_FAIL", or the number in hexadecimal for an answer
// without a name.
std::string directInputAnswerName(std::int32_t answer);
// The answer of this name, or of this hexadecimal number ("0x80004005").
std::optional<std::int32_t> directInputAnswerNamed(std::string_view name);

// A controller lost or not acquired is acquired again, and then read.
constexpr bool acquiredAgainAfter(const ControllerFault& fault) {
    return (fault.step == ControllerStep::Poll || fault.step == ControllerStep::Read) &&
           (fault.result == directInputAnswer::notAcquired ||
            fault.result == directInputAnswer::inputLost);
}

// "GetDeviceState answered DIERR_NOTACQUIRED", or for a success with no object
// "DirectInput8Create answered S_OK with no object".
std::string controllerFaultText(const ControllerFault& fault);
