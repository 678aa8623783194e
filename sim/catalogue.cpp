#include "sim/catalogue.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <unordered_map>

#include "sim/native_runs.h"

namespace sim {

namespace {

// Every native the plug-in calls, with its parameters and result as the game's
// native documentation gives them for game build 3095 and later.
constexpr NativeEntry natives[] = {
    {Native::PlayerCharacter, "", "Ped", runPlayerCharacter, Fact::PlayerCharacter},
    {Native::CharacterInVehicle, "Ped ped, BOOL atGetIn", "BOOL", runCharacterInVehicle,
     Fact::PlayerInVehicle},
    {Native::VehicleOfCharacter, "Ped ped", "Vehicle", runVehicleOfCharacter, Fact::PlayerVehicle},
    {Native::DriverSeatFree, "Vehicle vehicle, int seatIndex, BOOL isTaskRunning", "BOOL",
     runVehicleSeatFree, Fact::DriverSeatFree},
    {Native::DriverOfVehicle, "Vehicle vehicle, int seatIndex, BOOL p2", "Ped", runPedInVehicleSeat,
     Fact::Driver},
    {Native::VehicleClass, "Vehicle vehicle", "int", runVehicleClass, Fact::VehicleClass},
    {Native::VehicleSpeed, "Entity entity", "float", runVehicleSpeed, Fact::VehicleSpeed},
    {Native::VehicleTopSpeed, "Vehicle vehicle", "float", runVehicleTopSpeed,
     Fact::VehicleTopSpeed},
    {Native::CapVehicleSpeed, "Entity entity, float speed", "void", runCapVehicleSpeed},
    {Native::ForceForwardSpeed, "Vehicle vehicle, float speed", "void", runForceForwardSpeed},
    {Native::StallEngine, "Vehicle vehicle, BOOL value, BOOL instantly, BOOL disableAutoStart",
     "void", runEngineSwitch},
    {Native::VehicleStationary, "Vehicle vehicle", "BOOL", runVehicleStationary},
    {Native::ControlFired, "int padIndex, int control", "BOOL", runControlFired,
     Fact::ControlFired},
    {Native::ControlHeld, "int padIndex, int control", "BOOL", runDisabledControlPressed,
     Fact::ControlHeld},
    {Native::SuppressControl, "int padIndex, int control, BOOL disableRelatedActions", "void",
     runSuppressControl},
    {Native::KeyboardAndMouse, "int padIndex", "BOOL", runUsingKeyboardAndMouse,
     Fact::KeyboardAndMouse},
    {Native::UsingPhone, "Ped ped", "BOOL", runPhoneOut, Fact::PhoneOut},
    {Native::PauseMenuActive, "", "BOOL", runPauseMenuActive, Fact::PauseMenu},
    {Native::GameTimer, "", "int", runGameTimer},
    {Native::TextFont, "int font", "void", runTextFont},
    {Native::TextScale, "float scale, float size", "void", runTextScale},
    {Native::TextColour, "int red, int green, int blue, int alpha", "void", runTextColour},
    {Native::TextWrap, "float start, float end", "void", runTextWrap},
    {Native::TextCentred, "BOOL align", "void", runTextCentred},
    {Native::TextDropShadow, "int distance, int r, int g, int b, int a", "void", runTextDropShadow},
    {Native::TextOutline, "", "void", runTextOutline},
    {Native::BeginScreenText, "const char* text", "void", runBeginScreenText},
    {Native::AddTextString, "const char* text", "void", runAddTextString},
    {Native::DrawScreenText, "float x, float y, int p2", "void", runDrawScreenText},
    {Native::BeginSubtitle, "const char* text", "void", runBeginSubtitle},
    {Native::PrintSubtitle, "int duration, BOOL drawImmediately", "void", runPrintSubtitle},
    {Native::BeginNotification, "const char* text", "void", runBeginNotification},
    {Native::PostNotification, "BOOL blink, BOOL showInBrief", "int", runPostNotification,
     Fact::NotificationId},
    {Native::DisableAllControls, "int padIndex", "void", runDisableAllControls},
    // The newer documentation's names: the pad is "control", the control "action".
    {Native::FeedControl, "int control, int action, float value", "BOOL", runFeedControl,
     Fact::ControlFed},
    // A Vector3: x, y and z in three slots; relative, x is sideways, y forward.
    {Native::VehicleRelativeSpeed, "Entity entity, BOOL relative", "Vector3",
     runVehicleRelativeSpeed, Fact::SidewaysSpeed},
    {Native::VehicleInAir, "Entity entity", "BOOL", runVehicleInAir, Fact::InAir},
    {Native::VehicleBodyHealth, "Vehicle vehicle", "float", runVehicleBodyHealth, Fact::BodyHealth},
    {Native::ScaleEngineTorque, "Vehicle vehicle, float value", "void", runScaleEngineTorque},
    {Native::DrawRectangle,
     "float x, float y, float width, float height, int r, int g, int b, int a, BOOL p8", "void",
     runDrawRect},
};

// The world knows every native the plug-in calls, each once.
constexpr bool everyNativeOnce() {
    for (const NativeId& id : nativeIds) {
        int found = 0;
        for (const NativeEntry& entry : natives) {
            found += entry.native == id.native;
        }
        if (found != 1) {
            return false;
        }
    }
    return std::size(natives) == std::size(nativeIds);
}
static_assert(everyNativeOnce());

} // namespace

std::size_t parameterCount(const NativeEntry& entry) {
    const std::string_view parameters = entry.parameters;
    if (parameters.empty()) {
        return 0;
    }
    return 1 + static_cast<std::size_t>(std::count(parameters.begin(), parameters.end(), ','));
}

bool takesText(const NativeEntry& entry) {
    return std::string_view(entry.parameters).starts_with("const char*");
}

std::string signatureText(const NativeEntry& entry) {
    return std::string(entry.result) + " " + nameOf(entry.native) + "(" + entry.parameters + ")";
}

// Every call the plug-in makes looks its native up, several times: by a hash
// table.
const NativeEntry* findNative(std::uint64_t hash) {
    static const std::unordered_map<std::uint64_t, const NativeEntry*> byHash = [] {
        std::unordered_map<std::uint64_t, const NativeEntry*> entries;
        for (const NativeEntry& entry : natives) {
            entries.emplace(hashOf(entry.native), &entry);
        }
        return entries;
    }();
    const auto found = byHash.find(hash);
    return found == byHash.end() ? nullptr : found->second;
}

const char* nativeParameters(std::uint64_t hash) {
    const NativeEntry* entry = findNative(hash);
    return entry ? entry->parameters : nullptr;
}

const char* nativeResult(std::uint64_t hash) {
    const NativeEntry* entry = findNative(hash);
    return entry ? entry->result : nullptr;
}

Fact nativeFact(std::uint64_t hash) {
    const NativeEntry* entry = findNative(hash);
    return entry ? entry->fact : Fact::Nothing;
}

std::string hashText(std::uint64_t hash) {
    char text[19];
    std::snprintf(text, sizeof text, "0x%016llX", static_cast<unsigned long long>(hash));
    return text;
}

} // namespace sim
