#include "host/natives.h"

namespace {

// The frontend's pad, as the game's own scripts use it: a control just
// pressed, the input device, and one control disabled (0 and 2 disable alike).
constexpr std::int32_t controlPad = 2;
// The player's own controls: a control held, which the pad's buttons and
// triggers are read by, every control disabled at once, and a value fed.
constexpr std::int32_t playerPad = 0;
constexpr std::int32_t driverSeat = -1;

} // namespace

GameHandle playerCharacter() {
    return resultInt(invokeNative<Native::PlayerCharacter>());
}

bool characterInVehicle(GameHandle character) {
    return resultBool(invokeNative<Native::CharacterInVehicle>(character, std::int32_t{0}));
}

GameHandle vehicleOfCharacter(GameHandle character) {
    return resultInt(invokeNative<Native::VehicleOfCharacter>(character));
}

bool driverSeatFree(GameHandle vehicle) {
    return resultBool(invokeNative<Native::DriverSeatFree>(vehicle, driverSeat, std::int32_t{0}));
}

GameHandle driverOfVehicle(GameHandle vehicle) {
    return resultInt(invokeNative<Native::DriverOfVehicle>(vehicle, driverSeat, std::int32_t{0}));
}

std::int32_t vehicleClass(GameHandle vehicle) {
    return resultInt(invokeNative<Native::VehicleClass>(vehicle));
}

float vehicleSpeed(GameHandle vehicle) {
    return resultFloat(invokeNative<Native::VehicleSpeed>(vehicle));
}

float vehicleTopSpeed(GameHandle vehicle) {
    return resultFloat(invokeNative<Native::VehicleTopSpeed>(vehicle));
}

void capVehicleSpeed(GameHandle vehicle, float maxSpeed) {
    invokeNative<Native::CapVehicleSpeed>(vehicle, maxSpeed);
}

RelativeSpeed vehicleRelativeSpeed(GameHandle vehicle) {
    const NativeResult result =
        invokeNative<Native::VehicleRelativeSpeed, true>(vehicle, std::int32_t{1});
    return {resultComponent(result, 0), resultComponent(result, 1)};
}

bool vehicleInAir(GameHandle vehicle) {
    return resultBool(invokeNative<Native::VehicleInAir>(vehicle));
}

float vehicleBodyHealth(GameHandle vehicle) {
    return resultFloat(invokeNative<Native::VehicleBodyHealth>(vehicle));
}

void forceForwardSpeed(GameHandle vehicle, float speed) {
    invokeNative<Native::ForceForwardSpeed>(vehicle, speed);
}

// Every documented argument is pushed: the hook doesn't clear its slots, so a
// missing disableAutoStart would be whatever another script left there.
void stallEngine(GameHandle vehicle) {
    invokeNative<Native::StallEngine>(vehicle, std::int32_t{0}, std::int32_t{0}, std::int32_t{0});
}

bool vehicleStationary(GameHandle vehicle) {
    return resultBool(invokeNative<Native::VehicleStationary>(vehicle));
}

bool controlFired(ControlId control) {
    return resultBool(invokeNative<Native::ControlFired>(controlPad, control));
}

bool usingKeyboardAndMouse() {
    return resultBool(invokeNative<Native::KeyboardAndMouse>(controlPad));
}

bool characterUsingPhone(GameHandle character) {
    return resultBool(invokeNative<Native::UsingPhone>(character));
}

bool pauseMenuActive() {
    return resultBool(invokeNative<Native::PauseMenuActive>());
}

std::int32_t gameTimeMs() {
    return resultInt(invokeNative<Native::GameTimer>());
}

bool controlHeld(ControlId control) {
    return resultBool(invokeNative<Native::ControlHeld>(playerPad, control));
}

void suppressControl(ControlId control) {
    invokeNative<Native::SuppressControl>(controlPad, control, std::int32_t{1});
}

void disableAllControls() {
    invokeNative<Native::DisableAllControls>(playerPad);
}

bool feedControl(ControlId control, float value) {
    return resultBool(invokeNative<Native::FeedControl>(playerPad, control, value));
}

void textFont(std::int32_t font) {
    invokeNative<Native::TextFont>(font);
}

void textScale(float first, float second) {
    invokeNative<Native::TextScale>(first, second);
}

void textColour(std::int32_t red, std::int32_t green, std::int32_t blue) {
    invokeNative<Native::TextColour>(red, green, blue, std::int32_t{255});
}

void textWrapToScreen() {
    invokeNative<Native::TextWrap>(0.0f, 1.0f);
}

void textCentred() {
    invokeNative<Native::TextCentred>(std::int32_t{1});
}

void textNoDropShadow() {
    invokeNative<Native::TextDropShadow>(std::int32_t{0}, std::int32_t{0}, std::int32_t{0},
                                         std::int32_t{0}, std::int32_t{0});
}

void textOutline() {
    invokeNative<Native::TextOutline>();
}

void beginScreenText(const char* kind) {
    invokeNative<Native::BeginScreenText>(kind);
}

void addTextString(const char* text) {
    invokeNative<Native::AddTextString>(text);
}

void drawScreenText(float x, float y) {
    invokeNative<Native::DrawScreenText>(x, y, std::int32_t{0});
}

void beginSubtitle(const char* kind) {
    invokeNative<Native::BeginSubtitle>(kind);
}

void printSubtitle(std::int32_t durationMs) {
    invokeNative<Native::PrintSubtitle>(durationMs, std::int32_t{1});
}

void beginNotification(const char* kind) {
    invokeNative<Native::BeginNotification>(kind);
}

void postNotification() {
    invokeNative<Native::PostNotification>(std::int32_t{0}, std::int32_t{1});
}
