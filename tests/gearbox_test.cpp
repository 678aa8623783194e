// The gearbox driven through the real frame loop in the stand-in world.
#include "gearbox_fixture.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <map>
#include <set>
#include <utility>

#include "choosing/input_choosing.h"
#include "plugin/recorded_state.h"
#include "runner/drive.h"
#include "sim/hook_control.h"

namespace {

// The natives of a pass that take a vehicle, and the argument that names it.
bool takesVehicle(const sim::Call& call) {
    for (const Native native :
         {Native::DriverSeatFree, Native::DriverOfVehicle, Native::VehicleClass,
          Native::VehicleSpeed, Native::CapVehicleSpeed, Native::ForceForwardSpeed,
          Native::StallEngine, Native::VehicleStationary}) {
        if (call.hash == hashOf(native)) {
            return true;
        }
    }
    return false;
}

TEST_F(GearboxTest, APassAsksForTheVehicleOnceAndEveryVehicleCallGetsThatHandle) {
    // Second, clutch and fourth-gear key, S and W down, creeping at 0.01: every
    // step runs, and fourth lugs and stands still, so both stalls fire.
    putInGear(gear2);
    for (const int key : {clutch, fourthKey, keyS, keyW}) {
        press(key);
    }
    passAt(0.01f);
    int fetches = 0, vehicleCalls = 0;
    for (const sim::Call& call : nativeCalls()) {
        fetches += call.hash == hashOf(Native::VehicleOfCharacter);
        if (takesVehicle(call)) {
            ++vehicleCalls;
            EXPECT_EQ(call.arguments[0], std::uint32_t(carHandle)) << findNativeId(call.hash)->name;
        }
    }
    EXPECT_EQ(fetches, 1);
    EXPECT_EQ(vehicleCalls, 8) << "seat free, seat, class, speed, cap, two stalls, stationary";
    EXPECT_EQ(stallCalls(), 2);
    EXPECT_EQ(gearboxState().gear, gear4);
    EXPECT_TRUE(waits().empty()) << "a pass never waits in its middle";
    EXPECT_TRUE(sim::world.suppressed[71] && sim::world.suppressed[72]);
    EXPECT_EQ(labelTexts(sim::world.labels), (std::vector<std::string>{"Clutch*", "Shift", "2*"}))
        << "the old gear's step runs before the selection";
}

TEST_F(GearboxTest, OnFootAPassStopsAtTheVehicleTest) {
    restoreState({{"gear", int(gear3)}, {"clutchHeld", 1}, {"shiftHint", 1}});
    sim::leaveVehicle();
    press(clutch);
    press(secondKey);
    passAt(0.0f);
    EXPECT_EQ(nativeHashes().back(), hashOf(Native::CharacterInVehicle));
    EXPECT_TRUE(sim::world.labels.empty());
    EXPECT_FALSE(sim::world.suppressed.any());
    EXPECT_EQ(gearboxState().gear, gear3);
    EXPECT_TRUE(gearboxState().clutchHeld);
    EXPECT_TRUE(gearboxState().shiftHint);
}

TEST_F(GearboxTest, ASteadyCruiseCosts39NativeCallsThreeKeyQueriesAndOneFocusCheckAFrame) {
    // Fitting the gears asks for the top speed on getting in only.
    bindField(&KeyBindings::fitGears, 1);
    passAt(10.0f);
    EXPECT_EQ(nativeCalls().size(), 40u);
    scriptWait(0);
    // Bound pad buttons add the question of the device, and while a pad is in
    // use a read and a disable each.
    for (const std::size_t expectedNatives : {39u, 40u, 46u}) {
        if (expectedNatives > 39u) {
            bindField(&KeyBindings::padHoldControl, 68);
            bindField(&KeyBindings::padUpControl, 73);
            bindField(&KeyBindings::padDownControl, 99);
        }
        sim::world.lastDevice =
            expectedNatives == 46u ? sim::Device::Pad : sim::Device::KeyboardAndMouse;
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

// --- Caps and the shift hint ----------------------------------------------------

struct CapCase {
    Gear gear;
    float speed;
    float cap;
    bool hint;
};

TEST_F(GearboxTest, CapsAndHintsAtEachThreshold) {
    const CapCase cases[] = {
        {gear1, 25.0f, 25.0f, true},
        {gear1, above(21.0f), above(21.0f), true},
        {gear1, 21.0f, 21.0f, true},
        {gear1, above(20.0f), 21.0f, true},
        {gear1, 20.0f, 21.0f, false},
        {gear1, 0.0f, 21.0f, false},
        // A speed no vehicle reaches, or none at all, leaves the gear's own cap.
        {gear1, std::numeric_limits<float>::infinity(), 21.0f, true},
        {gear1, 1e30f, 21.0f, true},
        {gear1, std::numeric_limits<float>::quiet_NaN(), 21.0f, false},
        {gear2, 150.0f, 150.0f, true},
        {gear2, above(150.0f), 31.0f, true},
        {gear3, std::numeric_limits<float>::infinity(), 40.5f, true},
        {gear2, above(31.0f), above(31.0f), true},
        {gear2, 31.0f, 31.0f, true},
        {gear2, above(30.0f), 31.0f, true},
        {gear2, 30.0f, 31.0f, false},
        {gear3, 55.0f, 55.0f, true},
        {gear3, above(40.5f), above(40.5f), true},
        {gear3, 40.5f, 40.5f, true},
        {gear3, above(39.5f), 40.5f, true},
        {gear3, 39.5f, 40.5f, false},
        {gear4, 60.0f, 9999.0f, false},
        {gear4, 39.6f, 9999.0f, false},
        // Backing up is never time to shift up.
        {gearR, 30.5f, 8.0f, false},
        {gearR, 0.0f, 8.0f, false},
    };
    for (const bool hintBefore : {false, true}) {
        for (const CapCase& c : cases) {
            SCOPED_TRACE(::testing::Message() << "gear " << int(c.gear) << " at " << c.speed
                                              << ", hint before " << hintBefore);
            putInGear(c.gear);
            restoreState({{"shiftHint", hintBefore}});
            car().maxSpeed = 1.0f;
            passAt(c.speed);
            EXPECT_EQ(car().maxSpeed, c.cap);
            EXPECT_EQ(gearboxState().shiftHint, c.hint);
            scriptWait(0);
        }
    }
}

TEST_F(GearboxTest, TheShiftLabelShowsTheHintThatEarlierPassesLeft) {
    passAt(20.5f);
    EXPECT_EQ(labelTexts(sim::world.labels), (std::vector<std::string>{"Clutch", "Shift", "1*"}));
    EXPECT_TRUE(gearboxState().shiftHint);
    scriptWait(0);
    passAt(5.0f);
    EXPECT_EQ(labelTexts(sim::world.labels), (std::vector<std::string>{"Clutch", "Shift*", "1*"}));
    EXPECT_FALSE(gearboxState().shiftHint);
    scriptWait(0);
    passAt(5.0f);
    EXPECT_EQ(labelTexts(sim::world.labels), (std::vector<std::string>{"Clutch", "Shift", "1*"}));
}

TEST_F(GearboxTest, TheSKeyLowersTheFrameSpeedBy1Point2ForEveryComparison) {
    press(keyS);
    // 21.5 - 1.2 = 20.3: under the first-gear cap but over its hint threshold.
    passAt(21.5f);
    EXPECT_EQ(car().maxSpeed, 21.0f);
    EXPECT_TRUE(gearboxState().shiftHint);
    scriptWait(0);
    // Above the cap, the cap follows a fresh read of the speed, not lowered.
    passAt(25.0f);
    EXPECT_EQ(car().maxSpeed, 25.0f);
    scriptWait(0);

    // 20.1 - 1.2 = 18.9 in second: lugging, so W stalls.
    putInGear(gear2);
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
    putInGear(gearR);
    passAt(3.0f);
    for (const std::string& line : trace()) {
        EXPECT_NE(line.rfind("key 83", 0), 0u) << line;
    }
    scriptWait(0);
    // At 0.0 the S key is polled but the speed is not lowered below zero:
    // first gear stays without a hint and at its cap.
    putInGear(gear1);
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
        {"second at its lugging limit with W", gear2, 18.9f, true, false, 1},
        {"second at its lugging limit with 208", gear2, 18.9f, false, true, 1},
        {"second at its lugging limit, not accelerating", gear2, 18.9f, false, false, 0},
        {"second just above its lugging limit", gear2, above(18.9f), true, false, 0},
        {"third at its lugging limit", gear3, 28.9f, true, false, 1},
        {"third just above", gear3, above(28.9f), true, false, 0},
        {"fourth at its lugging limit", gear4, 38.4f, true, false, 1},
        {"fourth just above", gear4, above(38.4f), false, true, 0},
        {"fourth at speed", gear4, 60.0f, true, false, 0},
        {"first from a standstill", gear1, 0.0f, true, true, 0},
        {"second from a standstill: both rules", gear2, 0.0f, true, false, 2},
        {"fourth from a standstill: both rules", gear4, 0.0f, false, true, 2},
        {"reverse from a standstill with 208", gearR, 0.0f, false, true, 1},
        // W backs the car up before the standstill test, so only 208 stalls.
        {"reverse from a standstill with W", gearR, 0.0f, true, false, 0},
        {"reverse from a standstill, not accelerating", gearR, 0.0f, false, false, 0},
        {"reverse rolling with W", gearR, 3.0f, true, false, 0},
    };
    for (const StallCase& c : cases) {
        SCOPED_TRACE(c.name);
        car() = sim::Vehicle{carHandle};
        putInGear(c.gear);
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
    putInGear(gear4);
    sim::holdControl(71, true);
    for (int frame = 0; frame < 3; ++frame) {
        car().engineOn = true;
        passAt(10.0f);
        EXPECT_EQ(stallCalls(), 1) << frame;
        scriptWait(0);
    }
    putInGear(gearR);
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
    bindField(&KeyBindings::shiftUpKey, keyE);
    bindField(&KeyBindings::shiftDownKey, keyQ);
    const auto tap = [](int key) {
        press(key);
        passAt(30.0f);
        scriptWait(0);
        release(key);
        passAt(30.0f);
        scriptWait(0);
    };
    tap(keyE);
    EXPECT_EQ(gearboxState().gear, gear1) << "without the clutch";
    press(keyE);
    pass();
    press(clutch);
    pass();
    EXPECT_EQ(gearboxState().gear, gear1) << "pressed before the clutch went in";
    release(keyE);
    pass();

    tap(keyE);
    EXPECT_EQ(gearboxState().gear, gear2);
    press(keyE);
    passes(5);
    release(keyE);
    pass();
    EXPECT_EQ(gearboxState().gear, gear3) << "one gear however long held";
    tap(keyE);
    tap(keyE);
    EXPECT_EQ(gearboxState().gear, gear4) << "no gear above fourth";

    const Gear downwards[] = {gear3, gear2, gear1, gearR, gearR};
    for (const Gear gear : downwards) {
        tap(keyQ);
        EXPECT_EQ(gearboxState().gear, gear);
    }
    tap(keyE);
    EXPECT_EQ(gearboxState().gear, gear1) << "up from reverse";
    tap(thirdKey);
    EXPECT_EQ(gearboxState().gear, gear3) << "the gear keys still work";
    press(keyQ);
    press(fourthKey);
    passAt(30.0f);
    EXPECT_EQ(gearboxState().gear, gear4) << "a gear key comes first";
}

TEST_F(GearboxTest, ThePadsHoldButtonIsTheClutchAndItsButtonsWorkOnlyForTheGearbox) {
    bindField(&KeyBindings::padHoldControl, 68);
    bindField(&KeyBindings::padUpControl, 73);
    bindField(&KeyBindings::padDownControl, 99);
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
    EXPECT_TRUE(gearboxState().clutchHeld);
    EXPECT_TRUE(sim::world.suppressed[71]);
    EXPECT_EQ(labelTexts(sim::world.labels), (std::vector<std::string>{"Clutch*", "Shift", "1*"}));
    scriptWait(0);
    tapButton(73);
    tapButton(73);
    EXPECT_EQ(gearboxState().gear, gear3);
    tapButton(99);
    EXPECT_EQ(gearboxState().gear, gear2);
    sim::holdControl(68, false);
    tapButton(73);
    EXPECT_EQ(gearboxState().gear, gear2) << "without the hold button";

    // On keyboard and mouse the same controls are the right mouse button and
    // the X key: they stay the game's and don't work the gearbox.
    sim::holdControl(68, true);
    sim::world.lastDevice = sim::Device::KeyboardAndMouse;
    passAt(30.0f);
    EXPECT_FALSE(gearboxState().clutchHeld);
    EXPECT_FALSE(sim::world.suppressed.any());
    scriptWait(0);
    sim::holdControl(68, false);

    // Disabled for the game only while the gearbox acts.
    sim::world.lastDevice = sim::Device::Pad;
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
    EXPECT_FALSE(gearboxState().transmissionEnabled);
    EXPECT_FALSE(sim::world.suppressed.any());
}

TEST_F(GearboxTest, TheClutchDoesNotPreventAStall) {
    putInGear(gear3);
    press(clutch);
    press(keyW);
    passAt(20.0f);
    EXPECT_EQ(stallCalls(), 1);
    EXPECT_FALSE(car().engineOn);
}

TEST_F(GearboxTest, ControlFiredIsAskedFirstAndWOnlyWhenItIsNot) {
    putInGear(gear2);
    sim::holdControl(208, true);
    press(keyW);
    passAt(10.0f);
    const std::vector<std::string> calls = trace();
    const std::vector<std::string> tail = {"IS_CONTROL_JUST_PRESSED(2,208)",
                                           "SET_VEHICLE_ENGINE_ON(" + carSlot() + ",0,0,0)",
                                           "IS_VEHICLE_STOPPED(" + carSlot() + ")"};
    ASSERT_GE(calls.size(), tail.size());
    EXPECT_EQ(std::vector<std::string>(calls.end() - tail.size(), calls.end()), tail);
}

// --- Selecting a gear --------------------------------------------------------------

TEST_F(GearboxTest, AGearKeyWithoutTheClutchIsIgnoredAndNotEvenPolled) {
    press(secondKey);
    passAt(10.0f);
    EXPECT_EQ(gearboxState().gear, gear1);
    for (const std::string& line : trace()) {
        EXPECT_NE(line, "key 50 down");
    }
}

TEST_F(GearboxTest, TheClutchAloneSuppressesAccelerateAndHighlights) {
    press(clutch);
    passAt(10.0f);
    EXPECT_TRUE(sim::world.suppressed[71]);
    EXPECT_TRUE(gearboxState().clutchHeld);
    EXPECT_EQ(labelTexts(sim::world.labels), (std::vector<std::string>{"Clutch*", "Shift", "1*"}));
    scriptWait(0);
    release(clutch);
    passAt(10.0f);
    EXPECT_FALSE(gearboxState().clutchHeld);
    EXPECT_FALSE(sim::world.suppressed[71]);
}

TEST_F(GearboxTest, AnEarlierKeyInTheFixedOrderWinsAtAnySpeed) {
    const struct {
        std::vector<int> keys;
        Gear selected;
    } cases[] = {
        {{thirdKey, secondKey}, gear2},
        {{reverseKey, fourthKey}, gear4},
        {{reverseKey, firstKey}, gear1},
        {{reverseKey}, gearR},
    };
    for (const auto& c : cases) {
        putInGear(gear3);
        press(clutch);
        for (const int key : c.keys) {
            press(key);
        }
        passAt(45.0f);
        EXPECT_EQ(gearboxState().gear, c.selected);
        for (const int key : c.keys) {
            release(key);
        }
        scriptWait(0);
    }
}

// --- A change into second gear, event by event ----------------------------------------

TEST_F(GearboxTest, RoadOfOneEvent) {
    restoreState({{"shiftHint", true}});
    press(clutch);
    press(secondKey);
    press(keyW);
    passAt(25.0f);
    // The clutch holds the accelerator, and first's step ran with the old gear
    // over its cap, so the cap follows the car; second neither lugs at 25 nor
    // stands still.
    EXPECT_TRUE(sim::world.suppressed[71]);
    EXPECT_EQ(labelTexts(sim::world.labels), (std::vector<std::string>{"Clutch*", "Shift*", "1*"}));
    EXPECT_EQ(car().maxSpeed, 25.0f);
    EXPECT_EQ(gearboxState().gear, gear2);
    EXPECT_EQ(stallCalls(), 0);
    EXPECT_TRUE(gearboxState().shiftHint);

    // From the next pass on, "2" and the second-gear cap.
    release(clutch);
    release(secondKey);
    scriptWait(0);
    passAt(25.0f);
    EXPECT_EQ(labelTexts(sim::world.labels), (std::vector<std::string>{"Clutch", "Shift*", "2*"}));
    EXPECT_EQ(car().maxSpeed, 31.0f);
    EXPECT_FALSE(gearboxState().shiftHint);
    scriptWait(0);
    passAt(33.0f);
    EXPECT_EQ(car().maxSpeed, 33.0f);

    // Into second from a standstill with W: the same pass stalls, by both rules.
    putInGear(gear1);
    car().engineOn = true;
    press(clutch);
    press(secondKey);
    scriptWait(0);
    passAt(0.0f);
    EXPECT_EQ(stallCalls(), 2);
    EXPECT_FALSE(car().engineOn);
}

// --- Vehicles, the toggle and the gearbox ----------------------------------------------

TEST_F(GearboxTest, TheGearAndHintCarryOverIntoTheNextVehicleAndTheOldCapIsLifted) {
    putInGear(gear3);
    passAt(39.8f);
    scriptWait(0);
    EXPECT_TRUE(gearboxState().shiftHint);
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
    putInGear(gear2);
    press(39);
    passAt(10.0f);
    EXPECT_FALSE(gearboxState().transmissionEnabled);
    EXPECT_EQ(gearboxState().gear, gear1);
    EXPECT_EQ(car().maxSpeed, 9999.0f);
    EXPECT_TRUE(sim::world.labels.empty());
    scriptWait(0);

    release(39);
    pass();
    press(39);
    passAt(10.0f);
    EXPECT_TRUE(gearboxState().transmissionEnabled);
    EXPECT_EQ(car().maxSpeed, 21.0f);
    EXPECT_EQ(labelTexts(sim::world.labels), (std::vector<std::string>{"Clutch", "Shift", "1*"}));
}

// Without a clutch no key changes gear, however many gear and shift keys are
// bound and pressed; and code 0, a key left unbound, is never asked about.
TEST_F(GearboxTest, WithoutAClutchNoKeyChangesGearAndNoUnboundKeyIsAsked) {
    constexpr int shiftUp = 33, shiftDown = 34;
    struct Case {
        const char* name;
        bool clutchBound, gearKeysBound, shiftKeysBound;
        Gear gearAfter;
    };
    for (const Case& c : {Case{"nothing bound", false, false, false, gear1},
                          Case{"gear keys, no clutch", false, true, true, gear1},
                          Case{"shift keys and clutch, no gear keys", true, false, true, gear2}}) {
        SCOPED_TRACE(c.name);
        resetPlugin(Reset::Restart);
        sim::world.keys.reset();
        clearCalls();
        KeyBindings keys{};
        keys.clutchKey = c.clutchBound ? clutch : 0;
        if (c.gearKeysBound) {
            keys.firstGearKey = firstKey;
            keys.secondGearKey = secondKey;
            keys.thirdGearKey = thirdKey;
            keys.fourthGearKey = fourthKey;
            keys.reverseKey = reverseKey;
        }
        if (c.shiftKeysBound) {
            keys.shiftUpKey = shiftUp;
            keys.shiftDownKey = shiftDown;
        }
        useKeyBindings(keys);
        press(clutch);
        press(secondKey);
        press(shiftUp);
        press(keyW);
        passes(400);
        EXPECT_EQ(gearboxState().gear, c.gearAfter);
        EXPECT_EQ(gearboxState().clutchHeld, c.clutchBound);
        EXPECT_EQ(waits(), std::vector<std::int64_t>(400, 0));
        for (const sim::Call& call : sim::world.calls) {
            EXPECT_FALSE(call.kind == sim::Call::Kind::KeyQuery && call.value == 0)
                << "key 0 asked in frame " << call.frame;
        }
    }
}

// --- Where the gearbox acts -------------------------------------------------------------

constexpr std::int32_t otherCarHandle = 0x00013C07;
const std::string liftCarCap = "SET_ENTITY_MAX_SPEED(0x80002A01," + fl(9999.0f) + ")";

TEST_F(GearboxTest, APassengerPassDoesWhatAPassOnFootDoesAndSeatsNobodyAtTheWheel) {
    // Asked who sits in its empty driver's seat, an ambient car seats a
    // stranger there; only a taken seat is asked who took it.
    const struct {
        std::int32_t driver;
        std::vector<std::uint64_t> lastCalls;
    } cases[] = {
        {sim::chauffeurHandle, {hashOf(Native::DriverSeatFree), hashOf(Native::DriverOfVehicle)}},
        {0, {hashOf(Native::VehicleOfCharacter), hashOf(Native::DriverSeatFree)}},
    };
    for (const auto& c : cases) {
        resetGearbox();
        restoreState({{"gear", int(gear2)}, {"shiftHint", 1}});
        sim::enterVehicle(0, sim::passengerSeat);
        car().driver = c.driver;
        car().ambient = true;
        car().maxSpeed = 1234.0f;
        press(clutch);
        press(thirdKey);
        press(keyW);
        passAt(0.0f);
        const std::vector<std::uint64_t> calls = nativeHashes();
        EXPECT_EQ(std::vector<std::uint64_t>(calls.end() - 2, calls.end()), c.lastCalls);
        EXPECT_EQ(car().driver, c.driver);
        EXPECT_TRUE(sim::world.labels.empty());
        EXPECT_FALSE(sim::world.suppressed.any());
        EXPECT_TRUE(car().engineOn);
        EXPECT_EQ(car().maxSpeed, 1234.0f);
        EXPECT_EQ(gearboxState().gear, gear2);
        scriptWait(0);
    }
}

TEST_F(GearboxTest, OnlyVehicleClassesWithAGearboxAreDriven) {
    const std::vector<int> withoutGearbox = {13, 14, 15, 16, 21};
    for (int vehicleClass = 0; vehicleClass <= 22; ++vehicleClass) {
        SCOPED_TRACE(vehicleClass);
        const bool driven = std::find(withoutGearbox.begin(), withoutGearbox.end(), vehicleClass) ==
                            withoutGearbox.end();
        resetGearbox();
        putInGear(gear2);
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
            EXPECT_EQ(nativeHashes().back(), hashOf(Native::VehicleClass));
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
    } cases[] = {
        {"on foot", [] { sim::leaveVehicle(); }},
        {"a passenger", [] { sim::enterVehicle(0, sim::passengerSeat); }},
        {"a helicopter's pilot", [] { car().vehicleClass = 15; }},
        {"another car's driver", [other] { sim::enterVehicle(other); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        resetGearbox();
        car() = sim::Vehicle{carHandle};
        sim::enterVehicle(0);
        passAt(10.0f);
        scriptWait(0);
        EXPECT_EQ(car().maxSpeed, 21.0f);

        c.go();
        passAt(10.0f);
        const std::vector<std::string> calls = trace();
        EXPECT_EQ(std::count(calls.begin(), calls.end(), liftCarCap), 1);
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
    putInGear(gear2);
    passAt(20.0f);
    scriptWait(0);
    EXPECT_EQ(car().maxSpeed, 31.0f);

    sim::enterVehicle(0, sim::passengerSeat);
    passes(2);
    EXPECT_EQ(car().maxSpeed, 9999.0f);
    EXPECT_EQ(gearboxState().cappedVehicle, 0);

    sim::enterVehicle(0, sim::driverSeat);
    passAt(20.0f);
    EXPECT_EQ(car().maxSpeed, 31.0f);
    EXPECT_EQ(labelTexts(sim::world.labels), (std::vector<std::string>{"Clutch", "Shift", "2*"}));
}

TEST_F(GearboxTest, SwitchingOffLiftsTheCapOnceAndThenTouchesNoVehicle) {
    // Capped in second, then on foot: the switch lifts the cap of the car the
    // gearbox capped, wherever the player is.
    putInGear(gear2);
    passAt(10.0f);
    scriptWait(0);
    sim::leaveVehicle();
    press(39);
    passAt(0.0f);
    EXPECT_FALSE(gearboxState().transmissionEnabled);
    EXPECT_EQ(gearboxState().gear, gear1);
    const std::vector<std::string> calls = trace();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), liftCarCap), 1);
    EXPECT_EQ(car().maxSpeed, 9999.0f);
    release(39);
    scriptWait(0);

    // Switched off, back at the wheel: a mission's own cap stays, and only the
    // toggle is asked about.
    sim::enterVehicle(0);
    car().maxSpeed = 12.0f;
    press(clutch);
    press(keyW);
    clearCalls();
    passes(5);
    EXPECT_EQ(nativeHashes(), std::vector<std::uint64_t>(5, hashOf(Native::ControlFired)));
    EXPECT_EQ(car().maxSpeed, 12.0f);
    EXPECT_FALSE(sim::world.shownSuppressed.any());
    EXPECT_TRUE(sim::world.shownLabels.empty());
}

TEST_F(GearboxTest, AfterARestartTheGearboxStartsInFirstAndKeepsWhatItReadAndWasTold) {
    constexpr int keyE = 69;
    bindField(&KeyBindings::shiftUpKey, keyE);
    putInGear(gear3);
    press(clutch);
    press(keyE);
    passAt(35.0f);
    scriptWait(0);
    EXPECT_EQ(gearboxState().gear, gear4);
    EXPECT_EQ(car().maxSpeed, 40.5f);

    // A save loads: the old car's handle means nothing now, so its cap stays,
    // and the key still held counts as a fresh press.
    resetPlugin(Reset::Restart);
    const int other = sim::addVehicle(otherCarHandle);
    sim::enterVehicle(other);
    passAt(0.0f);
    EXPECT_EQ(gearboxState().gear, gear2);
    EXPECT_EQ(labelTexts(sim::world.labels), (std::vector<std::string>{"Clutch*", "Shift", "1*"}));
    EXPECT_EQ(car().maxSpeed, 40.5f);
    EXPECT_TRUE(sim::world.notifications.empty());
    scriptWait(0);

    restoreState({{"transmissionEnabled", 0}});
    resetPlugin(Reset::Restart);
    passes(2);
    EXPECT_TRUE(sim::world.shownLabels.empty()) << "switched off stays off";
}

// --- The game's focus -----------------------------------------------------------------

TEST_F(GearboxTest, InTheBackgroundNoKeyIsAskedForAndTheGearboxDrivesOnWithoutThem) {
    putInGear(gear2);
    sim::world.gameFocused = false;
    for (const int key : {clutch, firstKey, 39, keyS, keyW}) {
        press(key);
    }
    // Lugging in second, were W down.
    passAt(18.0f);
    const std::vector<sim::Call>& calls = sim::world.calls;
    EXPECT_EQ(
        std::count_if(calls.begin(), calls.end(),
                      [](const sim::Call& call) { return call.kind == sim::Call::Kind::KeyQuery; }),
        0);
    EXPECT_EQ(labelTexts(sim::world.labels), (std::vector<std::string>{"Clutch", "Shift", "2*"}));
    EXPECT_TRUE(gearboxState().transmissionEnabled);
    EXPECT_EQ(gearboxState().gear, gear2);
    EXPECT_FALSE(sim::world.suppressed.any());
    EXPECT_TRUE(car().engineOn);
    scriptWait(0);

    // Back in the foreground the keys held count again.
    release(39);
    sim::world.gameFocused = true;
    passAt(18.0f);
    EXPECT_EQ(gearboxState().gear, gear1);
    scriptWait(0);
    press(39);
    passAt(18.0f);
    EXPECT_FALSE(gearboxState().transmissionEnabled);
}

// --- Gears fitted to the vehicle --------------------------------------------------------

TEST_F(GearboxTest, EachBoxsSpeedsAreAsWrittenOrFittedToTheVehiclesTopSpeed) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    // The caps under each box's open top gear, as written: each hints 1 m/s
    // below its cap, and the gear above lugs at or below it less 2.1 m/s.
    const std::map<int, std::vector<float>> written = {{0, {21.0f, 31.0f, 40.5f}},
                                                       {5, {17.0f, 25.0f, 33.0f, 41.0f}},
                                                       {6, {14.0f, 20.5f, 27.0f, 34.0f, 40.5f}}};
    const struct {
        int forwardGears;
        float top;
        bool fit;
        // The answer as the log gives it when it isn't used.
        const char* logged;
    } cases[] = {
        {0, 30.0f, true, nullptr}, {0, 50.0f, true, nullptr},  {0, 65.0f, true, nullptr},
        {0, 5.0f, true, nullptr},  {0, 30.0f, false, nullptr}, {0, 0.0f, true, "0"},
        {0, -1.0f, true, "-1"},    {0, nan, true, "NaN"},      {0, inf, true, "infinity"},
        {0, 4.9f, true, "4.9"},    {0, 150.1f, true, "150.1"}, {5, 30.0f, true, nullptr},
        {5, 65.0f, true, nullptr}, {5, 30.0f, false, nullptr}, {6, 30.0f, true, nullptr},
        {6, 50.0f, true, nullptr}, {6, 65.0f, true, nullptr},  {6, 30.0f, false, nullptr},
        {6, nan, true, "NaN"},
    };
    const auto logText = [this] {
        std::ifstream in(pluginFolder / "ManualGearbox.log");
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    std::ptrdiff_t asks = 0;
    const auto at = [&asks](Gear gear, float speed, bool w) {
        putInGear(gear);
        car().engineOn = true;
        (w ? press : release)(keyW);
        passAt(speed);
        asks += std::ranges::count(nativeHashes(), hashOf(Native::VehicleTopSpeed));
        scriptWait(0);
    };
    const Gear forward[] = {gear1, gear2, gear3, gear4, gear5, gear6};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.forwardGears << ", " << c.top << ", " << c.fit);
        bindField(&KeyBindings::forwardGears, c.forwardGears);
        bindField(&KeyBindings::fitGears, c.fit);
        restartGearbox();
        car().topSpeed = c.top;
        const std::vector<float>& caps = written.at(c.forwardGears);
        const float scale = c.fit && !c.logged ? c.top / tableTopSpeed : 1.0f;
        const std::string log = logText();
        asks = 0;
        at(gear1, 0.0f, false);
        const std::string told = logText();
        EXPECT_EQ(told.substr(log.size()),
                  c.logged ? "\nFitGears: the game gives vehicle " + std::to_string(carHandle) +
                                 " a top speed of " + c.logged +
                                 " m/s, not one from 5 to 150, so its gears keep their speeds "
                                 "as written.\n"
                           : "");
        for (std::size_t i = 0; i < caps.size(); ++i) {
            at(forward[i], 0.0f, false);
            EXPECT_FLOAT_EQ(car().maxSpeed, caps[i] * scale) << "cap of gear " << i + 1;
            at(forward[i], (caps[i] - 1.0f) * scale - 0.005f, false);
            EXPECT_FALSE(gearboxState().shiftHint) << "gear " << i + 1;
            at(forward[i], (caps[i] - 1.0f) * scale + 0.005f, false);
            EXPECT_TRUE(gearboxState().shiftHint) << "gear " << i + 1;
            at(forward[i + 1], (caps[i] - 2.1f) * scale + 0.005f, true);
            EXPECT_TRUE(car().engineOn) << "gear " << i + 2;
            at(forward[i + 1], (caps[i] - 2.1f) * scale - 0.005f, true);
            EXPECT_FALSE(car().engineOn) << "gear " << i + 2;
        }
        at(forward[caps.size()], 0.0f, false);
        EXPECT_EQ(car().maxSpeed, 9999.0f);
        at(gearR, 30.0f, true);
        EXPECT_EQ(car().maxSpeed, 8.0f);
        EXPECT_NEAR(car().speed, -4.1f, 0.01f);
        EXPECT_EQ(asks, c.fit ? 1 : 0) << "asked on the first pass only, when fitted";
        EXPECT_EQ(logText(), told) << "told once";
    }
}

TEST_F(GearboxTest, BindingsReadAgainWithoutTheGearInTheirBoxPutItInTheBoxsTopGear) {
    bindField(&KeyBindings::forwardGears, 6);
    putInGear(gear6);
    passAt(45.0f);
    scriptWait(0);
    bindField(&KeyBindings::forwardGears, 0);
    fitGearsAgain();
    passAt(45.0f);
    EXPECT_EQ(gearboxState().gear, gear4);
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
            if (gearsDriven.empty() || gearsDriven.back() != gearboxState().gear) {
                gearsDriven.push_back(gearboxState().gear);
            }
            topSpeed = std::max(topSpeed, world.vehicles[0].speed);
        };
    }
};

TEST_F(DriveTest, UpThroughTheGearsAndBackDownWithoutAStall) {
    press(keyW);
    ASSERT_TRUE(driveUntil([] { return gearboxState().shiftHint; }));
    shiftInto(secondKey);
    press(keyW);
    ASSERT_TRUE(driveUntil([] { return gearboxState().shiftHint; }));
    shiftInto(thirdKey);
    press(keyW);
    ASSERT_TRUE(driveUntil([] { return gearboxState().shiftHint; }));
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

    EXPECT_EQ(gearsDriven, (std::vector<Gear>{gear1, gear2, gear3, gear4, gear3, gear2, gear1}));
    EXPECT_GT(topSpeed, 45.0f);
    EXPECT_EQ(stallCalls(), 0);
    EXPECT_TRUE(car().engineOn);
}

TEST_F(DriveTest, EveryFrameAtTheWheelDrawsTheLabelsAndTheClutchHoldsTheAccelerator) {
    // Checked at the end of every frame, since whatever a pass does to the
    // game lasts that frame only.
    int framesDriven = 0, clutchFrames = 0, faults = 0;
    sim::world.frameObserver = [&](const sim::World& world) {
        if (!gearboxState().transmissionEnabled) {
            faults += !world.labels.empty();
            return;
        }
        ++framesDriven;
        faults += world.labels.size() != 3;
        if (world.keys[clutch]) {
            ++clutchFrames;
            faults += !world.suppressed[71];
        }
    };
    press(keyW);
    for (const int gearKey : {secondKey, thirdKey, fourthKey}) {
        ASSERT_TRUE(driveUntil([] { return gearboxState().shiftHint || car().speed > 45.0f; }));
        press(clutch);
        press(gearKey);
        passes(3);
        release(gearKey);
        release(clutch);
    }
    ASSERT_EQ(gearboxState().gear, gear4);
    for (int toggle = 0; toggle < 2; ++toggle) {
        press(39);
        passes(2);
        release(39);
        passes(30);
    }
    // A gear key held with the clutch selects its gear again on every pass.
    press(clutch);
    press(thirdKey);
    const float before = car().speed;
    passes(60);
    EXPECT_LT(car().speed, before) << "W does nothing with the clutch in";
    EXPECT_EQ(gearboxState().gear, gear3);
    EXPECT_EQ(faults, 0);
    EXPECT_GE(clutchFrames, 69);
    EXPECT_GT(framesDriven, 300);
    EXPECT_EQ(stallCalls(), 0);
    const std::vector<std::int64_t> pauses = waits();
    EXPECT_EQ(std::count(pauses.begin(), pauses.end(), 0), std::ssize(pauses))
        << "no pass waits in its middle";
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
    EXPECT_EQ(gearboxState().gear, gear4);
}

// --- The top speed, asked once per vehicle ---------------------------------------------

// A drive in the folder of an end-to-end drive, with its MTconfig.ini, by a
// freshly loaded plug-in: the time of each frame, once for every time the
// plug-in asked for a vehicle's top speed in it.
std::vector<std::int64_t> topSpeedQuestions(const std::string& folder, const std::string& text) {
    const std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::current_path(std::filesystem::path(MG_E2E_DRIVES) / folder);
    driveHook.reset();
    restorePlugin(DriveRecording{});
    std::vector<std::int64_t> asked;
    sim::world.frameObserver = [&asked](const sim::World& world) {
        for (const sim::Call& call : world.calls) {
            if (call.hash == hashOf(Native::VehicleTopSpeed)) {
                asked.push_back(world.timeMs);
            }
        }
    };
    const ParsedDriveScript parsed = parseDriveScript(folder, text);
    EXPECT_EQ(parsed.error, "");
    const DriveReport report = runDrive(parsed.script, driveHook);
    EXPECT_EQ(report.failures, std::vector<std::string>{});
    sim::world.frameObserver = nullptr;
    std::filesystem::current_path(saved);
    return asked;
}

std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST_F(PluginTest,
       FitGearsAsksForTheTopSpeedOnGettingInChangingVehiclesSwitchingOnRestartsAndReloads) {
    const std::filesystem::path drives = MG_E2E_DRIVES;
    EXPECT_EQ(topSpeedQuestions("fitted", fileText(drives / "fitted/van.drive")),
              (std::vector<std::int64_t>{0, 10512}));
    EXPECT_EQ(topSpeedQuestions("drives", fileText(drives / "drives/van.drive")),
              std::vector<std::int64_t>{})
        << "without FitGears";
    // Not on foot or as a passenger, nor back in the vehicle last driven; again
    // after switching on, a restart and a reload.
    EXPECT_EQ(topSpeedQuestions("fitted", "0 enter\n"
                                          "1 leave\n1.5 enter\n"
                                          "2 enter passenger\n2.5 enter\n"
                                          "3 down Right\n3.1 up Right\n"
                                          "3.5 down Right\n3.6 up Right\n"
                                          "4 restart\n"
                                          "5 enter 2\n5.5 enter\n"
                                          "6 leave\n6.1 restart\n6.5 enter\n"
                                          "7 down F5\n7.1 up F5\n7.5 leave\n"),
              (std::vector<std::int64_t>{0, 3504, 4000, 5008, 5504, 6512, 7008}));
}

// Every end-to-end drive, played natively in a copy of its folder (with
// CASE.ini as the MTconfig.ini of CASE.drive, as bind.sh plays them): after
// every pass each state value is within the range that a recording's check
// takes, so that every recording the plug-in makes can be replayed.
TEST_F(PluginTest, EveryStateThatADrivesPassesLeaveIsOneARecordingKeeps) {
    const std::span<const RecordedField> fields = recordedStateFields();
    std::vector<std::int32_t> values(fields.size());
    std::set<std::string> outside;
    int choosingPasses = 0;
    const std::filesystem::path saved = std::filesystem::current_path();
    for (const auto& entry : std::filesystem::recursive_directory_iterator(MG_E2E_DRIVES)) {
        const std::filesystem::path& drive = entry.path();
        if (drive.extension() != ".drive") {
            continue;
        }
        const std::filesystem::path folder =
            pluginFolder / drive.parent_path().filename() / drive.stem();
        std::filesystem::create_directories(folder);
        std::filesystem::copy(drive.parent_path(), folder);
        std::error_code noCase;
        std::filesystem::copy_file(folder / drive.stem().concat(".ini"), folder / "MTconfig.ini",
                                   std::filesystem::copy_options::overwrite_existing, noCase);
        nativeModuleFolder() = folder.string();
        std::filesystem::current_path(folder);
        driveHook.reset();
        restorePlugin(DriveRecording{});
        sim::world.frameObserver = [&](const sim::World&) {
            pluginStateValues(values);
            for (std::size_t i = 0; i < fields.size(); ++i) {
                if (values[i] < fields[i].lowest || values[i] > fields[i].highest) {
                    outside.insert(drive.string() + ": " + std::string(fields[i].name) + " = " +
                                   std::to_string(values[i]));
                }
            }
            choosingPasses += choosingState().choosing;
        };
        runDrive(parseDriveScript(drive.string(), fileText(drive)).script, driveHook);
        sim::world.frameObserver = nullptr;
    }
    std::filesystem::current_path(saved);
    EXPECT_EQ(outside, std::set<std::string>{});
    EXPECT_GT(choosingPasses, 100) << "keys chosen in some drives";
}

} // namespace
