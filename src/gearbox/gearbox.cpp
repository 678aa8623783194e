#include "gearbox/gearbox.h"

#include <cmath>

#include "binding_file/gear_access.h"
#include "gearbox/driven_vehicle.h"
#include "gearbox/driving_inputs.h"
#include "gearbox/gear_speeds.h"
#include "host/keyboard.h"
#include "host/natives.h"
#include "keys/own_inputs.h"
#include "log/plugin_log.h"
#include "screen/hud.h"
#include "screen/screen_layout.h"

namespace {

GearboxState state;
FeelState feel;

constexpr float brakeFreeFrom = 1.0f;
constexpr float sKeyAllowance = 1.2f;
constexpr float reverseSpeed = -4.1f;

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

// Disabled for this frame, and so never fed from the wheel.
void disable(ControlId control, DisabledDriving& disabled) {
    suppressControl(control);
    noteDisabled(disabled, control);
}

// A move of the stick changes gear as a gear key does, and the last change
// wins: into a gate with the clutch it engages that gear at once; without, the
// box stays in neutral with the gate refused until the clutch is pressed
// while the stick is still there; out of every gate, neutral. Gates that
// can't be read leave the gear engaged last.
void followStick(Stick stick, bool feelOn) {
    const bool moved = stick != state.stick;
    state.stick = stick;
    const bool inGate = stick.where == Stick::Where::InGate;
    if (moved && !inGate) {
        state.engaged = stick == stickInNoGate ? Engaged::Neutral : Engaged::InGear;
    } else if (inGate && state.clutchHeld && (moved || state.engaged == Engaged::GateRefused)) {
        state.gear = stick.gate;
        state.engaged = Engaged::InGear;
    } else if (moved && inGate) {
        state.engaged = Engaged::GateRefused;
        state.felt.gateRefused = true;
        if (feelOn) {
            flareRevs(feel);
        }
    }
}

// The box engages no gear: the accelerator does nothing, as with the clutch
// held, and no cap holds the vehicle back, nor does a hint show.
void runNeutralStep(GameHandle vehicle) {
    if (state.engaged == Engaged::GateRefused && state.stick.where == Stick::Where::InGate) {
        drawRefusedLabel(gearSpec(state.stick.gate).label, gearLabelX);
    } else {
        drawHudLabel("N", gearLabelX, true);
    }
    capVehicle(vehicle, openCap);
    state.shiftHint = false;
}

// The pad's buttons do only the gearbox's work while it acts.
void disablePadControls(const KeyBindings& keys, bool pad, DisabledDriving& disabled) {
    if (!pad) {
        return;
    }
    for (const ControlId control : {keys.padHoldControl, keys.padUpControl, keys.padDownControl}) {
        if (control != 0) {
            disable(control, disabled);
        }
    }
}

// A vehicle's top speed is its own, not the moment's: asked once, when the
// gearbox comes to the vehicle. An answer out of range leaves the gears as
// written, and the log says so once for the vehicle.
void fitGearsTo(const KeyBindings& keys, GameHandle vehicle) {
    state.fittedVehicle = vehicle;
    state.fittedTopSpeed = tableTopSpeed;
    // The feel's gear as fitted goes with the top speed.
    feel.fittedGear = nullptr;
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

// The clutch as the gear feel takes it: 0 in, 1 out.
float clutchEngaged(const Wheel& wheel) {
    return state.clutchHeld ? 0.0f : wheel.clutchEngaged;
}

void runGearStep(GameHandle vehicle, const GearSpec& gear, const BoxGear& box, float frameSpeed,
                 const Wheel& wheel, DisabledDriving& disabled, const KeyBindings& keys,
                 float speed) {
    drawHudLabel(gear.label, gearLabelX, true);

    const GearSpeeds speeds = gearSpeeds(gear, box, state.fittedTopSpeed);
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
    if (keys.gearFeel == 1) [[unlikely]] {
        cap = feelInGear(feel, keys, wheel, vehicle, gear, box,
                         {speed, clutchEngaged(wheel), state.fittedTopSpeed, cap});
        // The hint as "Shift" shows it, from the last pass.
        if (keys.revBar == 1) {
            drawRevs(feel, state.shiftHint);
        }
    }
    capVehicle(vehicle, cap);

    if (gear.reverse) {
        disable(accelerateControl, disabled);
        disable(brakeControl, disabled);
        if (pushingInReverse(wheel)) {
            forceForwardSpeed(vehicle, reverseSpeed);
        }
    }

    state.shiftHint = box.hints && frameSpeed > speeds.hintAbove;
}

// The stick moves first, so that a gear key in the same pass is the last
// change; then a gear key selects its gear; else a shift press moves one
// gear. Shift presses are looked for on every pass, so that one made before
// the clutch doesn't count once the clutch is in.
void changeGear(const KeyBindings& keys, const Box& box, bool pad, const Wheel& wheel) {
    const bool upKey = keyPressed(keys.shiftUpKey, state.shiftUpKeyWasDown);
    const bool upButton = padPressed(pad, keys.padUpControl, state.padUpWasHeld);
    const bool downKey = keyPressed(keys.shiftDownKey, state.shiftDownKeyWasDown);
    const bool downButton = padPressed(pad, keys.padDownControl, state.padDownWasHeld);
    followStick(wheel.stick, keys.gearFeel == 1);
    const bool up = newlyDown(wheel.paddleUpHeld, state.paddleUpWasDown) || upKey || upButton;
    const bool down =
        newlyDown(wheel.paddleDownHeld, state.paddleDownWasDown) || downKey || downButton;
    if (!state.clutchHeld) {
        return;
    }
    const std::optional<Gear> keyed = gearOfKeyDown<gearTable>(keys, keyDown);
    if (keyed || up || down) {
        state.gear = keyed ? *keyed : nextGear(box, state.gear, up);
        state.engaged = Engaged::InGear;
    }
}

// Switched off, the gearbox disables nothing: the wheel drives a vehicle with
// a gearbox as it is, and the vehicle is asked for only when the wheel has
// something to send.
// The vehicle is looked for only when the wheel drives or feels it.
void driveWithGearboxOff(const WheelDrive& drive) {
    const bool feels = forceFeedbackState().status == ForceFeedbackStatus::On;
    if (!anyPressed(drive) && !feels) {
        return;
    }
    const auto [character, vehicle] = gearboxVehicle();
    state.felt.vehicle = vehicle;
    if (vehicle != 0) {
        feedWheelDrive(drive, {}, character);
    }
}

// Neutral and a refused gate as a recording keeps them, a flag each, either
// restored first.
constexpr StateField neutralField = {"neutral",
                                     [] { return std::int32_t{state.engaged != Engaged::InGear}; },
                                     [](std::int32_t neutral) {
                                         state.engaged = neutral == 0 ? Engaged::InGear
                                                         : state.engaged == Engaged::InGear
                                                             ? Engaged::Neutral
                                                             : state.engaged;
                                     },
                                     0, 1};
constexpr StateField gateRefusedField = {
    "gateRefused", [] { return std::int32_t{state.engaged == Engaged::GateRefused}; },
    [](std::int32_t refused) {
        state.engaged = refused != 0                            ? Engaged::GateRefused
                        : state.engaged == Engaged::GateRefused ? Engaged::Neutral
                                                                : state.engaged;
    },
    0, 1};

} // namespace

// The stick as a recording keeps it: a gate by its gear's number, then the
// number after the last gear for none, and the one after that for unknown.
template <>
struct RecordedAs<Stick> {
    static std::int32_t number(Stick stick) {
        return stick.where == Stick::Where::InGate ? static_cast<std::int32_t>(stick.gate)
               : stick == stickInNoGate            ? std::int32_t{gearCount}
                                                   : std::int32_t{gearCount + 1};
    }
    static Stick value(std::int32_t number) {
        return number >= 0 && number < std::int32_t{gearCount}
                   ? stickInGate(Gear{static_cast<std::uint8_t>(number)})
               : number == std::int32_t{gearCount} ? stickInNoGate
                                                   : stickUnknown;
    }
};

const GearboxState& gearboxState() {
    return state;
}

std::span<const StateField> gearboxStateFields() {
    static constexpr auto fields = std::to_array({
        flagField<state, &GearboxState::transmissionEnabled>("transmissionEnabled"),
        choiceField<state, &GearboxState::gear>("gear", gearCount - 1),
        neutralField,
        gateRefusedField,
        choiceField<state, &GearboxState::stick>("stick", gearCount + 1),
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

const FeelState& feelState() {
    return feel;
}

std::span<const StateField> feelStateFields() {
    static constexpr auto fields = std::to_array({
        floatField<feel, &FeelState::revs>("revs", 0.0f, 1.0f),
        numberField<feel, &FeelState::timeMs>("feelTimeMs"),
        flagField<feel, &FeelState::timed>("feelTimed"),
    });
    return fields;
}

bool updateGearbox(const KeyBindings& keys, const Wheel& wheel) {
    state.felt = GearboxFeel{};
    if (!state.transmissionEnabled) {
        driveWithGearboxOff(wheel.drive);
        return false;
    }
    // Asked once: every call of the pass that takes a vehicle gets this one.
    const auto [character, vehicle] = gearboxVehicle();
    state.felt.vehicle = vehicle;
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
    // The feel takes the speed as the game gave it.
    const float speed = frameSpeed;
    DisabledDriving disabled;
    if (state.clutchHeld || state.engaged != Engaged::InGear) {
        disable(accelerateControl, disabled);
    }
    disablePadControls(keys, pad, disabled);

    drawHudLabel("Clutch", clutchLabelX, state.clutchHeld);
    drawHudLabel("Shift", shiftLabelX, state.shiftHint);

    // Not "<": a NaN speed must count as below, so the brake is suppressed.
    if (!(frameSpeed >= brakeFreeFrom)) {
        disable(brakeControl, disabled);
    }

    if (!gearSpec(state.gear).reverse && keyDown(brakeKey) && frameSpeed > 0.0f) {
        frameSpeed -= sKeyAllowance;
    }

    if (state.engaged != Engaged::InGear) {
        if (keys.gearFeel == 1) [[unlikely]] {
            feelInNeutral(feel, wheel);
            if (keys.revBar == 1) {
                drawRevs(feel, state.shiftHint);
            }
        }
        runNeutralStep(vehicle);
    } else {
        runGearStep(vehicle, gearSpec(state.gear), inBox(box, state.gear), frameSpeed, wheel,
                    disabled, keys, speed);
    }

    // Once the pass has made every disable, with the gear its step ran with.
    if (wheel.driving) [[unlikely]] {
        feedWheelDrive(wheel.drive, disabled, character);
    }

    changeGear(keys, box, pad, wheel);

    // From here on the pass already uses a gear selected above; its label and
    // cap show from the next pass. In neutral the engine can't stall.
    if (state.engaged != Engaged::InGear) {
        return true;
    }
    const GearSpec& gear = gearSpec(state.gear);
    const BoxGear& speeds = inBox(box, state.gear);
    // Not "<=": a NaN speed must count as lugging.
    if (speeds.lugs &&
        !(frameSpeed > gearSpeeds(gear, speeds, state.fittedTopSpeed).lugAtOrBelow) &&
        accelerating(wheel)) {
        stallEngine(vehicle);
        state.felt.stalled = true;
    }
    if (gear.standstillStall && vehicleStationary(vehicle) && accelerating(wheel)) {
        stallEngine(vehicle);
        state.felt.stalled = true;
    }
    return true;
}

void switchGearboxOn() {
    state.transmissionEnabled = true;
}

void switchGearboxOff() {
    liftCap();
    state.gear = Gear{};
    state.engaged = Engaged::InGear;
    // Switched on again, the stick's place counts as a move.
    state.stick = stickUnknown;
    state.fittedVehicle = 0;
    state.transmissionEnabled = false;
    feel = FeelState{};
}

void fitGearsAgain() {
    state.fittedVehicle = 0;
}

void restartGearbox() {
    // What the player chose stays; what the gearbox knew of the game goes.
    state = GearboxState{.transmissionEnabled = state.transmissionEnabled};
    feel = FeelState{};
}

void resetGearbox() {
    state = GearboxState{};
    feel = FeelState{};
}
