#include "host/natives.h"

namespace {

// Pad index of every control query and suppression.
constexpr std::int32_t controlPad = 2;

constexpr NativeHash playerCharacterHash = 0xD80958FC74E988A6;
constexpr NativeHash characterInVehicleHash = 0x997ABD671D25CA0B;
constexpr NativeHash vehicleOfCharacterHash = 0x6094AD011A2EA87D;
constexpr NativeHash vehicleSpeedHash = 0xD5037BA82E12416F;
constexpr NativeHash capVehicleSpeedHash = 0x0E46A3FCBDE2A1B1;
constexpr NativeHash forceForwardSpeedHash = 0xAB54A438726D25D5;
constexpr NativeHash stallEngineHash = 0x2497C4717C8B881E;
constexpr NativeHash vehicleStationaryHash = 0x5721B434AD84D57A;
constexpr NativeHash controlFiredHash = 0x580417101DDB492F;
constexpr NativeHash suppressControlHash = 0xFE99B66D079CF6BC;
constexpr NativeHash textFontHash = 0x66E0276CC5F6B9DA;
constexpr NativeHash textScaleHash = 0x07C837F9A01C34C9;
constexpr NativeHash textColourHash = 0xBE6B23FFA53FB442;
constexpr NativeHash textWrapHash = 0x63145D9C883A1A70;
constexpr NativeHash textCentredHash = 0xC02F4DBFB51D988B;
constexpr NativeHash textDropShadowHash = 0x465C84BC39F1C351;
constexpr NativeHash textOutlineHash = 0x2513DFB0FB8400FE;
constexpr NativeHash beginScreenTextHash = 0x25FBB336DF1804CB;
constexpr NativeHash addTextStringHash = 0x6C188BE134E074AA;
constexpr NativeHash drawScreenTextHash = 0xCD015E5BB0D96A57;
constexpr NativeHash beginSubtitleHash = 0xB87A37EEB7FAA67D;
constexpr NativeHash printSubtitleHash = 0x9D77056A530643F6;
constexpr NativeHash beginNotificationHash = 0x202709F4C58A0424;
constexpr NativeHash postNotificationHash = 0x2ED7843F8F801023;

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

float vehicleSpeed(GameHandle vehicle) {
    return resultFloat(invokeNative(vehicleSpeedHash, vehicle));
}

void capVehicleSpeed(GameHandle vehicle, float maxSpeed) {
    invokeNative(capVehicleSpeedHash, vehicle, maxSpeed);
}

void forceForwardSpeed(GameHandle vehicle, float speed) {
    invokeNative(forceForwardSpeedHash, vehicle, speed);
}

void stallEngine(GameHandle vehicle) {
    invokeNative(stallEngineHash, vehicle, std::int32_t{0}, std::int32_t{0});
}

bool vehicleStationary(GameHandle vehicle) {
    return resultBool(invokeNative(vehicleStationaryHash, vehicle));
}

bool controlFired(ControlId control) {
    return resultBool(invokeNative(controlFiredHash, controlPad, control));
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
    invokeNative(drawScreenTextHash, x, y);
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

// The character's handle is decoded before the vehicle query begins, so the
// two calls never overlap.
GameHandle playerVehicle() {
    const GameHandle character = playerCharacter();
    return vehicleOfCharacter(character);
}
