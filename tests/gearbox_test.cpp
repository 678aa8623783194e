// The gearbox driven through the real frame loop in the stand-in world.
#include "gearbox_fixture.h"

#include <functional>

namespace {

// The focus, asked once at the start of every pass, then the toggle.
const std::vector<std::string> toggleQuery = {"GetForegroundWindow() = 0xA0B2C",
                                              "GetWindowThreadProcessId(0xA0B2C)",
                                              "IS_CONTROL_JUST_PRESSED(2,190)", "key 39"};
const std::vector<std::string> onFootTest = {"PLAYER_PED_ID()", "IS_PED_IN_ANY_VEHICLE(0x1B2C4,0)"};
// Seated, the character must be the driver, seat -1, of a vehicle with a gearbox.
const std::vector<std::string> vehicleTest = {
    "PLAYER_PED_ID()", "IS_PED_IN_ANY_VEHICLE(0x1B2C4,0)", "GET_VEHICLE_PED_IS_USING(0x1B2C4)",
    "GET_PED_IN_VEHICLE_SEAT(0x80002A01,0xFFFFFFFF,0)", "GET_VEHICLE_CLASS(0x80002A01)"};

// --- Exact sequences ---------------------------------------------------------------

TEST_F(GearboxTest, AQuietFrameInFirstMakesTheStepsInOrder) {
    passAt(10.0f);
    EXPECT_EQ(trace(), joined({toggleQuery,
                               vehicleTest,
                               onCar("GET_ENTITY_SPEED", ""),
                               {"key 16"},
                               label("Clutch", 0.08f, false),
                               label("Shift", 0.155f, false),
                               {"key 83"},
                               label("1", 0.015f, true),
                               onCar("SET_ENTITY_MAX_SPEED", "," + fl(21.0f))}));
}

TEST_F(GearboxTest, TheClutchFrameSuppressesAccelerateAndScansTheGearKeysInOrder) {
    press(clutch);
    passAt(10.0f);
    EXPECT_EQ(trace(), joined({toggleQuery,
                               vehicleTest,
                               onCar("GET_ENTITY_SPEED", ""),
                               {"key 16 down", "DISABLE_CONTROL_ACTION(2,71,1)"},
                               label("Clutch", 0.08f, true),
                               label("Shift", 0.155f, false),
                               {"key 83"},
                               label("1", 0.015f, true),
                               onCar("SET_ENTITY_MAX_SPEED", "," + fl(21.0f)),
                               {"key 49", "key 50", "key 51", "key 52", "key 82"}}));
    EXPECT_TRUE(sim::world.suppressed[71]);
    EXPECT_EQ(gearboxState.gear, Gear::First);
}

TEST_F(GearboxTest, AFrameThatTakesEveryStep) {
    // Second gear, clutch and fourth-gear key, S and W down, creeping at 0.9.
    gearboxState.gear = Gear::Second;
    press(clutch);
    press(fourthKey);
    press(keyS);
    press(keyW);
    passAt(0.9f);
    const std::vector<std::string> expected = joined({
        toggleQuery,
        vehicleTest,
        onCar("GET_ENTITY_SPEED", ""),
        {"key 16 down", "DISABLE_CONTROL_ACTION(2,71,1)"},
        label("Clutch", 0.08f, true),
        label("Shift", 0.155f, false),
        {"DISABLE_CONTROL_ACTION(2,72,1)", "key 83 down"},
        label("2", 0.015f, true),
        onCar("SET_ENTITY_MAX_SPEED", "," + fl(31.0f)),
        {"key 49", "key 50", "key 51", "key 52 down", "wait(50)"},
        // Fourth lugs at 0.9 - 1.2; W is the accelerator.
        {"IS_CONTROL_JUST_PRESSED(2,208)", "key 87 down"},
        onCar("SET_VEHICLE_ENGINE_ON", ",0,0,0"),
        onCar("IS_VEHICLE_STOPPED", ""),
    });
    EXPECT_EQ(trace(), expected);
    EXPECT_EQ(gearboxState.gear, Gear::Fourth);
}

TEST_F(GearboxTest, AboveItsCapAGearCapsAtAFreshReadNotLoweredByS) {
    press(keyS);
    passAt(25.0f);
    const std::vector<std::string> calls = trace();
    const std::vector<std::string> capStep =
        joined({label("1", 0.015f, true), onCar("GET_ENTITY_SPEED", ""),
                onCar("SET_ENTITY_MAX_SPEED", "," + fl(25.0f))});
    ASSERT_GE(calls.size(), capStep.size());
    EXPECT_EQ(std::vector<std::string>(calls.end() - capStep.size(), calls.end()), capStep);
    EXPECT_EQ(car().maxSpeed, 25.0f);
    EXPECT_TRUE(gearboxState.shiftHint);
}

TEST_F(GearboxTest, ReverseCapsSuppressesBothPedalsAndBacksUpWhileWIsDown) {
    gearboxState.gear = Gear::Reverse;
    press(keyW);
    press(keyS);
    passAt(2.0f);
    EXPECT_EQ(trace(), joined({toggleQuery,
                               vehicleTest,
                               onCar("GET_ENTITY_SPEED", ""),
                               {"key 16"},
                               label("Clutch", 0.08f, false),
                               label("Shift", 0.155f, false),
                               label("R", 0.015f, true),
                               onCar("SET_ENTITY_MAX_SPEED", "," + fl(8.0f)),
                               {"DISABLE_CONTROL_ACTION(2,71,1)", "DISABLE_CONTROL_ACTION(2,72,1)",
                                "key 87 down"},
                               onCar("SET_VEHICLE_FORWARD_SPEED", "," + fl(-4.1f)),
                               onCar("IS_VEHICLE_STOPPED", "")}));
    EXPECT_EQ(car().speed, -4.1f);
    EXPECT_EQ(car().maxSpeed, 8.0f);
}

TEST_F(GearboxTest, OnFootAPassStopsAtTheVehicleTest) {
    gearboxState = {true, Gear::Third, true, true};
    sim::leaveVehicle();
    press(clutch);
    press(secondKey);
    passAt(0.0f);
    EXPECT_EQ(trace(), joined({toggleQuery, onFootTest}));
    EXPECT_TRUE(sim::world.labels.empty());
    EXPECT_FALSE(sim::world.suppressed.any());
    EXPECT_EQ(gearboxState.gear, Gear::Third);
    EXPECT_TRUE(gearboxState.clutchHeld);
    EXPECT_TRUE(gearboxState.shiftHint);
}

TEST_F(GearboxTest, DisabledEveryPassLiftsTheCapAndResetsTheGearWithoutTestingForAVehicle) {
    gearboxState = {false, Gear::Third, true, true};
    car().maxSpeed = 40.5f;
    press(clutch);
    passAt(35.0f);
    EXPECT_EQ(trace(), joined({toggleQuery, onCar("SET_ENTITY_MAX_SPEED", "," + fl(9999.0f))}));
    EXPECT_EQ(car().maxSpeed, 9999.0f);
    EXPECT_EQ(gearboxState.gear, Gear::First);
    EXPECT_TRUE(gearboxState.clutchHeld);
    EXPECT_TRUE(gearboxState.shiftHint);
    EXPECT_TRUE(sim::world.labels.empty());

    sim::leaveVehicle();
    scriptWait(0);
    passAt(0.0f);
    EXPECT_EQ(trace(), joined({toggleQuery,
                               {"PLAYER_PED_ID()", "GET_VEHICLE_PED_IS_USING(0x1B2C4)",
                                "SET_ENTITY_MAX_SPEED(0," + fl(9999.0f) + ")"}}));
}

TEST_F(GearboxTest, ASteadyCruiseInFirstCosts42NativeCallsThreeKeyQueriesAndOneFocusCheckAFrame) {
    // A pad's hold, up and down buttons add a read and a disable each.
    for (const std::size_t expectedNatives : {42u, 48u}) {
        if (expectedNatives == 48u) {
            keyBindings.padHoldControl = 68;
            keyBindings.padUpControl = 73;
            keyBindings.padDownControl = 99;
        }
        for (int frame = 0; frame < 300; ++frame) {
            passAt(10.0f);
            scriptWait(0);
            std::size_t natives = 0, keys = 0, foreground = 0, windowProcess = 0;
            for (const sim::Call& call : sim::world.calls) {
                natives += call.kind == sim::Call::Kind::Native;
                keys += call.kind == sim::Call::Kind::KeyQuery;
                foreground += call.kind == sim::Call::Kind::ForegroundQuery;
                windowProcess += call.kind == sim::Call::Kind::WindowProcessQuery;
            }
            ASSERT_EQ(natives, expectedNatives) << "frame " << frame;
            ASSERT_EQ(keys, 3u) << "frame " << frame;
            ASSERT_EQ(foreground, 1u) << "frame " << frame;
            ASSERT_EQ(windowProcess, 1u) << "frame " << frame;
        }
    }
}

TEST_F(GearboxTest, WithThePadBoundTheClutchFrameReadsAndDisablesItsButtons) {
    keyBindings.padHoldControl = 68;
    keyBindings.padUpControl = 73;
    keyBindings.padDownControl = 99;
    sim::holdControl(68, true);
    passAt(25.0f);
    EXPECT_EQ(trace(),
              joined({toggleQuery,
                      vehicleTest,
                      onCar("GET_ENTITY_SPEED", ""),
                      {"key 16", "IS_DISABLED_CONTROL_PRESSED(0,68)",
                       "DISABLE_CONTROL_ACTION(2,71,1)", "DISABLE_CONTROL_ACTION(2,68,1)",
                       "DISABLE_CONTROL_ACTION(2,73,1)", "DISABLE_CONTROL_ACTION(2,99,1)"},
                      label("Clutch", 0.08f, true),
                      label("Shift", 0.155f, false),
                      {"key 83"},
                      label("1", 0.015f, true),
                      onCar("GET_ENTITY_SPEED", ""),
                      onCar("SET_ENTITY_MAX_SPEED", "," + fl(25.0f)),
                      {"IS_DISABLED_CONTROL_PRESSED(0,73)", "IS_DISABLED_CONTROL_PRESSED(0,99)",
                       "key 49", "key 50", "key 51", "key 52", "key 82"}}));
}

// --- Caps and the shift hint ----------------------------------------------------

struct CapCase {
    Gear gear;
    float speed;
    float cap;
    bool hint;
};

TEST_F(GearboxTest, CapsAndHintsAtEachThreshold) {
    const CapCase cases[] = {
        {Gear::First, 25.0f, 25.0f, true},
        {Gear::First, above(21.0f), above(21.0f), true},
        {Gear::First, 21.0f, 21.0f, true},
        {Gear::First, above(20.0f), 21.0f, true},
        {Gear::First, 20.0f, 21.0f, false},
        {Gear::First, 0.0f, 21.0f, false},
        {Gear::Second, above(31.0f), above(31.0f), true},
        {Gear::Second, 31.0f, 31.0f, true},
        {Gear::Second, above(30.0f), 31.0f, true},
        {Gear::Second, 30.0f, 31.0f, false},
        {Gear::Third, 55.0f, 55.0f, true},
        {Gear::Third, above(40.5f), above(40.5f), true},
        {Gear::Third, 40.5f, 40.5f, true},
        {Gear::Third, above(39.5f), 40.5f, true},
        {Gear::Third, 39.5f, 40.5f, false},
        {Gear::Fourth, 60.0f, 9999.0f, false},
        {Gear::Fourth, 39.6f, 9999.0f, false},
    };
    for (const bool hintBefore : {false, true}) {
        for (const CapCase& c : cases) {
            SCOPED_TRACE(::testing::Message() << "gear " << int(c.gear) << " at " << c.speed
                                              << ", hint before " << hintBefore);
            gearboxState.gear = c.gear;
            gearboxState.shiftHint = hintBefore;
            car().maxSpeed = 1.0f;
            passAt(c.speed);
            EXPECT_EQ(car().maxSpeed, c.cap);
            EXPECT_EQ(gearboxState.shiftHint, c.hint);
            scriptWait(0);
        }
    }
}

TEST_F(GearboxTest, ReverseLeavesTheHintAsTheLastForwardGearLeftIt) {
    gearboxState.gear = Gear::Second;
    pass(); // settles at standstill
    passAt(30.5f);
    EXPECT_TRUE(gearboxState.shiftHint);
    press(clutch);
    press(reverseKey);
    scriptWait(0);
    passAt(30.5f);
    release(clutch);
    release(reverseKey);
    scriptWait(0);
    for (const float speed : {30.5f, 5.0f, 0.0f}) {
        passAt(speed);
        scriptWait(0);
        EXPECT_EQ(gearboxState.gear, Gear::Reverse);
        EXPECT_TRUE(gearboxState.shiftHint);
        EXPECT_EQ(labelTexts(sim::world.shownLabels),
                  (std::vector<std::string>{"Clutch", "Shift*", "R*"}));
    }
}

TEST_F(GearboxTest, TheShiftLabelShowsTheHintThatEarlierPassesLeft) {
    passAt(20.5f);
    EXPECT_EQ(labelTexts(sim::world.labels), (std::vector<std::string>{"Clutch", "Shift", "1*"}));
    EXPECT_TRUE(gearboxState.shiftHint);
    scriptWait(0);
    passAt(5.0f);
    EXPECT_EQ(labelTexts(sim::world.labels), (std::vector<std::string>{"Clutch", "Shift*", "1*"}));
    EXPECT_FALSE(gearboxState.shiftHint);
    scriptWait(0);
    passAt(5.0f);
    EXPECT_EQ(labelTexts(sim::world.labels), (std::vector<std::string>{"Clutch", "Shift", "1*"}));
}

TEST_F(GearboxTest, TheSKeyLowersTheFrameSpeedBy1Point2ForEveryComparison) {
    press(keyS);
    // 21.5 - 1.2 = 20.3: under the first-gear cap but over its hint threshold.
    passAt(21.5f);
    EXPECT_EQ(car().maxSpeed, 21.0f);
    EXPECT_TRUE(gearboxState.shiftHint);
    scriptWait(0);

    // 20.1 - 1.2 = 18.9 in second: lugging, so W stalls.
    gearboxState.gear = Gear::Second;
    press(keyW);
    passAt(20.1f);
    EXPECT_EQ(stallCalls(), 1);
    scriptWait(0);
    release(keyS);
    car().engineOn = true;
    passAt(20.1f);
    EXPECT_EQ(stallCalls(), 0);
    scriptWait(0);
    press(keyS);
    passAt(above(20.1f));
    EXPECT_EQ(stallCalls(), 0);
}

TEST_F(GearboxTest, TheSKeyIsNotConsultedInReverseNorAtAStandstill) {
    press(keyS);
    gearboxState.gear = Gear::Reverse;
    passAt(3.0f);
    for (const std::string& line : trace()) {
        EXPECT_NE(line.rfind("key 83", 0), 0u) << line;
    }
    scriptWait(0);
    // At 0.0 the S key is polled but the speed is not lowered below zero:
    // first gear stays without a hint and at its cap.
    gearboxState.gear = Gear::First;
    passAt(0.0f);
    EXPECT_EQ(car().maxSpeed, 21.0f);
}

TEST_F(GearboxTest, TheBrakeIsSuppressedBelowOneOnly) {
    const struct {
        float speed;
        bool suppressed;
    } cases[] = {{0.0f, true}, {0.99f, true}, {below(1.0f), true}, {1.0f, false}, {5.0f, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.speed);
        passAt(c.speed);
        EXPECT_EQ(sim::world.suppressed[72], c.suppressed);
        EXPECT_FALSE(sim::world.suppressed[71]);
        scriptWait(0);
    }
}

// --- Stalling ------------------------------------------------------------------------

struct StallCase {
    const char* name;
    Gear gear;
    float speed;
    bool keyWDown;
    bool control208;
    int stalls;
};

TEST_F(GearboxTest, StallRules) {
    const StallCase cases[] = {
        {"second at its lugging limit with W", Gear::Second, 18.9f, true, false, 1},
        {"second at its lugging limit with 208", Gear::Second, 18.9f, false, true, 1},
        {"second at its lugging limit, not accelerating", Gear::Second, 18.9f, false, false, 0},
        {"second just above its lugging limit", Gear::Second, above(18.9f), true, false, 0},
        {"third at its lugging limit", Gear::Third, 28.9f, true, false, 1},
        {"third just above", Gear::Third, above(28.9f), true, false, 0},
        {"fourth at its lugging limit", Gear::Fourth, 38.4f, true, false, 1},
        {"fourth just above", Gear::Fourth, above(38.4f), false, true, 0},
        {"fourth at speed", Gear::Fourth, 60.0f, true, false, 0},
        {"first from a standstill", Gear::First, 0.0f, true, true, 0},
        {"second from a standstill: both rules", Gear::Second, 0.0f, true, false, 2},
        {"fourth from a standstill: both rules", Gear::Fourth, 0.0f, false, true, 2},
        {"reverse from a standstill with 208", Gear::Reverse, 0.0f, false, true, 1},
        // W backs the car up before the standstill test, so only 208 stalls.
        {"reverse from a standstill with W", Gear::Reverse, 0.0f, true, false, 0},
        {"reverse from a standstill, not accelerating", Gear::Reverse, 0.0f, false, false, 0},
        {"reverse rolling with W", Gear::Reverse, 3.0f, true, false, 0},
    };
    for (const StallCase& c : cases) {
        SCOPED_TRACE(c.name);
        car() = sim::Vehicle{carHandle};
        gearboxState.gear = c.gear;
        sim::setKey(keyW, c.keyWDown);
        if (c.control208) {
            sim::fireControlOnce(208);
        }
        passAt(c.speed);
        EXPECT_EQ(stallCalls(), c.stalls);
        EXPECT_EQ(car().engineOn, c.stalls == 0);
        scriptWait(0);
    }
}

TEST_F(GearboxTest, TheAccelerateControlHeldStallsEveryFrameAndPushesInReverseAsWDoes) {
    // A pad's trigger, or the accelerator moved to another key: no W, no 208.
    gearboxState.gear = Gear::Fourth;
    sim::holdControl(71, true);
    for (int frame = 0; frame < 3; ++frame) {
        car().engineOn = true;
        passAt(10.0f);
        EXPECT_EQ(stallCalls(), 1) << frame;
        scriptWait(0);
    }
    gearboxState.gear = Gear::Reverse;
    passAt(0.0f);
    EXPECT_EQ(car().speed, -4.1f);
    EXPECT_EQ(stallCalls(), 0) << "backing up, no longer standing still";
    scriptWait(0);
    sim::holdControl(71, false);
    passAt(0.0f);
    EXPECT_EQ(car().speed, 0.0f);
}

TEST_F(GearboxTest, ShiftKeysMoveOneGearPerPressWithTheClutchBesideTheGearKeys) {
    constexpr int keyE = 69, keyQ = 81;
    keyBindings.shiftUpKey = keyE;
    keyBindings.shiftDownKey = keyQ;
    // The pauses of the pass in which the key went down.
    const auto tap = [](int key) {
        press(key);
        passAt(30.0f);
        const std::vector<std::int64_t> pauses = waits();
        scriptWait(0);
        release(key);
        passAt(30.0f);
        scriptWait(0);
        return pauses;
    };
    tap(keyE);
    EXPECT_EQ(gearboxState.gear, Gear::First) << "without the clutch";
    press(keyE);
    pass();
    press(clutch);
    pass();
    EXPECT_EQ(gearboxState.gear, Gear::First) << "pressed before the clutch went in";
    release(keyE);
    pass();

    EXPECT_EQ(tap(keyE), std::vector<std::int64_t>{50});
    EXPECT_EQ(gearboxState.gear, Gear::Second);
    press(keyE);
    passes(5);
    release(keyE);
    pass();
    EXPECT_EQ(gearboxState.gear, Gear::Third) << "one gear however long held";
    tap(keyE);
    EXPECT_EQ(tap(keyE), std::vector<std::int64_t>{}) << "no gear above fourth";
    EXPECT_EQ(gearboxState.gear, Gear::Fourth);

    const Gear downwards[] = {Gear::Third, Gear::Second, Gear::First, Gear::Reverse, Gear::Reverse};
    for (const Gear gear : downwards) {
        tap(keyQ);
        EXPECT_EQ(gearboxState.gear, gear);
    }
    tap(keyE);
    EXPECT_EQ(gearboxState.gear, Gear::First) << "up from reverse";
    tap(thirdKey);
    EXPECT_EQ(gearboxState.gear, Gear::Third) << "the gear keys still work";
    press(keyQ);
    press(fourthKey);
    passAt(30.0f);
    EXPECT_EQ(gearboxState.gear, Gear::Fourth) << "a gear key comes first";
}

TEST_F(GearboxTest, ThePadsHoldButtonIsTheClutchAndItsButtonsWorkOnlyForTheGearbox) {
    keyBindings.padHoldControl = 68;
    keyBindings.padUpControl = 73;
    keyBindings.padDownControl = 99;
    const auto tapButton = [](int control) {
        sim::holdControl(control, true);
        passAt(30.0f);
        scriptWait(0);
        sim::holdControl(control, false);
        passAt(30.0f);
        scriptWait(0);
    };
    sim::holdControl(68, true);
    passAt(30.0f);
    EXPECT_TRUE(gearboxState.clutchHeld);
    EXPECT_TRUE(sim::world.suppressed[71]);
    EXPECT_EQ(labelTexts(sim::world.labels), (std::vector<std::string>{"Clutch*", "Shift", "1*"}));
    scriptWait(0);
    tapButton(73);
    tapButton(73);
    EXPECT_EQ(gearboxState.gear, Gear::Third);
    tapButton(99);
    EXPECT_EQ(gearboxState.gear, Gear::Second);
    sim::holdControl(68, false);
    tapButton(73);
    EXPECT_EQ(gearboxState.gear, Gear::Second) << "without the hold button";

    // Disabled for the game only while the gearbox acts.
    passAt(30.0f);
    EXPECT_TRUE(sim::world.suppressed[68] && sim::world.suppressed[73] &&
                sim::world.suppressed[99]);
    scriptWait(0);
    sim::world.seat = sim::passengerSeat;
    passAt(30.0f);
    EXPECT_FALSE(sim::world.suppressed.any());
    scriptWait(0);
    sim::world.seat = sim::driverSeat;
    press(39);
    passAt(30.0f);
    EXPECT_FALSE(gearboxState.transmissionEnabled);
    EXPECT_FALSE(sim::world.suppressed.any());
}

TEST_F(GearboxTest, TheClutchDoesNotPreventAStall) {
    gearboxState.gear = Gear::Third;
    press(clutch);
    press(keyW);
    passAt(20.0f);
    EXPECT_EQ(stallCalls(), 1);
    EXPECT_FALSE(car().engineOn);
}

TEST_F(GearboxTest, ControlFiredIsAskedFirstAndWOnlyWhenItIsNot) {
    gearboxState.gear = Gear::Second;
    sim::holdControl(208, true);
    press(keyW);
    passAt(10.0f);
    const std::vector<std::string> calls = trace();
    const std::vector<std::string> tail = joined({{"IS_CONTROL_JUST_PRESSED(2,208)"},
                                                  onCar("SET_VEHICLE_ENGINE_ON", ",0,0,0"),
                                                  onCar("IS_VEHICLE_STOPPED", "")});
    ASSERT_GE(calls.size(), tail.size());
    EXPECT_EQ(std::vector<std::string>(calls.end() - tail.size(), calls.end()), tail);
}

// --- Selecting a gear --------------------------------------------------------------

TEST_F(GearboxTest, AGearKeyWithoutTheClutchIsIgnoredAndNotEvenPolled) {
    press(secondKey);
    passAt(10.0f);
    EXPECT_EQ(gearboxState.gear, Gear::First);
    for (const std::string& line : trace()) {
        EXPECT_NE(line, "key 50 down");
    }
    EXPECT_TRUE(waits().empty());
}

TEST_F(GearboxTest, TheClutchAloneSuppressesAccelerateAndHighlightsWithoutAPause) {
    press(clutch);
    passAt(10.0f);
    EXPECT_TRUE(sim::world.suppressed[71]);
    EXPECT_TRUE(gearboxState.clutchHeld);
    EXPECT_EQ(labelTexts(sim::world.labels), (std::vector<std::string>{"Clutch*", "Shift", "1*"}));
    EXPECT_TRUE(waits().empty());
    scriptWait(0);
    release(clutch);
    passAt(10.0f);
    EXPECT_FALSE(gearboxState.clutchHeld);
    EXPECT_FALSE(sim::world.suppressed[71]);
}

TEST_F(GearboxTest, AnEarlierKeyInTheFixedOrderWins) {
    const struct {
        std::vector<int> keys;
        Gear selected;
    } cases[] = {
        {{thirdKey, secondKey}, Gear::Second},
        {{reverseKey, fourthKey}, Gear::Fourth},
        {{reverseKey, firstKey}, Gear::First},
        {{reverseKey}, Gear::Reverse},
    };
    for (const auto& c : cases) {
        gearboxState.gear = Gear::Third;
        press(clutch);
        for (const int key : c.keys) {
            press(key);
        }
        passAt(35.0f);
        EXPECT_EQ(gearboxState.gear, c.selected);
        EXPECT_EQ(waits(), std::vector<std::int64_t>{50});
        for (const int key : c.keys) {
            release(key);
        }
        scriptWait(0);
    }
}

TEST_F(GearboxTest, ReselectingTheSameGearStillPauses) {
    press(clutch);
    press(firstKey);
    passAt(10.0f);
    EXPECT_EQ(gearboxState.gear, Gear::First);
    EXPECT_EQ(waits(), std::vector<std::int64_t>{50});
}

TEST_F(GearboxTest, HoldingClutchAndKeyPausesEveryPassAndDrawsOnlyInItsFirstFrame) {
    std::vector<std::size_t> labelsPerFrame;
    sim::world.frameObserver = [&](const sim::World& world) {
        labelsPerFrame.push_back(world.labels.size());
    };
    press(clutch);
    press(secondKey);
    clearCalls();
    passes(2);
    EXPECT_EQ(waits(), (std::vector<std::int64_t>{50, 0, 50, 0}));
    // 50 ms at 16 ms a frame: the pass's own frame, three more, then the frame
    // that finishes the pass and yields.
    EXPECT_EQ(labelsPerFrame, (std::vector<std::size_t>{3, 0, 0, 0, 0, 3, 0, 0, 0, 0}));
}

TEST_F(GearboxTest, SelectionHasNoSpeedTest) {
    press(clutch);
    press(reverseKey);
    passAt(45.0f);
    EXPECT_EQ(gearboxState.gear, Gear::Reverse);
}

TEST_F(GearboxTest, PullingAwayInSecondStallsTwiceRightAfterTheSelectionPause) {
    press(clutch);
    press(secondKey);
    press(keyW);
    passAt(0.0f);
    const std::vector<std::string> calls = trace();
    const auto pause = std::find(calls.begin(), calls.end(), "wait(50)");
    ASSERT_NE(pause, calls.end());
    const std::vector<std::string> afterPause(pause + 1, calls.end());
    EXPECT_EQ(afterPause, joined({{"IS_CONTROL_JUST_PRESSED(2,208)", "key 87 down"},
                                  onCar("SET_VEHICLE_ENGINE_ON", ",0,0,0"),
                                  onCar("IS_VEHICLE_STOPPED", ""),
                                  {"IS_CONTROL_JUST_PRESSED(2,208)", "key 87 down"},
                                  onCar("SET_VEHICLE_ENGINE_ON", ",0,0,0")}));
    EXPECT_FALSE(car().engineOn);
}

TEST_F(GearboxTest, TheStepsAfterThePauseFetchTheVehicleAfreshWhateverThePlayerDid) {
    sim::world.frameObserver = [](const sim::World& world) {
        if (world.frame == 1) {
            sim::leaveVehicle();
        }
    };
    press(clutch);
    press(thirdKey);
    press(keyW);
    passAt(0.0f);
    // Stationary and lugging, but the character is on foot: the stall goes to
    // whatever handle the game returns for no vehicle.
    const std::vector<std::string> calls = trace();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "SET_VEHICLE_ENGINE_ON(0,0,0,0)"), calls.end());
    EXPECT_TRUE(car().engineOn);
}

// --- A change into second gear, event by event ----------------------------------------

TEST_F(GearboxTest, RoadOfOneEvent) {
    gearboxState.shiftHint = true;
    press(clutch);
    press(secondKey);
    passAt(25.0f);
    const std::int64_t passFrame = 0;

    // The clutch: accelerate suppressed in the pass's frame, "Clutch" lit.
    const std::vector<sim::Call>& calls = sim::world.calls;
    const auto suppress = std::find_if(calls.begin(), calls.end(), [](const sim::Call& call) {
        return call.kind == sim::Call::Kind::Native && call.hash == hashes::suppressControl &&
               call.arguments[1] == 71;
    });
    ASSERT_NE(suppress, calls.end());
    EXPECT_EQ(suppress->frame, passFrame);
    const std::vector<std::string> lines = trace();
    // First's step ran with the old gear, over its cap: the cap follows the car.
    const std::vector<std::string> gearStep =
        joined({label("1", 0.015f, true),
                onCar("GET_ENTITY_SPEED", ""),
                onCar("SET_ENTITY_MAX_SPEED", "," + fl(25.0f)),
                {"key 49", "key 50 down", "wait(50)"},
                // Second doesn't lug at 25, and the car isn't stationary.
                onCar("IS_VEHICLE_STOPPED", "")});
    ASSERT_GE(lines.size(), gearStep.size());
    EXPECT_EQ(std::vector<std::string>(lines.end() - gearStep.size(), lines.end()), gearStep);
    EXPECT_EQ(gearboxState.gear, Gear::Second);
    EXPECT_TRUE(gearboxState.shiftHint);

    // From the next pass on, "2" and the second-gear cap.
    release(clutch);
    release(secondKey);
    scriptWait(0);
    passAt(25.0f);
    EXPECT_EQ(labelTexts(sim::world.labels), (std::vector<std::string>{"Clutch", "Shift*", "2*"}));
    EXPECT_EQ(car().maxSpeed, 31.0f);
    EXPECT_FALSE(gearboxState.shiftHint);
    scriptWait(0);
    passAt(33.0f);
    EXPECT_EQ(car().maxSpeed, 33.0f);
}

// --- Vehicles, the toggle and the gearbox ----------------------------------------------

TEST_F(GearboxTest, TheGearAndHintCarryOverIntoTheNextVehicleAndTheOldCapIsLifted) {
    gearboxState.gear = Gear::Third;
    passAt(39.8f);
    scriptWait(0);
    EXPECT_TRUE(gearboxState.shiftHint);
    EXPECT_EQ(car().maxSpeed, 40.5f);

    sim::leaveVehicle();
    passes(3);
    const int other = sim::addVehicle(0x00003C07);
    sim::enterVehicle(other);
    clearCalls();
    runFramePass();
    EXPECT_EQ(labelTexts(sim::world.labels), (std::vector<std::string>{"Clutch", "Shift*", "3*"}));
    EXPECT_EQ(sim::world.vehicles[0].maxSpeed, 9999.0f);
    EXPECT_EQ(sim::world.vehicles[static_cast<std::size_t>(other)].maxSpeed, 40.5f);
}

TEST_F(GearboxTest, TogglingTakesEffectInTheSamePass) {
    gearboxState.gear = Gear::Second;
    press(39);
    passAt(10.0f);
    EXPECT_FALSE(gearboxState.transmissionEnabled);
    EXPECT_EQ(gearboxState.gear, Gear::First);
    EXPECT_EQ(car().maxSpeed, 9999.0f);
    EXPECT_TRUE(sim::world.labels.empty());
    scriptWait(0);

    release(39);
    pass();
    press(39);
    passAt(10.0f);
    EXPECT_TRUE(gearboxState.transmissionEnabled);
    EXPECT_EQ(car().maxSpeed, 21.0f);
    EXPECT_EQ(labelTexts(sim::world.labels), (std::vector<std::string>{"Clutch", "Shift", "1*"}));
}

TEST_F(GearboxTest, UnboundKeysLeaveTheGearboxInFirst) {
    keyBindings = KeyBindings{};
    press(clutch);
    press(secondKey);
    press(keyW);
    passes(400);
    EXPECT_EQ(gearboxState.gear, Gear::First);
    EXPECT_FALSE(gearboxState.clutchHeld);
    EXPECT_EQ(car().maxSpeed, 21.0f);
    EXPECT_NEAR(car().speed, 21.0f, 0.01f);
    EXPECT_EQ(waits(), std::vector<std::int64_t>(400, 0));
}

// --- Where the gearbox acts -------------------------------------------------------------

constexpr std::int32_t otherCarHandle = 0x00013C07;
const std::string liftCarCap = "SET_ENTITY_MAX_SPEED(0x80002A01," + fl(9999.0f) + ")";

TEST_F(GearboxTest, APassengerPassDoesWhatAPassOnFootDoes) {
    gearboxState = {true, Gear::Second, false, true};
    sim::enterVehicle(0, sim::passengerSeat);
    car().maxSpeed = 1234.0f;
    press(clutch);
    press(thirdKey);
    press(keyW);
    passAt(0.0f);
    EXPECT_EQ(trace(), joined({toggleQuery,
                               {"PLAYER_PED_ID()", "IS_PED_IN_ANY_VEHICLE(0x1B2C4,0)",
                                "GET_VEHICLE_PED_IS_USING(0x1B2C4)",
                                "GET_PED_IN_VEHICLE_SEAT(0x80002A01,0xFFFFFFFF,0)"}}));
    EXPECT_TRUE(sim::world.labels.empty());
    EXPECT_FALSE(sim::world.suppressed.any());
    EXPECT_TRUE(car().engineOn);
    EXPECT_EQ(car().maxSpeed, 1234.0f);
    EXPECT_EQ(gearboxState.gear, Gear::Second);
    EXPECT_TRUE(waits().empty());
}

TEST_F(GearboxTest, OnlyVehicleClassesWithAGearboxAreDriven) {
    const std::vector<int> withoutGearbox = {13, 14, 15, 16, 21};
    for (int vehicleClass = 0; vehicleClass <= 22; ++vehicleClass) {
        SCOPED_TRACE(vehicleClass);
        const bool driven = std::find(withoutGearbox.begin(), withoutGearbox.end(), vehicleClass) ==
                            withoutGearbox.end();
        gearboxState = GearboxState{};
        gearboxState.gear = Gear::Second;
        car() = sim::Vehicle{carHandle};
        car().vehicleClass = vehicleClass;
        car().maxSpeed = 1234.0f;
        press(clutch);
        press(keyW);
        passAt(0.0f);
        if (driven) {
            EXPECT_EQ(labelTexts(sim::world.labels),
                      (std::vector<std::string>{"Clutch*", "Shift", "2*"}));
            EXPECT_EQ(car().maxSpeed, 31.0f);
            EXPECT_FALSE(car().engineOn);
        } else {
            EXPECT_EQ(trace(), joined({toggleQuery, vehicleTest}));
            EXPECT_TRUE(sim::world.labels.empty());
            EXPECT_FALSE(sim::world.suppressed.any());
            EXPECT_EQ(car().maxSpeed, 1234.0f);
            EXPECT_TRUE(car().engineOn);
        }
        scriptWait(0);
    }
}

TEST_F(GearboxTest, TheCapIsLiftedOnceOnTheFirstPassThePlayerNoLongerDrivesTheCar) {
    const int other = sim::addVehicle(otherCarHandle);
    const struct {
        const char* where;
        std::function<void()> go;
        // The pass's calls between the vehicle test and the lift.
        std::vector<std::string> test;
    } cases[] = {
        {"on foot", [] { sim::leaveVehicle(); }, onFootTest},
        {"a passenger",
         [] { sim::enterVehicle(0, sim::passengerSeat); },
         {"PLAYER_PED_ID()", "IS_PED_IN_ANY_VEHICLE(0x1B2C4,0)",
          "GET_VEHICLE_PED_IS_USING(0x1B2C4)", "GET_PED_IN_VEHICLE_SEAT(0x80002A01,0xFFFFFFFF,0)"}},
        {"a helicopter's pilot", [] { car().vehicleClass = 15; }, vehicleTest},
        {"another car's driver",
         [other] { sim::enterVehicle(other); },
         {"PLAYER_PED_ID()", "IS_PED_IN_ANY_VEHICLE(0x1B2C4,0)",
          "GET_VEHICLE_PED_IS_USING(0x1B2C4)", "GET_PED_IN_VEHICLE_SEAT(0x13C07,0xFFFFFFFF,0)",
          "GET_VEHICLE_CLASS(0x13C07)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        gearboxState = GearboxState{};
        car() = sim::Vehicle{carHandle};
        sim::enterVehicle(0);
        passAt(10.0f);
        scriptWait(0);
        EXPECT_EQ(car().maxSpeed, 21.0f);

        c.go();
        passAt(10.0f);
        const std::vector<std::string> calls = trace();
        const std::vector<std::string> lift = joined({toggleQuery, c.test, {liftCarCap}});
        ASSERT_GE(calls.size(), lift.size());
        EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + lift.size()), lift);
        EXPECT_EQ(car().maxSpeed, 9999.0f);
        scriptWait(0);

        // Once: whatever sets the car's cap next keeps it.
        car().maxSpeed = 15.0f;
        clearCalls();
        passes(3);
        EXPECT_EQ(car().maxSpeed, 15.0f);
        const std::vector<std::string> later = trace();
        EXPECT_EQ(std::count(later.begin(), later.end(), liftCarCap), 0);
        sim::world.vehicles[static_cast<std::size_t>(other)].maxSpeed = 9999.0f;
    }
}

TEST_F(GearboxTest, AChangeOfSeatLiftsTheCapAndBackAtTheWheelTheGearboxCapsAgain) {
    gearboxState.gear = Gear::Second;
    passAt(20.0f);
    scriptWait(0);
    EXPECT_EQ(car().maxSpeed, 31.0f);

    sim::enterVehicle(0, sim::passengerSeat);
    passes(2);
    EXPECT_EQ(car().maxSpeed, 9999.0f);
    EXPECT_EQ(gearboxState.cappedVehicle, 0);

    sim::enterVehicle(0, sim::driverSeat);
    passAt(20.0f);
    EXPECT_EQ(car().maxSpeed, 31.0f);
    EXPECT_EQ(labelTexts(sim::world.labels), (std::vector<std::string>{"Clutch", "Shift", "2*"}));
}

TEST_F(GearboxTest, SwitchedOffTheGearboxLeavesTheRememberedCapForItsNextPassOn) {
    // Leaving and switching off in one pass: the disabled pass lifts the cap of
    // no vehicle, as it always has.
    passAt(10.0f);
    scriptWait(0);
    sim::leaveVehicle();
    press(39);
    passAt(0.0f);
    release(39);
    scriptWait(0);
    EXPECT_FALSE(gearboxState.transmissionEnabled);
    EXPECT_EQ(car().maxSpeed, 21.0f);
    passes(3);
    EXPECT_EQ(car().maxSpeed, 21.0f);

    press(39);
    passAt(0.0f);
    EXPECT_TRUE(gearboxState.transmissionEnabled);
    EXPECT_EQ(car().maxSpeed, 9999.0f);
    const std::vector<std::string> calls = trace();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), liftCarCap), 1);
}

// --- The game's focus -----------------------------------------------------------------

TEST_F(GearboxTest, InTheBackgroundNoKeyIsAskedForAndTheGearboxDrivesOnWithoutThem) {
    gearboxState.gear = Gear::Second;
    sim::world.gameFocused = false;
    press(clutch);
    press(firstKey);
    press(39);
    press(keyS);
    press(keyW);
    // Lugging in second, were W down.
    passAt(18.0f);
    EXPECT_EQ(trace(),
              joined({{"GetForegroundWindow() = 0xC0D3E", "GetWindowThreadProcessId(0xC0D3E)",
                       "IS_CONTROL_JUST_PRESSED(2,190)"},
                      vehicleTest,
                      onCar("GET_ENTITY_SPEED", ""),
                      label("Clutch", 0.08f, false),
                      label("Shift", 0.155f, false),
                      label("2", 0.015f, true),
                      onCar("SET_ENTITY_MAX_SPEED", "," + fl(31.0f)),
                      {"IS_CONTROL_JUST_PRESSED(2,208)", "IS_DISABLED_CONTROL_PRESSED(0,71)"},
                      onCar("IS_VEHICLE_STOPPED", "")}));
    EXPECT_TRUE(gearboxState.transmissionEnabled);
    EXPECT_EQ(gearboxState.gear, Gear::Second);
    EXPECT_FALSE(sim::world.suppressed.any());
    EXPECT_TRUE(car().engineOn);
    scriptWait(0);

    // Back in the foreground the keys held count again.
    release(39);
    sim::world.gameFocused = true;
    passAt(18.0f);
    EXPECT_EQ(gearboxState.gear, Gear::First);
    EXPECT_EQ(waits(), std::vector<std::int64_t>{50});
    scriptWait(0);
    press(39);
    passAt(18.0f);
    EXPECT_FALSE(gearboxState.transmissionEnabled);
}

TEST_F(GearboxTest, TheFocusIsAskedOnceAPassEvenAcrossItsPauses) {
    // A toggle and a gear selection in one pass: two 50 ms pauses.
    press(39);
    press(clutch);
    press(secondKey);
    gearboxState.transmissionEnabled = false;
    passAt(10.0f);
    EXPECT_EQ(waits(), (std::vector<std::int64_t>{50, 50}));
    const std::vector<std::string> calls = trace();
    EXPECT_EQ(std::count_if(
                  calls.begin(), calls.end(),
                  [](const std::string& line) { return line.starts_with("GetForegroundWindow"); }),
              1);
    EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + 2),
              (std::vector<std::string>{"GetForegroundWindow() = 0xA0B2C",
                                        "GetWindowThreadProcessId(0xA0B2C)"}));
}

// --- A drive ----------------------------------------------------------------------------

class DriveTest : public GearboxTest {
  protected:
    // Drives passes until the condition holds; false if it never did.
    template <typename Condition>
    static bool driveUntil(Condition condition, int budget = 3000) {
        for (int i = 0; i < budget; ++i) {
            if (condition()) {
                return true;
            }
            pass();
        }
        return false;
    }

    static void shiftInto(int gearKey) {
        release(keyW);
        press(clutch);
        press(gearKey);
        pass();
        release(gearKey);
        release(clutch);
        pass();
    }

    std::vector<Gear> gearsDriven;
    float topSpeed = 0;

    void SetUp() override {
        GearboxTest::SetUp();
        sim::world.frameObserver = [this](const sim::World& world) {
            if (gearsDriven.empty() || gearsDriven.back() != gearboxState.gear) {
                gearsDriven.push_back(gearboxState.gear);
            }
            topSpeed = std::max(topSpeed, world.vehicles[0].speed);
        };
    }
};

TEST_F(DriveTest, UpThroughTheGearsAndBackDownWithoutAStall) {
    press(keyW);
    ASSERT_TRUE(driveUntil([] { return gearboxState.shiftHint; }));
    shiftInto(secondKey);
    press(keyW);
    ASSERT_TRUE(driveUntil([] { return gearboxState.shiftHint; }));
    shiftInto(thirdKey);
    press(keyW);
    ASSERT_TRUE(driveUntil([] { return gearboxState.shiftHint; }));
    shiftInto(fourthKey);
    press(keyW);
    ASSERT_TRUE(driveUntil([] { return car().speed > 45.0f; }));

    release(keyW);
    press(keyS);
    ASSERT_TRUE(driveUntil([] { return car().speed < 36.0f; }));
    release(keyS);
    shiftInto(thirdKey);
    press(keyW);
    passes(30);
    release(keyW);
    press(keyS);
    ASSERT_TRUE(driveUntil([] { return car().speed < 25.0f; }));
    release(keyS);
    shiftInto(secondKey);
    press(keyW);
    passes(30);
    release(keyW);
    press(keyS);
    ASSERT_TRUE(driveUntil([] { return car().speed < 12.0f; }));
    shiftInto(firstKey);
    ASSERT_TRUE(driveUntil([] { return car().speed == 0.0f; }));
    release(keyS);

    EXPECT_EQ(gearsDriven, (std::vector<Gear>{Gear::First, Gear::Second, Gear::Third, Gear::Fourth,
                                              Gear::Third, Gear::Second, Gear::First}));
    EXPECT_GT(topSpeed, 45.0f);
    EXPECT_EQ(stallCalls(), 0);
    EXPECT_TRUE(car().engineOn);
}

TEST_F(DriveTest, ShiftingIntoFourthTooEarlyStallsTheEngine) {
    press(keyW);
    ASSERT_TRUE(driveUntil([] { return car().speed > 15.0f; }));
    shiftInto(fourthKey);
    press(keyW);
    pass();
    EXPECT_FALSE(car().engineOn);
    const float stalledAt = car().speed;
    passes(60);
    EXPECT_LT(car().speed, stalledAt);
    EXPECT_FALSE(car().engineOn);
    EXPECT_EQ(gearboxState.gear, Gear::Fourth);
}

} // namespace
