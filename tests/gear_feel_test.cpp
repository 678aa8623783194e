// The gear feel: its table in every box, what a pass sends, the engine's
// braking and the rev bar, and drives on the stand-in with the feel on and
// off.
#include "gearbox_fixture.h"

#include <optional>

#include "gearbox/gear_feel.h"
#include "screen/screen_layout.h"

namespace {

// In every box, at each revs of the table: lower gears pull and brake harder,
// the pull within 0.2 to 1.8; in each gear the pull peaks between lugging and
// the cap, and the braking grows with the revs.
TEST(GearFeelTableTest, LowerGearsPullAndBrakeHarderAndTheRevsShapeEachGear) {
    for (const auto& box : boxes) {
        SCOPED_TRACE(testing::Message() << box.forwardGears << " forward gears");
        const float last = static_cast<float>(box.forwardGears - 1);
        for (const FeelAtRevs& row : feelByRevs) {
            Feel lower{strongestPull, 99.0f};
            for (int rank = 1; rank <= box.forwardGears; ++rank) {
                const Feel feel = feelAt(static_cast<float>(rank - 1) / last, row.revs);
                EXPECT_GE(feel.pull, weakestPull);
                EXPECT_LE(feel.pull, strongestPull);
                EXPECT_LT(feel.pull, lower.pull) << "gear " << rank << " at " << row.revs;
                EXPECT_LT(feel.braking, lower.braking) << "gear " << rank << " at " << row.revs;
                lower = feel;
            }
        }
        for (int rank = 1; rank <= box.forwardGears; ++rank) {
            const float place = static_cast<float>(rank - 1) / last;
            EXPECT_LT(feelAt(place, idleRevs).pull, 0.65f * feelAt(place, 0.7f).pull);
            EXPECT_GT(feelAt(place, 0.7f).pull, feelAt(place, 1.0f).pull);
            EXPECT_LT(feelAt(place, 0.5f).braking, feelAt(place, 0.9f).braking);
        }
    }
    EXPECT_NEAR(feelAt(0.0f, 0.85f).braking, 1.5f, 0.1f) << "first at high revs";
    EXPECT_LT(feelAt(1.0f, 1.0f).braking, 0.3f) << "the top gear";
}

class GearFeelTest : public GearboxTest {
  protected:
    void SetUp() override {
        GearboxTest::SetUp();
        bindField(&KeyBindings::gearFeel, 1);
        bindField(&KeyBindings::revBar, 1);
    }

    // The multiplier the last pass sent, if it sent one.
    static std::optional<float> pullSent() {
        std::optional<float> pull;
        for (const sim::Call& call : nativeCalls()) {
            if (call.hash == hashOf(Native::ScaleEngineTorque)) {
                pull = std::bit_cast<float>(static_cast<std::uint32_t>(call.arguments[1]));
            }
        }
        return pull;
    }

    // The bar as a pass at this speed draws it: its revs and red channel.
    static std::pair<float, int> barAt(float speed) {
        car().speed = speed;
        pass();
        EXPECT_EQ(sim::world.shownRects.size(), 1u);
        const sim::DrawnRect& bar = sim::world.shownRects.back();
        return {bar.width / revBarWidth, bar.colour.red};
    }

    // Passes with W held or not, from this speed in this gear, until the
    // speed reaches `until` (or drops to it): how many.
    static int passesFrom(Gear gear, float speed, float until) {
        putInGear(gear);
        car().speed = speed;
        int count = 0;
        while ((speed < until ? car().speed < until - 0.005f : car().speed > until) &&
               count < 3000) {
            pass();
            ++count;
        }
        return count;
    }
};

TEST_F(GearFeelTest, InGearWithTheClutchOutAPassSendsThePullOfItsGearAndRevs) {
    const struct {
        const char* what;
        Gear gear;
        float speed;
        bool clutchKey;
        int neutral, feel, pullPercent;
        std::optional<float> pull;
    } cases[] = {
        {"first, pulling away", gear1, 0, false, 0, 1, 0, feelAt(0, pullAwayRevs).pull},
        {"second, lugging", gear2, 18.9f, false, 0, 1, 0, feelAt(1 / 3.0f, idleRevs).pull},
        {"fourth at 45", gear4, 45, false, 0, 1, 0, feelAt(1, idleRevs + .85f * 6.6f / 11.6f).pull},
        {"first, Pull=150", gear1, 0, false, 0, 1, 150, 1.5f * feelAt(0, pullAwayRevs).pull - .5f},
        {"first at 10, Pull=150", gear1, 10, false, 0, 1, 150, strongestPull},
        {"fourth lugging, Pull=200", gear4, 30, false, 0, 1, 200, weakestPull},
        {"the clutch in", gear2, 25, true, 0, 1, 0, std::nullopt},
        {"neutral", gear2, 25, false, 1, 1, 0, std::nullopt},
        {"reverse", gearR, 2, false, 0, 1, 0, std::nullopt},
        {"the feel off", gear2, 25, false, 0, 0, 0, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        bindField(&KeyBindings::gearFeel, c.feel);
        bindField(&KeyBindings::pull, c.pullPercent);
        restoreState({{"gear", int(c.gear)}, {"neutral", c.neutral}});
        c.clutchKey ? press(clutch) : release(clutch);
        passAt(c.speed);
        ASSERT_EQ(pullSent().has_value(), c.pull.has_value());
        if (c.pull) {
            EXPECT_NEAR(*pullSent(), *c.pull, 0.002f);
        }
    }
}

// The multiplier, the bar and W: what a steady pass with the throttle
// pressed adds; released, the throttle asked once, and the game's time.
TEST_F(GearFeelTest, ASteadyPassMakesTwoNativeCallsAndOneKeyQueryMore) {
    press(keyW);
    passes(300);
    clearCalls();
    pass();
    EXPECT_EQ(nativeCalls().size(), 41u);
    EXPECT_EQ(std::ranges::count(sim::world.calls, sim::Call::Kind::KeyQuery, &sim::Call::kind), 4);
    release(keyW);
    clearCalls();
    pass();
    EXPECT_EQ(std::ranges::count(nativeHashes(), hashOf(Native::ControlHeld)), 1)
        << "a pass that brakes asks for the throttle once";
    EXPECT_EQ(std::ranges::count(nativeHashes(), hashOf(Native::GameTimer)), 1);
}

TEST_F(GearFeelTest, TheRevBarIsWhiteGreenWhereShiftLightsAndRedAtTheCapAndRevsFreeInNeutral) {
    press(keyW);
    EXPECT_EQ(barAt(10.0f), (std::pair{pullAwayRevs + (1 - pullAwayRevs) * 10 / 21, 250}));
    barAt(20.5f);
    EXPECT_EQ(barAt(20.5f).second, 50) << "green, as Shift";
    EXPECT_EQ(barAt(21.0f), (std::pair{1.0f, 240}));

    restoreState({{"neutral", 1}});
    release(keyW);
    passes(60);
    EXPECT_EQ(feelState().revs, idleRevs) << "falling to idle";
    press(keyW);
    passes(11);
    EXPECT_NEAR(feelState().revs, idleRevs + 1.5f * 11 * 0.016f, 0.001f) << "rising while pressed";
    release(keyW);

    bindField(&KeyBindings::revBar, 0);
    pass();
    EXPECT_TRUE(sim::world.shownRects.empty());
}

TEST_F(GearFeelTest, LiftingOffStepsTheCapDownUntilTheThrottleOrTheClutch) {
    putInGear(gear2);
    passAt(28.0f);
    EXPECT_EQ(car().maxSpeed, 28.0f) << "the first pass has no time to brake for";
    scriptWait(0);
    passAt(28.0f);
    const float rate = feelAt(1 / 3.0f, idleRevs + .85f * 9.1f / 12.1f).braking;
    EXPECT_NEAR(car().maxSpeed, 28.0f - rate * 0.016f, 0.0005f);
    press(keyW);
    passAt(28.0f);
    EXPECT_EQ(car().maxSpeed, 31.0f) << "the throttle ends it in the same pass";
    release(keyW);
    press(clutch);
    passAt(28.0f);
    EXPECT_EQ(car().maxSpeed, 31.0f) << "and so does the clutch";

    release(clutch);
    car().speed = 20.0f;
    float lowest = 31.0f;
    for (int frame = 0; frame < 200; ++frame) {
        pass();
        lowest = std::min(lowest, car().maxSpeed);
    }
    EXPECT_NEAR(lowest, 18.9f, 0.001f) << "never below the stall speed";
    putInGear(gear1);
    passes(2);
    passAt(2.0f);
    EXPECT_EQ(car().maxSpeed, 21.0f) << "nor at a crawl";
    putInGear(gear2);
    car().speed = 35.0f;
    pass();
    passAt(35.0f);
    EXPECT_LT(car().maxSpeed, 35.0f) << "faster than the gear's cap, it follows the speed down";
    EXPECT_GT(car().maxSpeed, 34.9f) << "at the engine's braking rate";
}

// The stand-in moves the car by the multiplier sent in each frame.
TEST_F(GearFeelTest, FirstReachesItsCapAQuarterSoonerWithTheFeelAndFourthPullsLess) {
    press(keyW);
    const int withFeel = passesFrom(gear1, 0.0f, 21.0f);
    const int thirdWithFeel = passesFrom(gear3, 29.0f, 35.0f);
    const int fourthWithFeel = passesFrom(gear4, 39.0f, 45.0f);
    bindField(&KeyBindings::gearFeel, 0);
    const int without = passesFrom(gear1, 0.0f, 21.0f);
    EXPECT_LE(withFeel, without * 3 / 4)
        << withFeel << " passes with the feel, " << without << " without";
    EXPECT_GT(fourthWithFeel, thirdWithFeel);
}

TEST_F(GearFeelTest, LiftingOffInSecondAt28SlowsTwoMetresASecondWithinTwoSecondsFourthMuchLess) {
    const auto slowing = [this](Gear gear) {
        putInGear(gear);
        car().speed = 28.0f;
        passes(125);
        return 28.0f - car().speed;
    };
    const float second = slowing(gear2);
    const float fourth = slowing(gear4);
    EXPECT_GE(second, 2.0f);
    EXPECT_LT(fourth, 0.75f * second);
    EXPECT_EQ(stallCalls(), 0);
}

} // namespace
