#include "sim/catalogue.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <unordered_map>

#include "sim/motion.h"
#include "sim/slots.h"

namespace sim {

namespace {

void setResult(std::uint64_t value) {
    world.resultSlots[0] = value;
}

// The style natives in the order a label sets them; a label drawn after all
// seven, in this order, counts as fully styled.
enum StyleStep { Font = 1, Scale, Colour, Wrap, Centred, Shadow, Outline };

void styleCall(int step) {
    world.styleStep = (world.styleStep == step - 1) ? step : -1;
}

void runPlayerCharacter(const std::uint64_t*) {
    setResult(withHighHalf(std::uint32_t(world.playerHandle)));
}

void runCharacterInVehicle(const std::uint64_t* a) {
    setResult(boolResult(slotInt(a[0]) == world.playerHandle && world.occupied >= 0));
}

void runVehicleOfCharacter(const std::uint64_t* a) {
    const Vehicle* vehicle = slotInt(a[0]) == world.playerHandle ? playerVehicle() : nullptr;
    setResult(withHighHalf(vehicle ? std::uint32_t(vehicle->handle) : 0u));
}

void runVehicleSpeed(const std::uint64_t* a) {
    const Vehicle* vehicle = findVehicle(slotInt(a[0]));
    setResult(floatResult(vehicle ? std::fabs(vehicle->speed) : 0.0f));
}

void runVehicleTopSpeed(const std::uint64_t* a) {
    const Vehicle* vehicle = findVehicle(slotInt(a[0]));
    setResult(floatResult(vehicle ? vehicle->topSpeed : 0.0f));
}

void runCapVehicleSpeed(const std::uint64_t* a) {
    if (Vehicle* vehicle = findVehicle(slotInt(a[0]))) {
        vehicle->maxSpeed = slotFloat(a[1]);
    }
}

void runForceForwardSpeed(const std::uint64_t* a) {
    if (Vehicle* vehicle = findVehicle(slotInt(a[0]))) {
        vehicle->speed = slotFloat(a[1]);
    }
}

void runEngineSwitch(const std::uint64_t* a) {
    if (Vehicle* vehicle = findVehicle(slotInt(a[0]))) {
        vehicle->engineOn = slotInt(a[1]) != 0;
        vehicle->autoStart = slotInt(a[3]) == 0;
        vehicle->restartArmed = false;
    }
}

void runVehicleStationary(const std::uint64_t* a) {
    const Vehicle* vehicle = findVehicle(slotInt(a[0]));
    setResult(boolResult(vehicle && std::fabs(vehicle->speed) <= stoppedAtOrBelow));
}

// Who sits in the vehicle's seat: the player, or at the wheel its driver.
std::int32_t occupant(const Vehicle& vehicle, int seat) {
    if (&vehicle == playerVehicle() && seat == world.seat) {
        return world.playerHandle;
    }
    return seat == driverSeat ? vehicle.driver : 0;
}

void runPedInVehicleSeat(const std::uint64_t* a) {
    Vehicle* vehicle = findVehicle(slotInt(a[0]));
    const int seat = slotInt(a[1]);
    if (vehicle && vehicle->ambient && seat == driverSeat && occupant(*vehicle, seat) == 0) {
        vehicle->driver = strangerHandle;
    }
    setResult(withHighHalf(std::uint32_t(vehicle ? occupant(*vehicle, seat) : 0)));
}

void runVehicleSeatFree(const std::uint64_t* a) {
    const Vehicle* vehicle = findVehicle(slotInt(a[0]));
    setResult(boolResult(vehicle && occupant(*vehicle, slotInt(a[1])) == 0));
}

void runVehicleClass(const std::uint64_t* a) {
    const Vehicle* vehicle = findVehicle(slotInt(a[0]));
    setResult(withHighHalf(std::uint32_t(vehicle ? vehicle->vehicleClass : 0)));
}

bool validControl(int control) {
    return control >= 0 && control < controlCount;
}

// Pad 0 is the player's controls, pad 2 the frontend's; both see every control.
bool knownPad(int pad) {
    return pad == 0 || pad == 2;
}

// True only on the frame the control goes down, as documented.
void runControlFired(const std::uint64_t* a) {
    const int control = slotInt(a[1]);
    setResult(boolResult(knownPad(slotInt(a[0])) && validControl(control) &&
                         (world.controlsOnce[control] ||
                          (controlActive(control) && !world.controlsHeldBefore[control]))));
}

// Reads the control even while it is disabled for this frame.
void runDisabledControlPressed(const std::uint64_t* a) {
    const int control = slotInt(a[1]);
    setResult(
        boolResult(knownPad(slotInt(a[0])) && validControl(control) && controlActive(control)));
}

// The documentation tells of pads 0 and 2 only; any other answers false.
void runUsingKeyboardAndMouse(const std::uint64_t* a) {
    setResult(boolResult(knownPad(slotInt(a[0])) && world.lastDevice == Device::KeyboardAndMouse));
}

void runPhoneOut(const std::uint64_t* a) {
    setResult(boolResult(slotInt(a[0]) == world.playerHandle && world.phoneOut));
}

void runPauseMenuActive(const std::uint64_t*) {
    setResult(boolResult(world.pauseMenuActive));
}

void runGameTimer(const std::uint64_t*) {
    setResult(withHighHalf(static_cast<std::uint32_t>(world.timeMs)));
}

void runSuppressControl(const std::uint64_t* a) {
    const int control = slotInt(a[1]);
    if (knownPad(slotInt(a[0])) && validControl(control)) {
        world.suppressed[control] = true;
    }
}

// Every control of the pad, for the current frame only, as the single
// control's disable.
void runDisableAllControls(const std::uint64_t* a) {
    if (knownPad(slotInt(a[0]))) {
        world.suppressed.set();
    }
}

// A fed value as the game takes it: steering (59) from -1 to 1, the handbrake
// (76) pressed or not, from a half, any other from 0 to 1; not a number is 0.
float clampedFeed(int control, float value) {
    if (std::isnan(value)) {
        return 0.0f;
    }
    if (control == controlHandbrake) {
        return value >= 0.5f ? 1.0f : 0.0f;
    }
    return std::clamp(value, control == controlSteer ? -1.0f : 0.0f, 1.0f);
}

// "Sets the value of a Control for the next frame (not this frame) if the
// control is enabled": an action disabled in this frame before the call
// answers false and takes nothing, so a pass can't disable and feed it. Else
// the value, clamped, the last sent in the frame, drives the next frame
// (fedValue) unless that frame disables the action, as it would the
// player's input; a disable later in the sending frame covers that frame
// only. Beside the player's own input the larger wins (motion.cpp): whether
// the game's replaces or adds is to be seen. The control queries read the
// player's input only.
void runFeedControl(const std::uint64_t* a) {
    const int control = slotInt(a[1]);
    const bool taken =
        knownPad(slotInt(a[0])) && validControl(control) && !world.suppressed[control];
    if (taken) {
        world.fedForNextFrame.sent[control] = true;
        world.fedForNextFrame.values[control] = clampedFeed(control, slotFloat(a[2]));
    }
    setResult(boolResult(taken));
}

void runTextFont(const std::uint64_t* a) {
    world.style.font = slotInt(a[0]);
    styleCall(Font);
}

void runTextScale(const std::uint64_t* a) {
    world.style.scale[0] = slotFloat(a[0]);
    world.style.scale[1] = slotFloat(a[1]);
    styleCall(Scale);
}

void runTextColour(const std::uint64_t* a) {
    world.style.colour = {slotInt(a[0]), slotInt(a[1]), slotInt(a[2]), slotInt(a[3])};
    styleCall(Colour);
}

void runTextWrap(const std::uint64_t* a) {
    world.style.wrap[0] = slotFloat(a[0]);
    world.style.wrap[1] = slotFloat(a[1]);
    styleCall(Wrap);
}

void runTextCentred(const std::uint64_t* a) {
    world.style.centred = slotInt(a[0]);
    styleCall(Centred);
}

void runTextDropShadow(const std::uint64_t* a) {
    for (std::size_t i = 0; i < 5; ++i) {
        world.style.dropShadow[i] = slotInt(a[i]);
    }
    styleCall(Shadow);
}

void runTextOutline(const std::uint64_t*) {
    world.style.outline = true;
    styleCall(Outline);
}

void beginCommand(World::Command command) {
    world.command = command;
    world.commandText.clear();
    world.commandComponents = 0;
}

// A text command ended that was never begun.
void unbegunCommand(Native end, Native begin) {
    fault(hashText(world.openHash) + " " + nameOf(end) + " without " + nameOf(begin));
}

void runBeginScreenText(const std::uint64_t*) {
    beginCommand(World::Command::ScreenText);
}

void runAddTextString(const std::uint64_t* a) {
    if (world.command == World::Command::None) {
        fault(hashText(world.openHash) + " " + nameOf(Native::AddTextString) +
              " outside a text command");
        return;
    }
    // The game takes at most this many characters from one component.
    constexpr std::size_t componentLength = 99;
    const std::string component = slotText(a[0]);
    if (component.size() > componentLength) {
        fault(hashText(world.openHash) + " " + nameOf(Native::AddTextString) + " with " +
              std::to_string(component.size()) + " characters, more than the game's 99");
    }
    // "STRING" holds one placeholder: the game drops any component after it.
    if (world.commandComponents++ == 0) {
        world.commandText = component;
    }
}

void runDrawScreenText(const std::uint64_t* a) {
    if (world.command != World::Command::ScreenText) {
        unbegunCommand(Native::DrawScreenText, Native::BeginScreenText);
        return;
    }
    Label label = world.style;
    label.text = world.commandText;
    label.x = slotFloat(a[0]);
    label.y = slotFloat(a[1]);
    label.fullStyle = world.styleStep == Outline;
    world.labels.push_back(std::move(label));
    // The style applies to one text only.
    world.style = Label{};
    world.styleStep = 0;
    world.command = World::Command::None;
}

void runBeginSubtitle(const std::uint64_t*) {
    beginCommand(World::Command::Subtitle);
}

void runPrintSubtitle(const std::uint64_t* a) {
    if (world.command != World::Command::Subtitle) {
        unbegunCommand(Native::PrintSubtitle, Native::BeginSubtitle);
        return;
    }
    world.subtitles.push_back(
        {world.commandText, slotInt(a[0]), slotInt(a[1]), world.frame, world.timeMs});
    world.command = World::Command::None;
}

void runBeginNotification(const std::uint64_t*) {
    beginCommand(World::Command::Notification);
}

void runPostNotification(const std::uint64_t* a) {
    if (world.command != World::Command::Notification) {
        unbegunCommand(Native::PostNotification, Native::BeginNotification);
        return;
    }
    world.notifications.push_back({world.commandText, slotInt(a[0]), slotInt(a[1]), world.frame});
    world.command = World::Command::None;
    // The feed answers with the notification's id.
    setResult(withHighHalf(world.notificationsBefore +
                           static_cast<std::uint32_t>(world.notifications.size())));
}

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
