#include "keys/controller_parts.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

std::string controllerIdText(ControllerId id) {
    char text[16];
    std::snprintf(text, sizeof text, "%04X:%04X", id.vendor, id.product);
    return text;
}

namespace {

std::optional<std::uint16_t> hexWord(std::string_view text) {
    std::uint16_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (text.size() != 4 || error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<ControllerId> parseControllerId(std::string_view text) {
    if (text.size() != 9 || text[4] != ':') {
        return std::nullopt;
    }
    const std::optional<std::uint16_t> vendor = hexWord(text.substr(0, 4));
    const std::optional<std::uint16_t> product = hexWord(text.substr(5));
    if (!vendor || !product) {
        return std::nullopt;
    }
    return ControllerId{*vendor, *product};
}

std::string controllerPartText(ControllerPart part) {
    if (isButtonPart(part)) {
        return "Button" + std::to_string(part);
    }
    if (isAxisPart(part)) {
        return std::string(controllerAxisNames[partAxis(part)]) +
               (partTowardsLowest(part) ? "-" : "+");
    }
    return "none";
}

namespace {

bool sameLetters(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 'a' - 'A') : c; };
    return a.size() == b.size() &&
           std::ranges::equal(a, b, [&](char x, char y) { return lower(x) == lower(y); });
}

} // namespace

std::optional<ControllerPart> parseControllerPart(std::string_view text) {
    constexpr std::string_view button = "Button";
    if (text.size() > button.size() && sameLetters(text.substr(0, button.size()), button)) {
        const std::string_view digits = text.substr(button.size());
        int number = 0;
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), number);
        if (error == std::errc{} && end == digits.data() + digits.size() && isButtonPart(number)) {
            return number;
        }
        return std::nullopt;
    }
    if (text.size() < 2 || (text.back() != '+' && text.back() != '-')) {
        return std::nullopt;
    }
    for (std::size_t axis = 0; axis < controllerAxisCount; ++axis) {
        if (sameLetters(text.substr(0, text.size() - 1), controllerAxisNames[axis])) {
            return axisPart(axis, text.back() == '-');
        }
    }
    return std::nullopt;
}

std::string controllerBindingText(const ControllerBinding& binding) {
    return controllerIdText(binding.device) + " " + controllerPartText(binding.part);
}

std::optional<ControllerType> controllerTypeNamed(std::string_view name) {
    const auto found = std::ranges::find(controllerTypeNames, name);
    if (found == controllerTypeNames.end()) {
        return std::nullopt;
    }
    return static_cast<ControllerType>(found - controllerTypeNames.begin());
}
