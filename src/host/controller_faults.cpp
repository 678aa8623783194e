#include "host/controller_faults.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <utility>

namespace {

constexpr std::array<std::string_view, lastControllerStep + 1> stepNames = {"",
                                                                            "DirectInput8Create",
                                                                            "EnumDevices",
                                                                            "CreateDevice",
                                                                            "SetDataFormat",
                                                                            "SetCooperativeLevel",
                                                                            "Acquire",
                                                                            "Poll",
                                                                            "GetDeviceState"};

// Where two names share a number, the first is DirectInput's own.
constexpr std::pair<std::string_view, std::uint32_t> answerNames[] = {
    {"S_OK", 0x00000000},
    {"DIERR_NOTACQUIRED", 0x8007000C},
    {"DIERR_INPUTLOST", 0x8007001E},
    {"DIERR_OTHERAPPHASPRIO", 0x80070005},
    {"DIERR_UNPLUGGED", 0x80040209},
    {"DIERR_DEVICENOTREG", 0x80040154},
    {"DIERR_NOTINITIALIZED", 0x80070015},
    {"DIERR_OLDDIRECTINPUTVERSION", 0x8007047E},
    {"DIERR_BETADIRECTINPUTVERSION", 0x80070481},
    {"DIERR_ACQUIRED", 0x800700AA},
    {"DIERR_NOTFOUND", 0x80070002},
    {"DIERR_UNSUPPORTED", 0x80004001},
    {"E_INVALIDARG", 0x80070057},
    {"E_FAIL", 0x80004005},
    {"E_PENDING", 0x8000000A},
    {"E_HANDLE", 0x80070006},
    {"E_NOINTERFACE", 0x80004002},
    {"E_OUTOFMEMORY", 0x8007000E},
    {"E_POINTER", 0x80004003},
    {"DIERR_INVALIDPARAM", 0x80070057},
    {"DIERR_GENERIC", 0x80004005},
};

} // namespace

std::string_view controllerStepName(ControllerStep step) {
    return stepNames[static_cast<std::size_t>(step)];
}

std::optional<ControllerStep> controllerStepNamed(std::string_view name) {
    const auto found = std::ranges::find(stepNames, name);
    if (name.empty() || found == stepNames.end()) {
        return std::nullopt;
    }
    return static_cast<ControllerStep>(found - stepNames.begin());
}

std::string directInputAnswerName(std::int32_t answer) {
    const auto bits = static_cast<std::uint32_t>(answer);
    for (const auto& [name, number] : answerNames) {
        if (number == bits) {
            return std::string(name);
        }
    }
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(bits));
    return text;
}

std::optional<std::int32_t> directInputAnswerNamed(std::string_view name) {
    for (const auto& [known, number] : answerNames) {
        if (known == name) {
            return static_cast<std::int32_t>(number);
        }
    }
    std::uint32_t number = 0;
    const std::string_view digits = name.substr(std::min<std::size_t>(2, name.size()));
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), number, 16);
    if (!name.starts_with("0x") || digits.empty() || error != std::errc{} ||
        end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(number);
}

std::string controllerFaultText(const ControllerFault& fault) {
    return std::string(controllerStepName(fault.step)) + " answered " +
           directInputAnswerName(fault.result) +
           (fault.result == directInputAnswer::ok ? " with no object" : "");
}
