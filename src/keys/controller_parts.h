// Game controllers (wheels, pedals, shifters, pads) as data: the id a player
// names one by, its type, its axes and its buttons, as DirectInput reports
// them in its joystick state (DIJOYSTATE2).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The vendor's and the product's USB ids (DIPROP_VIDPID), written 046D:C24F.
struct ControllerId {
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    bool operator==(const ControllerId&) const = default;
};

// "046D:C24F": four hexadecimal digits each, in capitals.
std::string controllerIdText(ControllerId id);
// Four hexadecimal digits, a colon and four more, in either letter case.
std::optional<ControllerId> parseControllerId(std::string_view text);

// What Windows says the controller is: DirectInput's device type, a shifter
// and pedals being supplemental devices of their own subtypes.
enum class ControllerType : std::uint8_t { Other, Wheel, Pedals, Shifter, Pad, Joystick };

// Indexed by ControllerType.
inline constexpr std::array<std::string_view, 6> controllerTypeNames = {
    "other", "wheel", "pedals", "shifter", "pad", "joystick"};

// The type of this name, or none.
std::optional<ControllerType> controllerTypeNamed(std::string_view name);

inline constexpr std::size_t controllerAxisCount = 8;
// DIJOYSTATE2's axes, in its order.
inline constexpr std::array<std::string_view, controllerAxisCount> controllerAxisNames = {
    "X", "Y", "Z", "Rx", "Ry", "Rz", "Slider0", "Slider1"};
// An axis reads from 0, its lowest, to this, its highest.
inline constexpr std::uint16_t controllerAxisTop = 65535;

// Buttons are numbered from 1, as the Windows game-controller panel counts
// them, up to this.
inline constexpr int controllerButtonCount = 128;

// A button, or an axis with the way it is pressed, as one number that a
// key-binding field and a recording keep: 0 none; a button's number; then
// each axis pressed towards its highest ("Slider0+"), in
// controllerAxisNames' order, then each pressed towards its lowest
// ("Slider0-"), as a pedal that reads high when released is.
using ControllerPart = std::int32_t;
inline constexpr ControllerPart firstAxisPart = controllerButtonCount + 1;
inline constexpr ControllerPart lastControllerPart =
    controllerButtonCount + 2 * static_cast<ControllerPart>(controllerAxisCount);

constexpr bool isButtonPart(ControllerPart part) {
    return part >= 1 && part <= controllerButtonCount;
}
constexpr bool isAxisPart(ControllerPart part) {
    return part >= firstAxisPart && part <= lastControllerPart;
}
constexpr ControllerPart axisPart(std::size_t axis, bool towardsLowest) {
    return firstAxisPart + static_cast<ControllerPart>(axis) +
           (towardsLowest ? static_cast<ControllerPart>(controllerAxisCount) : 0);
}
// Of an axis part only.
constexpr std::size_t partAxis(ControllerPart part) {
    return static_cast<std::size_t>(part - firstAxisPart) % controllerAxisCount;
}
constexpr bool partTowardsLowest(ControllerPart part) {
    return static_cast<std::size_t>(part - firstAxisPart) >= controllerAxisCount;
}

// "Button13", "Slider0-", or "none".
std::string controllerPartText(ControllerPart part);
// "Button" and a number from 1 to controllerButtonCount, or an axis's name
// and "+" or "-"; letter case aside.
std::optional<ControllerPart> parseControllerPart(std::string_view text);

// A part of one game controller, named by the controller's id: what a
// wheel's key-binding line binds. Unbound while its part is 0.
struct ControllerBinding {
    ControllerId device;
    ControllerPart part = 0;
    bool operator==(const ControllerBinding&) const = default;
};

// "046D:C24F Button13".
std::string controllerBindingText(const ControllerBinding& binding);

// An id as one number, as a recording keeps it: the vendor's in the high
// half.
constexpr std::int32_t controllerIdNumber(ControllerId id) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(id.vendor) << 16 | id.product);
}
constexpr ControllerId controllerIdOfNumber(std::int32_t number) {
    const auto bits = static_cast<std::uint32_t>(number);
    return {static_cast<std::uint16_t>(bits >> 16), static_cast<std::uint16_t>(bits & 0xFFFF)};
}
