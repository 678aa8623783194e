#include "keys/game_controller.h"

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

std::optional<ControllerType> controllerTypeNamed(std::string_view name) {
    const auto found = std::ranges::find(controllerTypeNames, name);
    if (found == controllerTypeNames.end()) {
        return std::nullopt;
    }
    return static_cast<ControllerType>(found - controllerTypeNames.begin());
}
