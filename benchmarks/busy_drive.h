// The plug-in in the stand-in's car, as the benchmarks drive it: with the
// three labels, the shipped MTconfig.ini's eight keys, and gear changes every
// few seconds, as a busy pass does.
#pragma once

#include "binding_file/gear_access.h"
#include "bindings/key_bindings.h"
#include "host/script_hook.h"
#include "plugin/recorded_state.h"
#include "plugin/script.h"
#include "sim/controller_steps.h"

namespace busy {

constexpr int keyW = 87, keyF9 = 120, clutch = 16, firstKey = 49, secondKey = 50;
constexpr int tenMinutes = 10 * 60 * 60;

inline void pass() {
    runFramePass();
    scriptWait(0);
}

inline void tap(int key) {
    sim::setKey(key, true);
    pass();
    sim::setKey(key, false);
}

// A freshly loaded plug-in in the car, its bindings read and its notice given.
inline void startInTheCar() {
    sim::world = sim::World{};
    sim::world.recording = false;
    sim::enterVehicle(sim::addVehicle(0x00000A01));
    resetPlugin(Reset::Everything);
    restoreStateValues(std::vector<NamedValue>{{"bindingsLoaded", 1}, {"noticeGiven", 1}});
    KeyBindings keys{};
    keys.clutchKey = clutch;
    keys.firstGearKey = firstKey;
    keys.secondGearKey = secondKey;
    keys.thirdGearKey = 51;
    keys.fourthGearKey = 52;
    keys.fifthGearKey = 53;
    keys.sixthGearKey = 54;
    keys.reverseKey = 82;
    useKeyBindings(keys);
}

// One more key in use.
inline void bind(std::int32_t KeyBindings::*field, std::int32_t key) {
    KeyBindings keys = bindingsState().keys;
    keys.*field = key;
    useKeyBindings(keys);
}

constexpr ControllerId g29 = {0x046D, 0xC24F};

// A G29 plugged in, as the last of `attached` controllers, its clutch pedal
// and every gate bound and looked for; the stick put in first's gate with the
// pedal down, so that first is engaged, then the pedal released.
inline void bindWheel(int attached = 1) {
    constexpr int firstGateButton = 13;
    for (int pad = 0; pad + 1 < attached; ++pad) {
        sim::plugController(pad, {0x045E, 0x028E}, ControllerType::Pad, "Controller (XBOX 360)");
    }
    const int place = attached - 1;
    sim::plugController(place, g29, ControllerType::Wheel, "Logitech G29 Driving Force");
    KeyBindings keys = bindingsState().keys;
    keys.clutchPedal = {g29, axisPart(6, true)};
    for (std::size_t gear = 0; gear < gearCount; ++gear) {
        keys.*bindingFields[gearGateFields[gear]].input = {g29, firstGateButton +
                                                                    static_cast<int>(gear)};
    }
    useKeyBindings(keys);
    lookForNamedControllers();
    sim::Controller& wheel = sim::world.controllers[static_cast<std::size_t>(place)];
    wheel.input.axes[6] = 0;
    wheel.input.buttons.set(firstGateButton - 1);
    pass();
    wheel.input.axes[6] = controllerAxisTop;
}

// The same G29's lines, with the G29 unplugged: looked for, and not found.
inline void bindMissingWheel() {
    bindWheel();
    sim::unplugController(0);
    lookForNamedControllers();
}

// The same G29 driving too: its wheel, throttle and brake pedals and a
// handbrake button bound, the wheel turned a fifth of the way right and the
// throttle pressed a third of its way, the brake and the handbrake released.
inline void bindWheelDriving(int attached = 1) {
    bindWheel(attached);
    KeyBindings keys = bindingsState().keys;
    keys.steeringAxis = {g29, axisPart(0, false)};
    keys.throttlePedal = {g29, axisPart(1, true)};
    keys.brakePedal = {g29, axisPart(5, true)};
    keys.handbrakeButton = {g29, 7};
    useKeyBindings(keys);
    sim::Controller& wheel = sim::world.controllers[static_cast<std::size_t>(attached - 1)];
    wheel.input.axes[0] = controllerAxisTop * 6 / 10;
    wheel.input.axes[1] = controllerAxisTop * 2 / 3;
    wheel.input.axes[5] = controllerAxisTop;
}

// The same G29 with force feedback at full strength, looked for again.
inline void bindForceFeedback() {
    KeyBindings keys = bindingsState().keys;
    keys.forceFeedback = 100;
    useKeyBindings(keys);
    lookForNamedControllers();
}

// Drives with the throttle down, changing between first and second every five
// seconds.
inline void drive(int passes) {
    sim::setKey(keyW, true);
    for (int i = 0; i < passes; ++i) {
        if (i % 300 == 299) {
            sim::setKey(clutch, true);
            sim::setKey(i % 600 == 299 ? secondKey : firstKey, true);
        }
        pass();
        sim::setKey(clutch, false);
        sim::setKey(firstKey, false);
        sim::setKey(secondKey, false);
    }
}

} // namespace busy
