#include "gearbox/gearbox.h"

#include <cmath>

#include "bindings/key_bindings.h"
#include "bindings/own_inputs.h"
#include "gearbox/gearbox_layout.h"
#include "gearbox/hud.h"
#include "host/keyboard.h"
#include "host/natives.h"

GearboxState gearboxState;

namespace {

// One gear's tuning. Above its cap a gear whose cap follows a faster vehicle
// caps at the current speed instead, so a downshift never brakes the vehicle.
struct GearTuning {
    const char* label;
    float cap;
    bool capFollowsFasterVehicle;
    // Lights "Shift" above this speed; a gear without one turns it off.
    bool hints;
    float hintAbove;
    bool lugs;
    float lugAtOrBelow;
    bool standstillStall;
};

// The whole tuning of the gearbox, indexed by Gear. Every value is single
// precision and every comparison is made in single precision.
// clang-format off
constexpr GearTuning gearTable[] = {
    // label  cap      follows  hints  above   lugs   at/below  standstill
    {  "1",   21.0f,   true,    true,  20.0f,  false, 0.0f,     false },
    {  "2",   31.0f,   true,    true,  30.0f,  true,  18.9f,    true  },
    {  "3",   40.5f,   true,    true,  39.5f,  true,  28.9f,    true  },
    {  "4",   9999.0f, false,   false, 0.0f,   true,  38.4f,    true  },
    {  "R",   8.0f,    false,   false, 0.0f,   false, 0.0f,     true  },
};
// clang-format on

const GearTuning& gearTuning(Gear gear) {
    return gearTable[static_cast<int>(gear)];
}

constexpr float brakeFreeFrom = 1.0f;
constexpr float sKeyAllowance = 1.2f;
constexpr float uncappedSpeed = 9999.0f;
// No vehicle goes faster: a speed above it, or no number at all, is a fault
// of the game's answer and never becomes a cap.
constexpr float fastestVehicleSpeed = 150.0f;
constexpr float reverseSpeed = -4.1f;

// The gear keys in the order they are tested; an earlier key wins.
struct GearKey {
    VirtualKeyCode KeyBindings::*key;
    Gear gear;
};

constexpr GearKey gearKeys[] = {
    {&KeyBindings::firstGearKey, Gear::First}, {&KeyBindings::secondGearKey, Gear::Second},
    {&KeyBindings::thirdGearKey, Gear::Third}, {&KeyBindings::fourthGearKey, Gear::Fourth},
    {&KeyBindings::reverseKey, Gear::Reverse},
};

// The vehicle the player's character drives, if it has a gearbox; else 0. The
// character counts as in a vehicle only once seated, and a passenger's
// vehicle is its driver's. An empty driver's seat is never asked who sits
// in it, which would seat a stranger at the wheel of an ambient car.
GameHandle gearboxVehicle() {
    const GameHandle character = playerCharacter();
    if (!characterInVehicle(character)) {
        return 0;
    }
    const GameHandle vehicle = vehicleOfCharacter(character);
    if (driverSeatFree(vehicle) || driverOfVehicle(vehicle) != character ||
        !classHasGearbox(vehicleClass(vehicle))) {
        return 0;
    }
    return vehicle;
}

void capVehicle(GameHandle vehicle, float maxSpeed) {
    capVehicleSpeed(vehicle, maxSpeed);
    gearboxState.cappedVehicle = vehicle;
}

// Whoever drives the capped vehicle next gets it back as the game made it.
void liftCap() {
    if (gearboxState.cappedVehicle != 0) {
        capVehicleSpeed(gearboxState.cappedVehicle, uncappedSpeed);
        gearboxState.cappedVehicle = 0;
    }
}

// The accelerate control is W on a keyboard, RT on a pad, or wherever the
// player moved it; it is asked last, and only where a rule needs it.
bool accelerating() {
    return controlFired(accelerateAltControl) || keyDown(accelerateKey) ||
           controlHeld(accelerateControl);
}

bool pushingInReverse() {
    return keyDown(accelerateKey) || controlHeld(accelerateControl);
}

// Game controls answer to every device: the pad's LB is also the right mouse
// button, its A the X key. So the pad's bindings count only while the player
// uses a pad, and a keyboard player keeps aiming from the car.
bool padInUse() {
    const KeyBindings& bindings = bindingsState.keys;
    return (bindings.padHoldControl != 0 || bindings.padUpControl != 0 ||
            bindings.padDownControl != 0) &&
           !usingKeyboardAndMouse();
}

// A press of a bound pad button; 0, none bound, is never asked about.
bool padPressed(bool pad, ControlId control, bool& wasHeld) {
    return pad && control != 0 && newlyDown(controlHeld(control), wasHeld);
}

// The clutch key, or the pad's hold button.
bool clutchDown(bool pad) {
    return keyDown(bindingsState.keys.clutchKey) ||
           (pad && bindingsState.keys.padHoldControl != 0 &&
            controlHeld(bindingsState.keys.padHoldControl));
}

// The pad's buttons do only the gearbox's work while it acts.
void suppressPadControls(bool pad) {
    for (const ControlId control :
         {bindingsState.keys.padHoldControl, bindingsState.keys.padUpControl,
          bindingsState.keys.padDownControl}) {
        if (pad && control != 0) {
            suppressControl(control);
        }
    }
}

void runGearStep(GameHandle vehicle, const GearTuning& tuning, float frameSpeed) {
    drawHudLabel(tuning.label, gearLabelX, true);

    float cap = tuning.cap;
    if (tuning.capFollowsFasterVehicle && frameSpeed > tuning.cap) {
        // A fresh read, not lowered by the S key allowance.
        const float speed = vehicleSpeed(vehicle);
        if (std::isfinite(speed) && speed <= fastestVehicleSpeed) {
            cap = speed;
        }
    }
    capVehicle(vehicle, cap);

    if (gearboxState.gear == Gear::Reverse) {
        suppressControl(accelerateControl);
        suppressControl(brakeControl);
        if (pushingInReverse()) {
            forceForwardSpeed(vehicle, reverseSpeed);
        }
    }

    gearboxState.shiftHint = tuning.hints && frameSpeed > tuning.hintAbove;
}

// One gear up, 1 to 4 and R to 1, or down, 4 to 1 and 1 to R; none past the ends.
Gear nextGear(Gear gear, bool up) {
    switch (gear) {
    case Gear::Reverse:
        return up ? Gear::First : Gear::Reverse;
    case Gear::First:
        return up ? Gear::Second : Gear::Reverse;
    case Gear::Second:
        return up ? Gear::Third : Gear::First;
    case Gear::Third:
        return up ? Gear::Fourth : Gear::Second;
    case Gear::Fourth:
        return up ? Gear::Fourth : Gear::Third;
    }
    return gear;
}

// A gear key selects its gear; else a shift press moves one gear. Shift presses
// are looked for on every pass, so that one made before the clutch doesn't
// count once the clutch is in.
void changeGear(bool pad) {
    GearboxState& state = gearboxState;
    const bool upKey = keyPressed(bindingsState.keys.shiftUpKey, state.shiftUpKeyWasDown);
    const bool upButton = padPressed(pad, bindingsState.keys.padUpControl, state.padUpWasHeld);
    const bool downKey = keyPressed(bindingsState.keys.shiftDownKey, state.shiftDownKeyWasDown);
    const bool downButton =
        padPressed(pad, bindingsState.keys.padDownControl, state.padDownWasHeld);
    const bool up = upKey || upButton;
    const bool down = downKey || downButton;
    if (!state.clutchHeld) {
        return;
    }
    for (const GearKey& gearKey : gearKeys) {
        if (keyDown(bindingsState.keys.*gearKey.key)) {
            state.gear = gearKey.gear;
            return;
        }
    }
    const Gear next = nextGear(state.gear, up);
    if (up || down) {
        state.gear = next;
    }
}

} // namespace

bool updateGearbox() {
    // Asked once: every call of the pass that takes a vehicle gets this one.
    const GameHandle vehicle = gearboxVehicle();
    if (gearboxState.cappedVehicle != vehicle) {
        liftCap();
    }
    if (vehicle == 0) {
        return false;
    }

    float frameSpeed = vehicleSpeed(vehicle);

    const bool pad = padInUse();
    gearboxState.clutchHeld = clutchDown(pad);
    if (gearboxState.clutchHeld) {
        suppressControl(accelerateControl);
    }
    suppressPadControls(pad);

    drawHudLabel("Clutch", clutchLabelX, gearboxState.clutchHeld);
    drawHudLabel("Shift", shiftLabelX, gearboxState.shiftHint);

    // Not "<": a NaN speed must count as below, so the brake is suppressed.
    if (!(frameSpeed >= brakeFreeFrom)) {
        suppressControl(brakeControl);
    }

    if (gearboxState.gear != Gear::Reverse && keyDown(brakeKey) && frameSpeed > 0.0f) {
        frameSpeed -= sKeyAllowance;
    }

    runGearStep(vehicle, gearTuning(gearboxState.gear), frameSpeed);

    changeGear(pad);

    // From here on the pass already uses a gear selected above; its label and
    // cap show from the next pass.
    const GearTuning& tuning = gearTuning(gearboxState.gear);
    // Not "<=": a NaN speed must count as lugging.
    if (tuning.lugs && !(frameSpeed > tuning.lugAtOrBelow) && accelerating()) {
        stallEngine(vehicle);
    }
    if (tuning.standstillStall && vehicleStationary(vehicle) && accelerating()) {
        stallEngine(vehicle);
    }
    return true;
}

void releaseGearbox() {
    liftCap();
    gearboxState.gear = Gear::First;
}

void restartGearbox() {
    // What the player chose stays; what the gearbox knew of the game goes.
    gearboxState = GearboxState{.transmissionEnabled = gearboxState.transmissionEnabled};
}
