// The gearbox with a wheel's clutch pedal and H-shifter: the gate the stick
// is in, neutral out of every gate, a gate refused without the clutch, the
// pedal past its bite as the clutch, and what neutral does to the car.
#include "gearbox_fixture.h"

#include <functional>

#include "choosing/input_choosing.h"
#include "host/game_controllers.h"
#include "keys/own_inputs.h"
#include "plugin/recorded_state.h"
#include "recorder/recorder.h"
#include "replay/replay.h"
#include "runner/recorded_drive.h"
#include "screen/screen_layout.h"
#include "sim/controller_steps.h"
#include "wheel/wheel_drive.h"

namespace {

constexpr ControllerId g29 = {0x046D, 0xC24F};
constexpr std::size_t slider0 = 6;
constexpr int gate1Button = 13;
// The stick in no gate, and unknown, as a recording keeps it.
constexpr int noGate = gearCount, stickUnknown = gearCount + 1;

class WheelTest : public GearboxTest {
  protected:
    void SetUp() override {
        GearboxTest::SetUp();
        sim::plugController(0, g29, ControllerType::Wheel, "G29");
        KeyBindings keys = bindingsState().keys;
        keys.clutchPedal = {g29, axisPart(slider0, true)};
        for (std::size_t gear = 0; gear < gearCount; ++gear) {
            keys.*bindingFields[gearGateFields[gear]].input = {g29, gate1Button + int(gear)};
        }
        useKeyBindings(keys);
        lookForNamedControllers();
    }

    static sim::Controller& wheel() { return sim::world.controllers[0]; }

    // The pedal pressed so far (it reads high released); the stick in the
    // gate of this row of the gear table, or in none (-1).
    static void setWheel(float pedal, int gate) {
        wheel().input.axes[slider0] = std::uint16_t(std::lround((1 - pedal) * controllerAxisTop));
        wheel().input.buttons.reset();
        wheel().input.buttons.set(std::size_t(gate1Button - 1 + gate), gate >= 0);
    }

    // The wheel's driving parts bound too: its wheel X, its pedals Y and Rz,
    // which read high released, and button 7 as the handbrake.
    static void bindDriving() {
        KeyBindings keys = bindingsState().keys;
        keys.steeringAxis = {g29, axisPart(0, false)};
        keys.throttlePedal = {g29, axisPart(1, true)};
        keys.brakePedal = {g29, axisPart(5, true)};
        keys.handbrakeButton = {g29, 7};
        useKeyBindings(keys);
    }

    // The gear label the last pass drew: its text, and "!" when red.
    static std::string gearLabel() {
        const auto drawn = std::ranges::find(sim::world.labels.rbegin(), sim::world.labels.rend(),
                                             gearLabelX, &sim::Label::x);
        return drawn->text + (drawn->colour.red == 240 ? "!" : "");
    }
};

TEST_F(WheelTest, TheStickAndTheClutchChangeGearAsTheRulesSay) {
    const int g2 = int(gear2), g3 = int(gear3), g4 = int(gear4), gR = int(gearR);
    const struct {
        const char* what;
        // Before the pass: the gear, neutral, a gate refused, the stick's gate.
        int gear, neutral, refused, stick;
        // This pass: the pedal, the clutch key, the bite point, the stick's gate.
        float pedal;
        bool clutchKey;
        int bite, gate;
        // After: the gear, neutral, refused, and the label of the next pass.
        int gearAfter, neutralAfter, refusedAfter;
        const char* label;
    } cases[] = {
        {"first read, in no gate: neutral", 0, 0, 0, stickUnknown, 0, false, 0, -1, 0, 1, 0, "N"},
        {"first read, in a gate: refused", 0, 0, 0, stickUnknown, 0, false, 0, g3, 0, 1, 1, "3!"},
        {"into a gate with the pedal past the bite", 0, 1, 0, noGate, .6f, false, 0, g2, g2, 0, 0,
         "2"},
        {"into a gate, the pedal short of it", 0, 1, 0, noGate, .4f, false, 0, g2, 0, 1, 1, "2!"},
        {"refused, then the pedal past it", 0, 1, 1, g2, .51f, false, 0, g2, g2, 0, 0, "2"},
        {"refused, short of a bite of 60", 0, 1, 1, g2, .59f, false, 60, g2, 0, 1, 1, "2!"},
        {"refused, past a bite of 30", 0, 1, 1, g2, .31f, false, 30, g2, g2, 0, 0, "2"},
        {"refused, then the clutch key", 0, 1, 1, gR, 0, true, 0, gR, gR, 0, 0, "R"},
        {"out of its gate without the clutch", g3, 0, 0, g3, 0, false, 0, -1, g3, 1, 0, "N"},
        {"out of its gate with the clutch", g3, 0, 0, g3, 1, false, 0, -1, g3, 1, 0, "N"},
        {"still in a gate, a key's gear kept", g4, 0, 0, g2, 1, false, 0, g2, g4, 0, 0, "4"},
        {"fifth's gate in a four-speed box", g2, 0, 0, g2, 1, false, 0, int(gear5), g2, 1, 0, "N"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        restoreState({{"gear", c.gear},
                      {"neutral", c.neutral},
                      {"gateRefused", c.refused},
                      {"stick", c.stick}});
        bindField(&KeyBindings::bitePoint, c.bite);
        setWheel(c.pedal, c.gate);
        c.clutchKey ? press(clutch) : release(clutch);
        passAt(10.0f);
        EXPECT_EQ(int(gearboxState().gear), c.gearAfter);
        EXPECT_EQ(gearboxState().engaged != Engaged::InGear, c.neutralAfter == 1);
        EXPECT_EQ(gearboxState().engaged == Engaged::GateRefused, c.refusedAfter == 1);
        passAt(10.0f);
        EXPECT_EQ(gearLabel(), c.label);
    }
}

// With the gear feel the bite point is a band; without it, a switch. A button
// reads 0 or 1, at the band's ends: it stays a switch.
TEST_F(WheelTest, WithTheFeelTheClutchPedalSlipsThroughABandAroundTheBitePoint) {
    const struct {
        int feel, bite, band;
        float pedal;
        bool pastBite;
        float engaged;
    } cases[] = {
        {0, 0, 0, .49f, false, 1},    {0, 0, 0, .51f, true, 0},     {1, 0, 0, .39f, false, 1},
        {1, 0, 0, .5f, false, .5f},   {1, 0, 0, .55f, false, .25f}, {1, 0, 0, .61f, true, 0},
        {1, 40, 5, .38f, false, .7f}, {1, 95, 10, 1, true, 0},      {1, 95, 10, .9f, false, .67f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.feel << " " << c.bite << " " << c.band << " " << c.pedal);
        KeyBindings keys = bindingsState().keys;
        keys.gearFeel = c.feel;
        keys.bitePoint = c.bite;
        keys.biteBand = c.band;
        useKeyBindings(keys);
        setWheel(c.pedal, 0);
        const Wheel& read = readWheel();
        EXPECT_EQ(read.clutchPastBite, c.pastBite);
        EXPECT_NEAR(read.clutchEngaged, c.engaged, 0.01f);
    }
}

// On the stand-in, W held: the pedal let out over a second and a half from
// the floor pulls away in first, its pull rising with the engagement; a gate
// refused flares the revs; dumped at a standstill in second, it stalls.
TEST_F(WheelTest, WithTheFeelAPedalLetOutSlowlyPullsAwayInFirstAndOneDumpedInSecondStalls) {
    bindField(&KeyBindings::gearFeel, 1);
    setWheel(1, int(gear1));
    pass();
    press(keyW);
    float halfEngaged = 0;
    for (int step = 100; step >= 0; --step) {
        setWheel(static_cast<float>(step) / 100, int(gear1));
        pass();
        halfEngaged = step == 50 ? car().torque : halfEngaged;
    }
    passes(30);
    EXPECT_EQ(stallCalls(), 0);
    EXPECT_GT(car().speed, 8.0f);
    EXPECT_NEAR(halfEngaged, car().torque / 2, 0.25f);

    release(keyW);
    setWheel(0, -1);
    passes(60);
    EXPECT_EQ(feelState().revs, idleRevs);
    setWheel(0, int(gear3));
    pass();
    EXPECT_NEAR(feelState().revs, idleRevs + 0.3f, 0.001f) << "a gate refused flares";

    car().speed = 0;
    setWheel(1, int(gear2));
    pass();
    setWheel(0, int(gear2));
    press(keyW);
    pass();
    EXPECT_GT(stallCalls(), 0);
    EXPECT_FALSE(car().engineOn);
}

TEST_F(WheelTest, InNeutralWDoesNothingNoCapHoldsAndNothingStallsOrHints) {
    restoreState({{"gear", int(gear2)}, {"neutral", 1}, {"stick", noGate}, {"shiftHint", 1}});
    setWheel(0, -1);
    press(keyW);
    passAt(0.0f);
    EXPECT_TRUE(sim::world.suppressed.test(accelerateControl));
    EXPECT_EQ(car().maxSpeed, openCap);
    EXPECT_EQ(stallCalls(), 0) << "second at a standstill would stall in gear";
    EXPECT_FALSE(gearboxState().shiftHint);
}

TEST_F(WheelTest, AWheelLostReadsAsReleasedTheClutchOutAndTheStickInNoGate) {
    restoreState({{"gear", int(gear2)}, {"stick", int(gear2)}});
    sim::unplugController(0);
    wheel().input.axes[slider0] = 0;
    passAt(10.0f);
    EXPECT_FALSE(gearboxState().clutchHeld) << "a pedal at 0 reads pressed only while read";
    EXPECT_EQ(gearboxState().engaged, Engaged::Neutral);
}

// Each of the wheel's driving parts pressed all the way: the disables of the
// pass come first, and what the pass disabled is not sent; nothing is sent,
// nor asked, where the player doesn't drive, or in the pause menu or the
// phone.
TEST_F(WheelTest, APassSendsWhatItDidNotDisableAfterItsDisables) {
    bindDriving();
    const std::string off76 = "DISABLE_CONTROL_ACTION(2,76,1)",
                      off71 = "DISABLE_CONTROL_ACTION(2,71,1)",
                      off72 = "DISABLE_CONTROL_ACTION(2,72,1)", menu = "IS_PAUSE_MENU_ACTIVE()",
                      phone = "IS_PED_RUNNING_MOBILE_PHONE_TASK(0x1B2C4)";
    const auto fed = [](int control) {
        return "SET_CONTROL_VALUE_NEXT_FRAME(0," + std::to_string(control) + "," + fl(1.0f) + ")";
    };
    const int g2 = int(gear2), gR = int(gearR);
    const std::function<void()> none = [] {};
    const std::function<void()> off = [] { restoreState({{"transmissionEnabled", 0}}); };
    const std::function<void()> pad76 = [] {
        bindField(&KeyBindings::padHoldControl, 76);
        sim::world.lastDevice = sim::Device::Pad;
    };
    const struct {
        const char* what;
        // The gear (its gate the stick's), neutral (the stick in none), the
        // clutch pedal, the speed.
        int gear, neutral;
        float clutch, speed;
        std::function<void()> go;
        std::vector<std::string> calls;
    } cases[] = {
        {"in gear", g2, 0, 0, 10, none, {menu, phone, fed(59), fed(71), fed(72), fed(76)}},
        {"the clutch held", g2, 0, 1, 10, none, {off71, menu, phone, fed(59), fed(72), fed(76)}},
        {"in neutral", g2, 1, 0, 10, none, {off71, menu, phone, fed(59), fed(72), fed(76)}},
        {"below 1 m/s", g2, 0, 0, .5f, none, {off72, menu, phone, fed(59), fed(71), fed(76)}},
        {"in reverse", gR, 0, 0, 10, none, {off71, off72, menu, phone, fed(59), fed(76)}},
        {"the gearbox off", g2, 0, 1, .5f, off, {menu, phone, fed(59), fed(71), fed(72), fed(76)}},
        {"in the pause menu", g2, 0, 0, 10, [] { sim::world.pauseMenuActive = true; }, {menu}},
        {"the phone out", g2, 0, 0, 10, [] { sim::world.phoneOut = true; }, {menu, phone}},
        {"a passenger", g2, 0, 0, 10, [] { sim::enterVehicle(0, sim::passengerSeat); }, {}},
        {"choosing keys", g2, 0, 0, 10, [] { startChoosingKeys(); }, {}},
        {"pad bound to 76", g2, 0, 0, 10, pad76, {off76, menu, phone, fed(59), fed(71), fed(72)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const int gate = c.neutral == 1 ? -1 : c.gear;
        restoreState({{"transmissionEnabled", 1},
                      {"gear", c.gear},
                      {"neutral", c.neutral},
                      {"stick", gate < 0 ? noGate : gate}});
        setWheel(c.clutch, gate);
        wheel().input.axes = {controllerAxisTop, 0, 0, 0, 0, 0, wheel().input.axes[slider0], 0};
        wheel().input.buttons.set(6);
        c.go();
        passAt(c.speed);
        std::vector<std::string> calls;
        std::ranges::copy_if(trace(), std::back_inserter(calls), [](const std::string& call) {
            return call.starts_with("DISABLE_CONTROL_ACTION") || call.starts_with("IS_PAUSE") ||
                   call.starts_with("IS_PED_RUNNING") || call.starts_with("SET_CONTROL_VALUE");
        });
        EXPECT_EQ(calls, c.calls);
        stopChoosingKeys();
        sim::world.pauseMenuActive = sim::world.phoneOut = false;
        sim::enterVehicle(0);
        scriptWait(0);
    }
}

// A steady pass with the wheel turned and the throttle pressed.
TEST_F(WheelTest, ASteadyPassWithTheWheelDrivingMakesFourNativeCallsMore) {
    bindDriving();
    restoreState({{"stick", 0}});
    setWheel(0, 0);
    wheel().input.axes = {40000, 40000, 0, 0, 0, controllerAxisTop, controllerAxisTop, 0};
    passAt(10.0f);
    scriptWait(0);
    passAt(10.0f);
    EXPECT_EQ(nativeCalls().size(), 43u)
        << "a steady cruise's 39, the pause menu, the phone, the steering and the throttle";
}

// Centred, a hair off its middle as an axis's reading is, the wheel steers
// nothing: the dead zone holds it.
TEST_F(WheelTest, AWheelCentredFeedsNoSteering) {
    bindDriving();
    restoreState({{"stick", 0}});
    setWheel(0, 0);
    constexpr std::uint16_t top = controllerAxisTop;
    wheel().input.axes = {top / 2, top, 0, 0, 0, top, top, 0};
    passAt(10.0f);
    EXPECT_EQ(
        std::ranges::count_if(
            trace(), [](const std::string& call) { return call.starts_with("SET_CONTROL_VALUE"); }),
        0);
}

// A recording started with the wheel turned: its replay finds the wheel's
// parts on the controllers the recording kept, and feeds the same steering.
TEST_F(WheelTest, ARecordingStartedWithTheWheelTurnedReplaysIdentical) {
    constexpr int keyF9 = 120;
    bindDriving();
    bindField(&KeyBindings::recordKey, keyF9);
    setWheel(0, -1);
    wheel().input.axes[0] = 50000;
    for (const bool f9 : {true, false, false, true, false}) {
        f9 ? press(keyF9) : release(keyF9);
        passAt(10.0f);
        scriptWait(0);
    }
    finishSave();
    int replayed = 0;
    for (const auto& file : std::filesystem::directory_iterator(pluginFolder)) {
        ++replayed;
        std::string error;
        const DriveRecording recorded =
            readRecording(readWholeFile(file.path().string(), error)).recording;
        EXPECT_EQ(replayRecording(recorded, {recordedStateFields, restorePlugin, runFramePass})
                      .differences,
                  std::vector<std::string>{});
    }
    EXPECT_EQ(replayed, 1);
}

// Steering from the axis's travel and a pedal's value, past a dead zone of 2%,
// 10% or 60%, with full lock at the end or half way there.
TEST(WheelDriveTest, TheDeadZoneAndTheFullLock) {
    const struct {
        float travel, deadZone, fullLock, steering, pedal;
    } cases[] = {
        {.5f, .02f, 1, 0, .4898f},    {.509f, .02f, 1, 0, .499f},    {.755f, .02f, 1, .5f, .75f},
        {1, .02f, 1, 1, 1},           {0, .02f, 1, -1, 0},           {.01f, .02f, 1, -.9796f, 0},
        {.25f, .1f, .5f, -1, .1667f}, {.6f, .1f, .5f, .25f, .5556f}, {.9f, .6f, .5f, 1, .75f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.travel);
        EXPECT_NEAR(steeringOf(c.travel, c.deadZone, c.fullLock), c.steering, 1e-4f);
        EXPECT_NEAR(pastDeadZone(c.travel, c.deadZone, 1), c.pedal, 1e-4f);
    }
}

} // namespace
