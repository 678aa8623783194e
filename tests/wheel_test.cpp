// The gearbox with a wheel's clutch pedal and H-shifter: the gate the stick
// is in, neutral out of every gate, a gate refused without the clutch, the
// pedal past its bite as the clutch, and what neutral does to the car.
#include "gearbox_fixture.h"

#include "host/game_controllers.h"
#include "keys/own_inputs.h"
#include "screen/screen_layout.h"

namespace {

constexpr ControllerId g29 = {0x046D, 0xC24F};
constexpr std::size_t slider0 = 6;
constexpr int gate1Button = 13;

class WheelTest : public GearboxTest {
  protected:
    void SetUp() override {
        GearboxTest::SetUp();
        sim::plugController(0, g29, ControllerType::Wheel, "G29");
        KeyBindings keys = bindingsState().keys;
        keys.clutchPedal = {g29, axisPart(slider0, true)};
        for (std::size_t gear = 0; gear < gearCount; ++gear) {
            keys.*bindingFields[gearGateFields[gear]].input = {g29, gate1Button +
                                                                        static_cast<int>(gear)};
        }
        useKeyBindings(keys);
        lookForNamedControllers();
        setPedal(0.0f);
    }

    static sim::Controller& wheel() { return sim::world.controllers[0]; }

    // The pedal reads high released, low pressed.
    static void setPedal(float pressed) {
        wheel().input.axes[slider0] =
            static_cast<std::uint16_t>(std::lround((1.0f - pressed) * controllerAxisTop));
    }

    // The stick in the gate of this row of the gear table, or in none.
    static void putStick(std::optional<Gear> gate) {
        wheel().input.buttons.reset();
        if (gate) {
            wheel().input.buttons.set(static_cast<std::size_t>(gate1Button - 1) +
                                      static_cast<std::size_t>(*gate));
        }
    }

    // The gear label the last pass drew: its text, and "!" when red.
    static std::string gearLabel() {
        const auto drawn = std::ranges::find_if(
            sim::world.labels.rbegin(), sim::world.labels.rend(),
            [](const sim::Label& label) { return std::fabs(label.x - gearLabelX) < 1e-4f; });
        return drawn == sim::world.labels.rend()
                   ? "none"
                   : drawn->text + (drawn->colour.red == 240 ? "!" : "");
    }
};

struct StickCase {
    const char* what;
    // The state before the pass: the gear, neutral, refused and the stick's gate.
    std::vector<NamedValue> before;
    std::optional<Gear> gate;
    float pedal;
    bool clutchKey;
    std::int32_t bitePoint;
    // After it, and the label the next pass draws.
    Gear gear;
    bool neutral;
    bool refused;
    const char* label;
};

constexpr std::uint8_t inNoGate = stickInNoGate;

TEST_F(WheelTest, TheStickAndTheClutchChangeGearAsTheRulesSay) {
    const auto stick = [](Gear gear) { return static_cast<int>(gear); };
    const StickCase cases[] = {
        {"first read, in no gate: neutral",
         {},
         std::nullopt,
         0.0f,
         false,
         0,
         gear1,
         true,
         false,
         "N"},
        {"first read, in a gate without the clutch: refused",
         {},
         gear3,
         0.0f,
         false,
         0,
         gear1,
         true,
         true,
         "3!"},
        {"into a gate with the pedal past the bite: engaged",
         {{"neutral", 1}, {"stick", inNoGate}},
         gear2,
         0.6f,
         false,
         0,
         gear2,
         false,
         false,
         "2"},
        {"into a gate without the clutch: refused",
         {{"neutral", 1}, {"stick", inNoGate}},
         gear2,
         0.4f,
         false,
         0,
         gear1,
         true,
         true,
         "2!"},
        {"refused, then the pedal past the bite: engaged",
         {{"neutral", 1}, {"gateRefused", 1}, {"stick", stick(gear2)}},
         gear2,
         0.51f,
         false,
         0,
         gear2,
         false,
         false,
         "2"},
        {"refused, the pedal short of a bite of 60",
         {{"neutral", 1}, {"gateRefused", 1}, {"stick", stick(gear2)}},
         gear2,
         0.59f,
         false,
         60,
         gear1,
         true,
         true,
         "2!"},
        {"refused, the pedal past a bite of 30",
         {{"neutral", 1}, {"gateRefused", 1}, {"stick", stick(gear2)}},
         gear2,
         0.31f,
         false,
         30,
         gear2,
         false,
         false,
         "2"},
        {"refused, then the clutch key: engaged",
         {{"neutral", 1}, {"gateRefused", 1}, {"stick", stick(gearR)}},
         gearR,
         0.0f,
         true,
         0,
         gearR,
         false,
         false,
         "R"},
        {"out of its gate without the clutch: neutral",
         {{"gear", stick(gear3)}, {"stick", stick(gear3)}},
         std::nullopt,
         0.0f,
         false,
         0,
         gear3,
         true,
         false,
         "N"},
        {"out of its gate with the clutch: neutral",
         {{"gear", stick(gear3)}, {"stick", stick(gear3)}},
         std::nullopt,
         1.0f,
         false,
         0,
         gear3,
         true,
         false,
         "N"},
        {"still in its gate with the clutch: nothing changes",
         {{"gear", stick(gear4)}, {"stick", stick(gear2)}},
         gear2,
         1.0f,
         false,
         0,
         gear4,
         false,
         false,
         "4"},
        {"fifth's gate in a four-speed box: in none",
         {{"gear", stick(gear2)}, {"stick", stick(gear2)}},
         gear5,
         1.0f,
         false,
         0,
         gear2,
         true,
         false,
         "N"},
    };
    for (const StickCase& c : cases) {
        SCOPED_TRACE(c.what);
        restoreState({{"gear", 0}, {"neutral", 0}, {"gateRefused", 0}, {"stick", stickUnknown}});
        restoreState(c.before);
        bindField(&KeyBindings::bitePoint, c.bitePoint);
        putStick(c.gate);
        setPedal(c.pedal);
        c.clutchKey ? press(clutch) : release(clutch);
        passAt(10.0f);
        EXPECT_EQ(gearboxState().gear, c.gear);
        EXPECT_EQ(gearboxState().neutral, c.neutral);
        EXPECT_EQ(gearboxState().gateRefused, c.refused);
        passAt(10.0f);
        EXPECT_EQ(gearLabel(), c.label);
    }
}

TEST_F(WheelTest, InNeutralWDoesNothingNoCapHoldsAndNothingStallsOrHints) {
    restoreState(
        {{"gear", static_cast<int>(gear2)}, {"neutral", 1}, {"stick", inNoGate}, {"shiftHint", 1}});
    press(keyW);
    passAt(0.0f);
    EXPECT_TRUE(sim::world.suppressed.test(accelerateControl));
    EXPECT_EQ(car().maxSpeed, openCap);
    EXPECT_EQ(stallCalls(), 0) << "second at a standstill would stall in gear";
    EXPECT_FALSE(gearboxState().shiftHint);
    EXPECT_TRUE(car().engineOn);
}

TEST_F(WheelTest, AGateEngagedInOnePassShowsAndCapsFromTheNext) {
    restoreState({{"neutral", 1}, {"stick", inNoGate}});
    putStick(gear2);
    setPedal(1.0f);
    passAt(15.0f);
    EXPECT_EQ(gearLabel(), "N");
    EXPECT_EQ(car().maxSpeed, openCap);
    passAt(15.0f);
    EXPECT_EQ(gearLabel(), "2");
    EXPECT_EQ(car().maxSpeed, 31.0f);
}

TEST_F(WheelTest, AWheelLostReadsAsReleasedTheClutchOutAndTheStickInNoGate) {
    restoreState({{"gear", static_cast<int>(gear2)}, {"stick", static_cast<int>(gear2)}});
    putStick(gear2);
    passAt(10.0f);
    ASSERT_FALSE(gearboxState().neutral);
    sim::unplugController(0);
    wheel().input.axes[slider0] = 0;
    passAt(10.0f);
    EXPECT_FALSE(gearboxState().clutchHeld) << "a pedal at 0 reads pressed only while read";
    EXPECT_TRUE(gearboxState().neutral);
}

TEST_F(WheelTest, WithoutAGameControllerFoundNothingOfTheWheelIsAsked) {
    closeControllers();
    clearCalls();
    passAt(10.0f);
    for (const sim::Call& call : sim::world.calls) {
        EXPECT_NE(call.kind, sim::Call::Kind::ControllerRead);
    }
    EXPECT_FALSE(gearboxState().neutral) << "gates that can't be read leave the gear";
}

} // namespace
