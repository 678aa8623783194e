// What the world does when the plug-in calls each native, by family of
// natives; the catalogue lists each with its documentation.
#pragma once

#include <cstdint>

#include "sim/world.h"

namespace sim {

// The native's answer.
inline void setResult(std::uint64_t value) {
    world.resultSlots[0] = value;
}

// The player's character, the vehicles and the phone (vehicle_natives.cpp).
void runPlayerCharacter(const std::uint64_t* arguments);
void runCharacterInVehicle(const std::uint64_t* arguments);
void runVehicleOfCharacter(const std::uint64_t* arguments);
void runVehicleSpeed(const std::uint64_t* arguments);
void runVehicleTopSpeed(const std::uint64_t* arguments);
void runCapVehicleSpeed(const std::uint64_t* arguments);
void runForceForwardSpeed(const std::uint64_t* arguments);
void runEngineSwitch(const std::uint64_t* arguments);
void runVehicleStationary(const std::uint64_t* arguments);
void runPedInVehicleSeat(const std::uint64_t* arguments);
void runVehicleSeatFree(const std::uint64_t* arguments);
void runVehicleClass(const std::uint64_t* arguments);
void runPhoneOut(const std::uint64_t* arguments);
void runVehicleRelativeSpeed(const std::uint64_t* arguments);
void runVehicleInAir(const std::uint64_t* arguments);
void runVehicleBodyHealth(const std::uint64_t* arguments);
void runScaleEngineTorque(const std::uint64_t* arguments);

// Controls, the pause menu and the game's timer (control_natives.cpp).
void runControlFired(const std::uint64_t* arguments);
void runDisabledControlPressed(const std::uint64_t* arguments);
void runUsingKeyboardAndMouse(const std::uint64_t* arguments);
void runSuppressControl(const std::uint64_t* arguments);
void runDisableAllControls(const std::uint64_t* arguments);
void runFeedControl(const std::uint64_t* arguments);
void runPauseMenuActive(const std::uint64_t* arguments);
void runGameTimer(const std::uint64_t* arguments);

// What the plug-in puts on the screen: labels, subtitles, notifications and
// rectangles (text_natives.cpp).
void runTextFont(const std::uint64_t* arguments);
void runTextScale(const std::uint64_t* arguments);
void runTextColour(const std::uint64_t* arguments);
void runTextWrap(const std::uint64_t* arguments);
void runTextCentred(const std::uint64_t* arguments);
void runTextDropShadow(const std::uint64_t* arguments);
void runTextOutline(const std::uint64_t* arguments);
void runBeginScreenText(const std::uint64_t* arguments);
void runAddTextString(const std::uint64_t* arguments);
void runDrawScreenText(const std::uint64_t* arguments);
void runBeginSubtitle(const std::uint64_t* arguments);
void runPrintSubtitle(const std::uint64_t* arguments);
void runBeginNotification(const std::uint64_t* arguments);
void runPostNotification(const std::uint64_t* arguments);
void runDrawRect(const std::uint64_t* arguments);

} // namespace sim
