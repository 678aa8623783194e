#include "gearbox/gearbox.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <type_traits>

#include "binding_file/gear_access.h"
#include "gearbox/vehicle_classes.h"
#include "gearbox/wheel_drive.h"
#include "host/game_controllers.h"
#include "host/keyboard.h"
#include "host/natives.h"
#include "keys/own_inputs.h"
#include "log/plugin_log.h"
#include "screen/hud.h"
#include "screen/screen_layout.h"

namespace {

GearboxState state;

constexpr auto& boxes = boxesOf<gearTable>;
using Box = std::remove_cvref_t<decltype(boxes.front())>;

const GearSpec& gearSpec(Gear gear) {
    return gearTable[static_cast<std::size_t>(gear)];
}

const BoxGear& inBox(const Box& box, Gear gear) {
    return box.gears[static_cast<std::size_t>(gear)];
}

constexpr float brakeFreeFrom = 1.0f;
constexpr float sKeyAllowance = 1.2f;
constexpr float reverseSpeed = -4.1f;

struct Driving {
    GameHandle character = 0;
    GameHandle vehicle = 0;
};

// The player's character, and the vehicle it drives if that has a gearbox;
// else 0. The character counts as in a vehicle only once seated, and a
// passenger's vehicle is its driver's. An empty driver's seat is never asked
// who sits in it, which would seat a stranger at the wheel of an ambient car.
// Inlined into both its callers, so that a steady pass makes no call for it.
[[gnu::always_inline]] inline Driving gearboxVehicle() {
    const GameHandle character = playerCharacter();
    if (!characterInVehicle(character)) {
        return {character, 0};
    }
    const GameHandle vehicle = vehicleOfCharacter(character);
    if (driverSeatFree(vehicle) || driverOfVehicle(vehicle) != character ||
        !classHasGearbox(vehicleClass(vehicle))) {
        return {character, 0};
    }
    return {character, vehicle};
}

void capVehicle(GameHandle vehicle, float maxSpeed) {
    capVehicleSpeed(vehicle, maxSpeed);
    state.cappedVehicle = vehicle;
}

// Whoever drives the capped vehicle next gets it back as the game made it.
void liftCap() {
    if (state.cappedVehicle != 0) {
        capVehicleSpeed(state.cappedVehicle, openCap);
        state.cappedVehicle = 0;
    }
}

// The accelerate control is W on a keyboard, RT on a pad, or wherever the
// player moved it; it is asked last, and only where a rule needs it. A
// wheel's throttle pedal past its dead zone, read this pass, counts as W.
bool accelerating(const KeyBindings& keys, bool wheel) {
    return (wheel && throttlePedalDown(keys)) || controlFired(accelerateAltControl) ||
           keyDown(accelerateKey) || controlHeld(accelerateControl);
}

bool pushingInReverse(const KeyBindings& keys, bool wheel) {
    return (wheel && throttlePedalDown(keys)) || keyDown(accelerateKey) ||
           controlHeld(accelerateControl);
}

// Game controls answer to every device: the pad's LB is also the right mouse
// button, its A the X key. So the pad's bindings count only while the player
// uses a pad, and a keyboard player keeps aiming from the car.
bool padInUse(const KeyBindings& keys) {
    return (keys.padHoldControl != 0 || keys.padUpControl != 0 || keys.padDownControl != 0) &&
           !usingKeyboardAndMouse();
}

// A press of a bound pad button; 0, none bound, is never asked about.
bool padPressed(bool pad, ControlId control, bool& wasHeld) {
    return pad && control != 0 && newlyDown(controlHeld(control), wasHeld);
}

// A button, or an axis pressed half way or more.
constexpr float partDownFrom = 0.5f;

bool pedalPastBite(const KeyBindings& keys) {
    return pressedTravel(keys.clutchPedal) * 100.0f >=
           static_cast<float>(percentOrDefault(keys.bitePoint, defaultBitePoint));
}

// The clutch key, the pad's hold button, or the wheel's pedal past its bite.
bool clutchDown(const KeyBindings& keys, bool pad, bool wheel) {
    return keyDown(keys.clutchKey) ||
           (pad && keys.padHoldControl != 0 && controlHeld(keys.padHoldControl)) ||
           (wheel && pedalPastBite(keys));
}

// The gate of the box the stick is in; in none, when any of the box's gates
// can be read; else unknown.
std::uint8_t stickGate(const KeyBindings& keys, const Box& box) {
    std::uint8_t stick = stickUnknown;
    for (std::size_t gear = 0; gear < gearCount; ++gear) {
        const ControllerBinding& gate = keys.*bindingFields[gearGateFields[gear]].input;
        const GameController* controller =
            gate.part != 0 && box.gears[gear].inBox ? controllerOf(gate.device) : nullptr;
        if (controller == nullptr) {
            continue;
        }
        if (pressedTravel(*controller, gate.part) >= partDownFrom) {
            return static_cast<std::uint8_t>(gear);
        }
        stick = stickInNoGate;
    }
    return stick;
}

// A move of the stick changes gear as a gear key does, and the last change
// wins: into a gate with the clutch it engages that gear at once; without, the
// box stays in neutral with the gate refused until the clutch is pressed
// while the stick is still there; out of every gate, neutral. Gates that
// can't be read leave the gear engaged last.
void followStick(std::uint8_t stick) {
    const bool moved = stick != state.stick;
    state.stick = stick;
    if (moved && stick >= stickInNoGate) {
        state.neutral = stick == stickInNoGate;
        state.gateRefused = false;
    } else if (stick < stickInNoGate && state.clutchHeld && (moved || state.gateRefused)) {
        state.gear = Gear{stick};
        state.neutral = false;
        state.gateRefused = false;
    } else if (moved && stick < stickInNoGate) {
        state.neutral = true;
        state.gateRefused = true;
    }
}

// The box engages no gear: the accelerator does nothing, as with the clutch
// held, and no cap holds the vehicle back, nor does a hint show.
void runNeutralStep(GameHandle vehicle) {
    if (state.gateRefused && state.stick < gearCount) {
        drawRefusedLabel(gearTable[state.stick].label, gearLabelX);
    } else {
        drawHudLabel("N", gearLabelX, true);
    }
    capVehicle(vehicle, openCap);
    state.shiftHint = false;
}

// The pad's buttons do only the gearbox's work while it acts.
void suppressPadControls(const KeyBindings& keys, bool pad) {
    for (const ControlId control : {keys.padHoldControl, keys.padUpControl, keys.padDownControl}) {
        if (pad && control != 0) {
            suppressControl(control);
        }
    }
}

// The text of a top speed for the log: a float, NaN or infinity as such.
std::string speedText(float speed) {
    if (std::isnan(speed)) {
        return "NaN";
    }
    if (std::isinf(speed)) {
        return speed > 0 ? "infinity" : "-infinity";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(speed));
    return text;
}

// A vehicle's top speed is its own, not the moment's: asked once, when the
// gearbox comes to the vehicle. An answer out of range leaves the gears as
// written, and the log says so once for the vehicle.
void fitGearsTo(const KeyBindings& keys, GameHandle vehicle) {
    state.fittedVehicle = vehicle;
    state.fittedTopSpeed = tableTopSpeed;
    if (keys.fitGears != 1) {
        return;
    }
    const float top = vehicleTopSpeed(vehicle);
    if (top >= lowestTopSpeed && top <= highestTopSpeed) {
        state.fittedTopSpeed = top;
    } else if (state.unfitVehicle != vehicle) {
        state.unfitVehicle = vehicle;
        addToLog("FitGears: the game gives vehicle " + std::to_string(vehicle) +
                 " a top speed of " + speedText(top) + " m/s, not one from " +
                 speedText(lowestTopSpeed) + " to " + speedText(highestTopSpeed) +
                 ", so its gears keep their speeds as written.");
    }
}

// A gear's speeds as the fitted top speed makes them; an open cap stays open.
struct GearSpeeds {
    float cap;
    float hintAbove;
    float lugAtOrBelow;
};

GearSpeeds gearSpeeds(const GearSpec& gear, const BoxGear& box) {
    if (gear.reverse) {
        return {box.cap, box.hintAbove, box.lugAtOrBelow};
    }
    const float scale = state.fittedTopSpeed / tableTopSpeed;
    return {box.cap == openCap ? openCap : box.cap * scale, box.hintAbove * scale,
            box.lugAtOrBelow * scale};
}

void runGearStep(GameHandle vehicle, const GearSpec& gear, const BoxGear& box, float frameSpeed,
                 const KeyBindings& keys, bool wheel) {
    drawHudLabel(gear.label, gearLabelX, true);

    const GearSpeeds speeds = gearSpeeds(gear, box);
    float cap = speeds.cap;
    if (box.capFollowsFasterVehicle && frameSpeed > speeds.cap) {
        // A fresh read, not lowered by the S key allowance. No vehicle goes
        // faster than the highest top speed: a speed above it, or no number at
        // all, is a fault of the game's answer and never becomes a cap.
        const float speed = vehicleSpeed(vehicle);
        if (std::isfinite(speed) && speed <= highestTopSpeed) {
            cap = speed;
        }
    }
    capVehicle(vehicle, cap);

    if (gear.reverse) {
        suppressControl(accelerateControl);
        suppressControl(brakeControl);
        if (pushingInReverse(keys, wheel)) {
            forceForwardSpeed(vehicle, reverseSpeed);
        }
    }

    state.shiftHint = box.hints && frameSpeed > speeds.hintAbove;
}

// One gear up or down: the nearest shift rank of the box beyond the gear's;
// none past the ends.
Gear nextGear(const Box& box, Gear gear, bool up) {
    const int rank = gearSpec(gear).shiftRank;
    Gear next = gear;
    int nearest = INT_MAX;
    for (std::size_t i = 0; i < gearCount; ++i) {
        const int step = up ? gearTable[i].shiftRank - rank : rank - gearTable[i].shiftRank;
        if (box.gears[i].inBox && step > 0 && step < nearest) {
            nearest = step;
            next = Gear{static_cast<std::uint8_t>(i)};
        }
    }
    return next;
}

// A press of one of the wheel's buttons.
bool wheelPressed(const ControllerBinding& input, bool& wasDown) {
    return newlyDown(pressedTravel(input) >= partDownFrom, wasDown);
}

// The stick moves first, so that a gear key in the same pass is the last
// change; then a gear key selects its gear; else a shift press moves one
// gear. Shift presses are looked for on every pass, so that one made before
// the clutch doesn't count once the clutch is in.
void changeGear(const KeyBindings& keys, const Box& box, bool pad, bool wheel) {
    const bool upKey = keyPressed(keys.shiftUpKey, state.shiftUpKeyWasDown);
    const bool upButton = padPressed(pad, keys.padUpControl, state.padUpWasHeld);
    const bool downKey = keyPressed(keys.shiftDownKey, state.shiftDownKeyWasDown);
    const bool downButton = padPressed(pad, keys.padDownControl, state.padDownWasHeld);
    bool up = upKey || upButton;
    bool down = downKey || downButton;
    if (wheel) {
        followStick(stickGate(keys, box));
        up = wheelPressed(keys.paddleUpButton, state.paddleUpWasDown) || up;
        down = wheelPressed(keys.paddleDownButton, state.paddleDownWasDown) || down;
    }
    if (!state.clutchHeld) {
        return;
    }
    const std::optional<Gear> keyed = gearOfKeyDown<gearTable>(keys, keyDown);
    if (keyed || up || down) {
        state.gear = keyed ? *keyed : nextGear(box, state.gear, up);
        state.neutral = false;
        state.gateRefused = false;
    }
}

// The pad's buttons the pass disabled are not fed either.
void unsendPadControls(const KeyBindings& keys, bool pad, WheelDrive& drive) {
    if (!pad) {
        return;
    }
    for (const ControlId control : {keys.padHoldControl, keys.padUpControl, keys.padDownControl}) {
        drive.steering = control == steerControl ? 0.0f : drive.steering;
        drive.throttle = control == accelerateControl ? 0.0f : drive.throttle;
        drive.brake = control == brakeControl ? 0.0f : drive.brake;
        drive.handbrake = control != handbrakeControl && drive.handbrake;
    }
}

// What the wheel drives, read once the pass has made every disable, but for
// what the pass disabled, so that the two never fight. The gear is still the
// one its step ran with. Out of line: a pass without the wheel's driving
// lines only tests for them.
[[gnu::noinline]] void sendUndisabled(const KeyBindings& keys, GameHandle character, bool pad,
                                      bool brakeSuppressed) {
    WheelDrive drive = readWheelDrive(keys);
    const bool reverse = !state.neutral && gearSpec(state.gear).reverse;
    drive.throttle = state.clutchHeld || state.neutral || reverse ? 0.0f : drive.throttle;
    drive.brake = brakeSuppressed || reverse ? 0.0f : drive.brake;
    unsendPadControls(keys, pad, drive);
    sendWheelDrive(character, drive);
}

// Switched off, the gearbox disables nothing: the wheel drives a vehicle with
// a gearbox as it is, and the vehicle is asked for only when the wheel has
// something to send.
void driveWithGearboxOff(const KeyBindings& keys) {
    const WheelDrive drive = readWheelDrive(keys);
    if (!drives(drive)) {
        return;
    }
    const auto [character, vehicle] = gearboxVehicle();
    if (vehicle != 0) {
        sendWheelDrive(character, drive);
    }
}

} // namespace

const GearboxState& gearboxState() {
    return state;
}

std::span<const StateField> gearboxStateFields() {
    static constexpr auto fields = std::to_array({
        flagField<state, &GearboxState::transmissionEnabled>("transmissionEnabled"),
        choiceField<state, &GearboxState::gear>("gear", gearCount - 1),
        flagField<state, &GearboxState::neutral>("neutral"),
        flagField<state, &GearboxState::gateRefused>("gateRefused"),
        choiceField<state, &GearboxState::stick>("stick", stickUnknown),
        flagField<state, &GearboxState::clutchHeld>("clutchHeld"),
        flagField<state, &GearboxState::shiftHint>("shiftHint"),
        numberField<state, &GearboxState::cappedVehicle>("cappedVehicle"),
        flagField<state, &GearboxState::shiftUpKeyWasDown>("shiftUpKeyWasDown"),
        flagField<state, &GearboxState::shiftDownKeyWasDown>("shiftDownKeyWasDown"),
        flagField<state, &GearboxState::padUpWasHeld>("padUpWasHeld"),
        flagField<state, &GearboxState::padDownWasHeld>("padDownWasHeld"),
        flagField<state, &GearboxState::paddleUpWasDown>("paddleUpWasDown"),
        flagField<state, &GearboxState::paddleDownWasDown>("paddleDownWasDown"),
        numberField<state, &GearboxState::fittedVehicle>("fittedVehicle"),
        floatField<state, &GearboxState::fittedTopSpeed>("fittedTopSpeed", lowestTopSpeed,
                                                         highestTopSpeed),
        numberField<state, &GearboxState::unfitVehicle>("unfitVehicle"),
    });
    return fields;
}

bool updateGearbox(const KeyBindings& keys, bool wheel) {
    if (!state.transmissionEnabled) {
        if (wheel && wheelDrivingBound(keys)) {
            driveWithGearboxOff(keys);
        }
        return false;
    }
    // Asked once: every call of the pass that takes a vehicle gets this one.
    const auto [character, vehicle] = gearboxVehicle();
    if (state.cappedVehicle != vehicle) {
        liftCap();
    }
    if (vehicle == 0) {
        return false;
    }
    const Box& box = boxWith<boxes>(keys.forwardGears);
    if (vehicle != state.fittedVehicle) {
        fitGearsTo(keys, vehicle);
        // Read again, the bindings may pick a box without the gear.
        if (!inBox(box, state.gear).inBox) {
            state.gear = box.top;
        }
    }

    float frameSpeed = vehicleSpeed(vehicle);

    const bool pad = padInUse(keys);
    state.clutchHeld = clutchDown(keys, pad, wheel);
    if (state.clutchHeld || state.neutral) {
        suppressControl(accelerateControl);
    }
    suppressPadControls(keys, pad);

    drawHudLabel("Clutch", clutchLabelX, state.clutchHeld);
    drawHudLabel("Shift", shiftLabelX, state.shiftHint);

    // Not "<": a NaN speed must count as below, so the brake is suppressed.
    const bool brakeSuppressed = !(frameSpeed >= brakeFreeFrom);
    if (brakeSuppressed) {
        suppressControl(brakeControl);
    }

    if (!gearSpec(state.gear).reverse && keyDown(brakeKey) && frameSpeed > 0.0f) {
        frameSpeed -= sKeyAllowance;
    }

    if (state.neutral) {
        runNeutralStep(vehicle);
    } else {
        runGearStep(vehicle, gearSpec(state.gear), inBox(box, state.gear), frameSpeed, keys, wheel);
    }

    if (wheel && wheelDrivingBound(keys)) [[unlikely]] {
        sendUndisabled(keys, character, pad, brakeSuppressed);
    }

    changeGear(keys, box, pad, wheel);

    // From here on the pass already uses a gear selected above; its label and
    // cap show from the next pass. In neutral the engine can't stall.
    if (state.neutral) {
        return true;
    }
    const GearSpec& gear = gearSpec(state.gear);
    const BoxGear& speeds = inBox(box, state.gear);
    // Not "<=": a NaN speed must count as lugging.
    if (speeds.lugs && !(frameSpeed > gearSpeeds(gear, speeds).lugAtOrBelow) &&
        accelerating(keys, wheel)) {
        stallEngine(vehicle);
    }
    if (gear.standstillStall && vehicleStationary(vehicle) && accelerating(keys, wheel)) {
        stallEngine(vehicle);
    }
    return true;
}

void switchGearboxOn() {
    state.transmissionEnabled = true;
}

void switchGearboxOff() {
    liftCap();
    state.gear = Gear{};
    state.neutral = false;
    state.gateRefused = false;
    // Switched on again, the stick's place counts as a move.
    state.stick = stickUnknown;
    state.fittedVehicle = 0;
    state.transmissionEnabled = false;
}

void fitGearsAgain() {
    state.fittedVehicle = 0;
}

void restartGearbox() {
    // What the player chose stays; what the gearbox knew of the game goes.
    state = GearboxState{.transmissionEnabled = state.transmissionEnabled};
}

void resetGearbox() {
    state = GearboxState{};
}
