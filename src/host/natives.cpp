#include "host/natives.h"

namespace {

// Pad index of every control query and suppression.
constexpr std::int32_t controlPad = 2;
// The player's own controls, where the pad's buttons and triggers are read.
constexpr std::int32_t playerPad = 0;
constexpr std::int32_t driverSeat = -1;

// Each hash with the native's documented name, by which modders look it up.
constexpr NativeHash playerCharacterHash = 0xD80958FC74E988A6;    // PLAYER_PED_ID
constexpr NativeHash characterInVehicleHash = 0x997ABD671D25CA0B; // IS_PED_IN_ANY_VEHICLE
constexpr NativeHash vehicleOfCharacterHash = 0x6094AD011A2EA87D; // GET_VEHICLE_PED_IS_USING
constexpr NativeHash driverOfVehicleHash = 0xBB40DD2270B65366;    // GET_PED_IN_VEHICLE_SEAT
constexpr NativeHash vehicleClassHash = 0x29439776AAA00A62;       // GET_VEHICLE_CLASS
constexpr NativeHash vehicleSpeedHash = 0xD5037BA82E12416F;       // GET_ENTITY_SPEED
constexpr NativeHash vehicleTopSpeedHash = 0x53AF99BAA671CA47;    // GET_VEHICLE_ESTIMATED_MAX_SPEED
constexpr NativeHash capVehicleSpeedHash = 0x0E46A3FCBDE2A1B1;    // SET_ENTITY_MAX_SPEED
constexpr NativeHash forceForwardSpeedHash = 0xAB54A438726D25D5;  // SET_VEHICLE_FORWARD_SPEED
constexpr NativeHash stallEngineHash = 0x2497C4717C8B881E;        // SET_VEHICLE_ENGINE_ON
constexpr NativeHash vehicleStationaryHash = 0x5721B434AD84D57A;  // IS_VEHICLE_STOPPED
constexpr NativeHash controlFiredHash = 0x580417101DDB492F;       // IS_CONTROL_JUST_PRESSED
constexpr NativeHash controlHeldHash = 0xE2587F8CBBD87B1D;        // IS_DISABLED_CONTROL_PRESSED
constexpr NativeHash keyboardAndMouseHash = 0xA571D46727E2B718;   // IS_USING_KEYBOARD_AND_MOUSE
constexpr NativeHash usingPhoneHash = 0x2AFE52F782F25775;        // IS_PED_RUNNING_MOBILE_PHONE_TASK
constexpr NativeHash pauseMenuActiveHash = 0xB0034A223497FFCB;   // IS_PAUSE_MENU_ACTIVE
constexpr NativeHash gameTimerHash = 0x9CD27B0045628463;         // GET_GAME_TIMER
constexpr NativeHash suppressControlHash = 0xFE99B66D079CF6BC;   // DISABLE_CONTROL_ACTION
constexpr NativeHash textFontHash = 0x66E0276CC5F6B9DA;          // SET_TEXT_FONT
constexpr NativeHash textScaleHash = 0x07C837F9A01C34C9;         // SET_TEXT_SCALE
constexpr NativeHash textColourHash = 0xBE6B23FFA53FB442;        // SET_TEXT_COLOUR
constexpr NativeHash textWrapHash = 0x63145D9C883A1A70;          // SET_TEXT_WRAP
constexpr NativeHash textCentredHash = 0xC02F4DBFB51D988B;       // SET_TEXT_CENTRE
constexpr NativeHash textDropShadowHash = 0x465C84BC39F1C351;    // SET_TEXT_DROPSHADOW
constexpr NativeHash textOutlineHash = 0x2513DFB0FB8400FE;       // SET_TEXT_OUTLINE
constexpr NativeHash beginScreenTextHash = 0x25FBB336DF1804CB;   // BEGIN_TEXT_COMMAND_DISPLAY_TEXT
constexpr NativeHash drawScreenTextHash = 0xCD015E5BB0D96A57;    // END_TEXT_COMMAND_DISPLAY_TEXT
constexpr NativeHash beginSubtitleHash = 0xB87A37EEB7FAA67D;     // BEGIN_TEXT_COMMAND_PRINT
constexpr NativeHash printSubtitleHash = 0x9D77056A530643F6;     // END_TEXT_COMMAND_PRINT
constexpr NativeHash beginNotificationHash = 0x202709F4C58A0424; // BEGIN_TEXT_COMMAND_THEFEED_POST
// END_TEXT_COMMAND_THEFEED_POST_TICKER
constexpr NativeHash postNotificationHash = 0x2ED7843F8F801023;
// ADD_TEXT_COMPONENT_SUBSTRING_PLAYER_NAME, for screen text, subtitles and notifications
constexpr NativeHash addTextStringHash = 0x6C188BE134E074AA;

} // namespace

GameHandle playerCharacter() {
    return resultInt(invokeNative(playerCharacterHash));
}

bool characterInVehicle(GameHandle character) {
    return resultBool(invokeNative(characterInVehicleHash, character, std::int32_t{0}));
}

GameHandle vehicleOfCharacter(GameHandle character) {
    return resultInt(invokeNative(vehicleOfCharacterHash, character));
}

GameHandle driverOfVehicle(GameHandle vehicle) {
    return resultInt(invokeNative(driverOfVehicleHash, vehicle, driverSeat, std::int32_t{0}));
}

std::int32_t vehicleClass(GameHandle vehicle) {
    return resultInt(invokeNative(vehicleClassHash, vehicle));
}

float vehicleSpeed(GameHandle vehicle) {
    return resultFloat(invokeNative(vehicleSpeedHash, vehicle));
}

float vehicleTopSpeed(GameHandle vehicle) {
    return resultFloat(invokeNative(vehicleTopSpeedHash, vehicle));
}

void capVehicleSpeed(GameHandle vehicle, float maxSpeed) {
    invokeNative(capVehicleSpeedHash, vehicle, maxSpeed);
}

void forceForwardSpeed(GameHandle vehicle, float speed) {
    invokeNative(forceForwardSpeedHash, vehicle, speed);
}

// Every documented argument is pushed: the hook doesn't clear its slots, so a
// missing disableAutoStart would be whatever another script left there.
void stallEngine(GameHandle vehicle) {
    invokeNative(stallEngineHash, vehicle, std::int32_t{0}, std::int32_t{0}, std::int32_t{0});
}

bool vehicleStationary(GameHandle vehicle) {
    return resultBool(invokeNative(vehicleStationaryHash, vehicle));
}

bool controlFired(ControlId control) {
    return resultBool(invokeNative(controlFiredHash, controlPad, control));
}

bool usingKeyboardAndMouse() {
    return resultBool(invokeNative(keyboardAndMouseHash, controlPad));
}

bool characterUsingPhone(GameHandle character) {
    return resultBool(invokeNative(usingPhoneHash, character));
}

bool pauseMenuActive() {
    return resultBool(invokeNative(pauseMenuActiveHash));
}

std::int32_t gameTimeMs() {
    return resultInt(invokeNative(gameTimerHash));
}

bool controlHeld(ControlId control) {
    return resultBool(invokeNative(controlHeldHash, playerPad, control));
}

void suppressControl(ControlId control) {
    invokeNative(suppressControlHash, controlPad, control, std::int32_t{1});
}

void textFont(std::int32_t font) {
    invokeNative(textFontHash, font);
}

void textScale(float first, float second) {
    invokeNative(textScaleHash, first, second);
}

void textColour(std::int32_t red, std::int32_t green, std::int32_t blue) {
    invokeNative(textColourHash, red, green, blue, std::int32_t{255});
}

void textWrap(float left, float right) {
    invokeNative(textWrapHash, left, right);
}

void textCentred(std::int32_t on) {
    invokeNative(textCentredHash, on);
}

void textDropShadow(std::int32_t distance, std::int32_t red, std::int32_t green, std::int32_t blue,
                    std::int32_t alpha) {
    invokeNative(textDropShadowHash, distance, red, green, blue, alpha);
}

void textOutline() {
    invokeNative(textOutlineHash);
}

void beginScreenText(const char* kind) {
    invokeNative(beginScreenTextHash, kind);
}

void addTextString(const char* text) {
    invokeNative(addTextStringHash, text);
}

void drawScreenText(float x, float y) {
    invokeNative(drawScreenTextHash, x, y, std::int32_t{0});
}

void beginSubtitle(const char* kind) {
    invokeNative(beginSubtitleHash, kind);
}

void printSubtitle(std::int32_t durationMs) {
    invokeNative(printSubtitleHash, durationMs, std::int32_t{1});
}

void beginNotification(const char* kind) {
    invokeNative(beginNotificationHash, kind);
}

void postNotification() {
    invokeNative(postNotificationHash, std::int32_t{0}, std::int32_t{1});
}
