// Every game native the plug-in calls, with its hash and the name the game's
// native documentation gives it, by which modders look it up. The wrappers,
// the stand-in and the tests all take their hashes from here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

using NativeHash = std::uint64_t;

// Each native the plug-in calls, one row each: its role, by what it does for
// the plug-in, its hash and its documented name. The roles and the table
// below are made from this one list, in its order.
#define MG_NATIVES(NATIVE)                                                                         \
    NATIVE(PlayerCharacter, 0xD80958FC74E988A6, "PLAYER_PED_ID")                                   \
    NATIVE(CharacterInVehicle, 0x997ABD671D25CA0B, "IS_PED_IN_ANY_VEHICLE")                        \
    NATIVE(VehicleOfCharacter, 0x6094AD011A2EA87D, "GET_VEHICLE_PED_IS_USING")                     \
    NATIVE(DriverSeatFree, 0x22AC59A870E6A669, "IS_VEHICLE_SEAT_FREE")                             \
    NATIVE(DriverOfVehicle, 0xBB40DD2270B65366, "GET_PED_IN_VEHICLE_SEAT")                         \
    NATIVE(VehicleClass, 0x29439776AAA00A62, "GET_VEHICLE_CLASS")                                  \
    NATIVE(VehicleSpeed, 0xD5037BA82E12416F, "GET_ENTITY_SPEED")                                   \
    NATIVE(VehicleTopSpeed, 0x53AF99BAA671CA47, "GET_VEHICLE_ESTIMATED_MAX_SPEED")                 \
    NATIVE(CapVehicleSpeed, 0x0E46A3FCBDE2A1B1, "SET_ENTITY_MAX_SPEED")                            \
    NATIVE(ForceForwardSpeed, 0xAB54A438726D25D5, "SET_VEHICLE_FORWARD_SPEED")                     \
    NATIVE(StallEngine, 0x2497C4717C8B881E, "SET_VEHICLE_ENGINE_ON")                               \
    NATIVE(VehicleStationary, 0x5721B434AD84D57A, "IS_VEHICLE_STOPPED")                            \
    NATIVE(ControlFired, 0x580417101DDB492F, "IS_CONTROL_JUST_PRESSED")                            \
    NATIVE(ControlHeld, 0xE2587F8CBBD87B1D, "IS_DISABLED_CONTROL_PRESSED")                         \
    NATIVE(SuppressControl, 0xFE99B66D079CF6BC, "DISABLE_CONTROL_ACTION")                          \
    NATIVE(KeyboardAndMouse, 0xA571D46727E2B718, "IS_USING_KEYBOARD_AND_MOUSE")                    \
    NATIVE(UsingPhone, 0x2AFE52F782F25775, "IS_PED_RUNNING_MOBILE_PHONE_TASK")                     \
    NATIVE(PauseMenuActive, 0xB0034A223497FFCB, "IS_PAUSE_MENU_ACTIVE")                            \
    NATIVE(GameTimer, 0x9CD27B0045628463, "GET_GAME_TIMER")                                        \
    NATIVE(TextFont, 0x66E0276CC5F6B9DA, "SET_TEXT_FONT")                                          \
    NATIVE(TextScale, 0x07C837F9A01C34C9, "SET_TEXT_SCALE")                                        \
    NATIVE(TextColour, 0xBE6B23FFA53FB442, "SET_TEXT_COLOUR")                                      \
    NATIVE(TextWrap, 0x63145D9C883A1A70, "SET_TEXT_WRAP")                                          \
    NATIVE(TextCentred, 0xC02F4DBFB51D988B, "SET_TEXT_CENTRE")                                     \
    NATIVE(TextDropShadow, 0x465C84BC39F1C351, "SET_TEXT_DROPSHADOW")                              \
    NATIVE(TextOutline, 0x2513DFB0FB8400FE, "SET_TEXT_OUTLINE")                                    \
    NATIVE(BeginScreenText, 0x25FBB336DF1804CB, "BEGIN_TEXT_COMMAND_DISPLAY_TEXT")                 \
    /* For screen text, subtitles and notifications alike. */                                      \
    NATIVE(AddTextString, 0x6C188BE134E074AA, "ADD_TEXT_COMPONENT_SUBSTRING_PLAYER_NAME")          \
    NATIVE(DrawScreenText, 0xCD015E5BB0D96A57, "END_TEXT_COMMAND_DISPLAY_TEXT")                    \
    NATIVE(BeginSubtitle, 0xB87A37EEB7FAA67D, "BEGIN_TEXT_COMMAND_PRINT")                          \
    NATIVE(PrintSubtitle, 0x9D77056A530643F6, "END_TEXT_COMMAND_PRINT")                            \
    NATIVE(BeginNotification, 0x202709F4C58A0424, "BEGIN_TEXT_COMMAND_THEFEED_POST")               \
    NATIVE(PostNotification, 0x2ED7843F8F801023, "END_TEXT_COMMAND_THEFEED_POST_TICKER")           \
    NATIVE(DisableAllControls, 0x5F4B6931816E599B, "DISABLE_ALL_CONTROL_ACTIONS")                  \
    NATIVE(FeedControl, 0xE8A25867FBA3B05E, "SET_CONTROL_VALUE_NEXT_FRAME")                        \
    /* The road as force feedback feels it. */                                                     \
    NATIVE(VehicleRelativeSpeed, 0x9A8D700A51CB7B0D, "GET_ENTITY_SPEED_VECTOR")                    \
    NATIVE(VehicleInAir, 0x886E37EC497200B6, "IS_ENTITY_IN_AIR")                                   \
    NATIVE(VehicleBodyHealth, 0xF271147EB7B40F12, "GET_VEHICLE_BODY_HEALTH")                       \
    /* The gear feel: the engine's pull, and the rev bar. */                                       \
    NATIVE(ScaleEngineTorque, 0xB59E4BD37AE292DB, "SET_VEHICLE_CHEAT_POWER_INCREASE")              \
    NATIVE(DrawRectangle, 0x3A618A217E5154F0, "DRAW_RECT")

enum class Native {
#define MG_NATIVE_ROLE(role, hash, name) role,
    MG_NATIVES(MG_NATIVE_ROLE)
#undef MG_NATIVE_ROLE
};

struct NativeId {
    Native native;
    NativeHash hash;
    const char* name;
};

// Indexed by Native.
inline constexpr NativeId nativeIds[] = {
#define MG_NATIVE_ID(role, hash, name) {Native::role, hash, name},
    MG_NATIVES(MG_NATIVE_ID)
#undef MG_NATIVE_ID
};

constexpr NativeHash hashOf(Native native) {
    return nativeIds[static_cast<std::size_t>(native)].hash;
}

constexpr const char* nameOf(Native native) {
    return nativeIds[static_cast<std::size_t>(native)].name;
}

// The native of this hash, or nullptr for one the plug-in doesn't call.
constexpr const NativeId* findNativeId(NativeHash hash) {
    for (const NativeId& id : nativeIds) {
        if (id.hash == hash) {
            return &id;
        }
    }
    return nullptr;
}
