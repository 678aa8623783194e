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
