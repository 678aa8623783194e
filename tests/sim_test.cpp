// The stand-in world itself: the checks other tests rely on to catch faults.
#include "plugin_fixture.h"

#include <tuple>

namespace {

class WorldTest : public PluginTest {
  protected:
    // These tests provoke faults on purpose.
    std::vector<std::string> takeFaults() {
        std::vector<std::string> faults;
        faults.swap(sim::world.faults);
        return faults;
    }
};

TEST_F(WorldTest, AnUnknownHashIsAFaultNamingTheHash) {
    nativeInit(0x1234567890ABCDEFu);
    nativeCall();
    const std::vector<std::string> faults = takeFaults();
    ASSERT_EQ(faults.size(), 1u);
    EXPECT_NE(faults[0].find("0x1234567890ABCDEF"), std::string::npos) << faults[0];
}

TEST_F(WorldTest, AWrongArgumentCountIsAFaultNamingTheDocumentedSignature) {
    invokeNative<Native::SuppressControl>(std::int32_t{2}, std::int32_t{71});
    const std::vector<std::string> faults = takeFaults();
    ASSERT_EQ(faults.size(), 1u);
    EXPECT_EQ(faults[0], "0xFE99B66D079CF6BC called with 2 arguments, but void "
                         "DISABLE_CONTROL_ACTION(int padIndex, int control, BOOL "
                         "disableRelatedActions) reads 3");
    EXPECT_FALSE(sim::world.suppressed[71]);
}

TEST_F(WorldTest, TheShortEngineAndTextCallsOfOldAreFaults) {
    sim::enterVehicle(sim::addVehicle(0x00000101));
    invokeNative<Native::StallEngine>(std::int32_t{0x101}, std::int32_t{0}, std::int32_t{0});
    beginScreenText("STRING");
    addTextString("1");
    invokeNative<Native::DrawScreenText>(0.015f, 0.015f);
    const std::vector<std::string> faults = takeFaults();
    ASSERT_EQ(faults.size(), 2u);
    EXPECT_NE(faults[0].find("SET_VEHICLE_ENGINE_ON(Vehicle vehicle, BOOL value, BOOL instantly, "
                             "BOOL disableAutoStart) reads 4"),
              std::string::npos)
        << faults[0];
    EXPECT_NE(faults[1].find("END_TEXT_COMMAND_DISPLAY_TEXT(float x, float y, int p2) reads 3"),
              std::string::npos)
        << faults[1];
    EXPECT_TRUE(sim::world.vehicles[0].engineOn);
    EXPECT_TRUE(sim::world.labels.empty());
}

TEST_F(WorldTest, TheStringLabelTakesOnlyItsFirstComponent) {
    beginNotification("STRING");
    addTextString("first");
    addTextString("second");
    postNotification();
    ASSERT_EQ(sim::world.notifications.size(), 1u);
    EXPECT_EQ(sim::world.notifications[0].text, "first");
}

TEST_F(WorldTest, APushWithoutInitIsAFault) {
    textFont(4);
    nativePush64(4);
    const std::vector<std::string> faults = takeFaults();
    ASSERT_EQ(faults.size(), 1u);
    EXPECT_NE(faults[0].find("0x66E0276CC5F6B9DA"), std::string::npos) << faults[0];
}

TEST_F(WorldTest, AnOverlappingCallIsAFault) {
    nativeInit(hashOf(Native::VehicleSpeed));
    nativeInit(hashOf(Native::PlayerCharacter));
    nativeCall();
    EXPECT_EQ(takeFaults().size(), 1u);
}

TEST_F(WorldTest, AWaitCoversWholeFramesAndAlwaysAtLeastOne) {
    sim::world.frameMs = 16;
    EXPECT_EQ(sim::framesCovering(0), 1);
    EXPECT_EQ(sim::framesCovering(16), 1);
    EXPECT_EQ(sim::framesCovering(17), 2);
    EXPECT_EQ(sim::framesCovering(50), 4);
    scriptWait(50);
    EXPECT_EQ(sim::world.frame, 4);
    EXPECT_EQ(sim::world.timeMs, 64);
}

TEST_F(WorldTest, ThrottleDriveAccelerationUpToTheTopSpeedSuppressionCapAndStall) {
    sim::enterVehicle(sim::addVehicle(0x00000101));
    sim::Vehicle& car = sim::world.vehicles[0];

    sim::setKey(sim::keyW, true);
    sim::advanceFrames(60);
    const float afterSecond = car.speed;
    EXPECT_GT(afterSecond, 5.0f);

    // Suppressed accelerate: only drag acts.
    suppressControl(71);
    sim::endFrame();
    EXPECT_LT(car.speed, afterSecond);

    car.maxSpeed = 3.0f;
    sim::endFrame();
    EXPECT_EQ(car.speed, 3.0f);

    car.maxSpeed = 9999.0f;
    stallEngine(car.handle);
    EXPECT_FALSE(car.engineOn);
    sim::advanceFrames(10);
    EXPECT_FALSE(car.engineOn) << "a held throttle doesn't restart a stalled engine";
    EXPECT_LT(car.speed, 3.0f);

    sim::setKey(sim::keyW, false);
    sim::endFrame();
    sim::setKey(sim::keyW, true);
    sim::endFrame();
    EXPECT_TRUE(car.engineOn) << "a fresh press does";

    car.topSpeed = 7.0f;
    EXPECT_EQ(resultFloat(invokeNative<Native::VehicleTopSpeed>(car.handle)), 7.0f);
    sim::advanceFrames(120);
    EXPECT_GT(car.speed, 6.9f);
    EXPECT_LT(car.speed, 7.0f) << "the engine takes it to its top speed, drag a little below";
}

// A value fed in one frame drives the next, clamped, unless a disable in the
// feeding frame came first (answered false) or the next frame disables it.
TEST_F(WorldTest, AFedValueDrivesTheNextFrameOnlyWhileItsActionIsEnabled) {
    enum Disabled { Never, BeforeFeeding, AfterFeeding, NextFrame };
    const std::tuple<ControlId, float, Disabled, bool, float> cases[] = {
        {71, 0.5f, Never, true, 0.5f},        {71, 0.5f, BeforeFeeding, false, 0},
        {71, 0.5f, AfterFeeding, true, 0.5f}, {71, 0.5f, NextFrame, true, 0},
        {72, 1.5f, Never, true, 1},           {59, -1.5f, Never, true, -1},
        {76, 0.7f, Never, true, 1},           {76, 0.3f, Never, true, 0}};
    for (const auto& [control, value, disabled, answer, applied] : cases) {
        SCOPED_TRACE(testing::Message() << control << " at " << value << ", " << disabled);
        const auto disableIf = [&](Disabled now) {
            if (disabled == now) {
                suppressControl(control);
            }
        };
        disableIf(BeforeFeeding);
        EXPECT_EQ(feedControl(control, value), answer);
        disableIf(AfterFeeding);
        EXPECT_EQ(sim::fedValue(control), 0.0f) << "not in the frame that feeds";
        sim::endFrame();
        disableIf(NextFrame);
        EXPECT_EQ(sim::fedValue(control), applied);
        sim::endFrame();
        EXPECT_EQ(sim::fedValue(control), 0.0f) << "for one frame";
    }
}

// Fed in every frame, as the plug-in will feed them.
TEST_F(WorldTest, TheVehicleAcceleratesSteersAndBrakesFromFedValues) {
    sim::enterVehicle(sim::addVehicle(1));
    const auto feed = [](ControlId control, float value, int frames) {
        for (int i = 0; i < frames; ++i) {
            feedControl(control, value);
            sim::endFrame();
        }
        return std::pair{sim::world.vehicles[0].speed, sim::world.vehicles[0].heading};
    };
    EXPECT_NEAR(feed(71, 0.5f, 61).first, 3.55f, 0.01f) << "half the engine's pull, a frame late";
    EXPECT_NEAR(feed(59, -1.0f, 30).second, 4.95f, 0.01f) << "left, by 3 degrees a metre";
    EXPECT_NEAR(feed(59, 1.0f, 45).second, 357.87f, 0.01f) << "right, and past 0";
    EXPECT_NEAR(feed(76, 1.0f, 10).first, 2.46f, 0.01f) << "the handbrake, 0.9 m/s in 9 frames";
    EXPECT_EQ(feed(72, 1.0f, 30).first, 0.0f);
}

// The multiplier scales the engine's pull in its own frame only; a call out of
// the game scripts' range, of no vehicle or a rectangle off the screen is a
// fault.
TEST_F(WorldTest, TheTorqueMultiplierScalesOneFrameAndTheFeelsArgumentsAreChecked) {
    sim::enterVehicle(sim::addVehicle(0x00000101));
    sim::Vehicle& car = sim::world.vehicles[0];
    sim::setKey(sim::keyW, true);
    const auto gain = [&car](float multiplier) {
        car.speed = 10.0f;
        if (multiplier != 1.0f) {
            scaleEngineTorque(car.handle, multiplier);
        }
        sim::endFrame();
        return car.speed - 10.0f;
    };
    const float own = gain(1.0f);
    EXPECT_NEAR(gain(1.5f) / own, 1.5f, 0.05f);
    EXPECT_EQ(gain(1.0f), own) << "the next frame has the vehicle's own torque";
    EXPECT_TRUE(takeFaults().empty());

    scaleEngineTorque(car.handle, 1.81f);
    scaleEngineTorque(0, 1.0f);
    drawRectangle(0.5f, 1.5f, 0.1f, 0.1f, 0, 0, 0, 255);
    drawRectangle(0.5f, 0.5f, 0.1f, 0.1f, 0, 0, 256, 255);
    drawRectangle(0.5f, 0.5f, 0.1f, 0.1f, 0, 0, 0, 255);
    EXPECT_EQ(takeFaults().size(), 4u);
    EXPECT_EQ(sim::world.rects.size(), 1u);
    EXPECT_EQ(sim::torqueIn(car, sim::world.frame), 1.0f);
}

TEST_F(WorldTest, AnEngineSwitchedOffWithAutoStartDisabledStaysOff) {
    sim::enterVehicle(sim::addVehicle(0x00000101));
    const sim::Vehicle& car = sim::world.vehicles[0];
    invokeNative<Native::StallEngine>(std::int32_t{0x101}, std::int32_t{0}, std::int32_t{0},
                                      std::int32_t{1});
    sim::endFrame();
    sim::setKey(sim::keyW, true);
    sim::advanceFrames(10);
    EXPECT_FALSE(car.engineOn);
}

TEST_F(WorldTest, SeatsAndClasses) {
    sim::world.playerHandle = 0x00C0FFEE;
    const int car = sim::addVehicle(0x00000101);
    sim::addVehicle(0x00000202);
    sim::world.vehicles[1].vehicleClass = 14;
    const auto occupant = [](std::int32_t vehicle, std::int32_t seat) {
        return resultInt(invokeNative<Native::DriverOfVehicle>(vehicle, seat, std::int32_t{0}));
    };

    sim::enterVehicle(car);
    EXPECT_EQ(occupant(0x101, -1), 0x00C0FFEE);
    EXPECT_EQ(occupant(0x101, 0), 0);
    EXPECT_EQ(occupant(0x202, -1), 0) << "nobody drives the boat";

    sim::enterVehicle(car, sim::passengerSeat);
    EXPECT_TRUE(characterInVehicle(0x00C0FFEE));
    EXPECT_EQ(vehicleOfCharacter(0x00C0FFEE), 0x101);
    EXPECT_FALSE(driverSeatFree(0x101));
    EXPECT_EQ(occupant(0x101, -1), sim::chauffeurHandle);
    EXPECT_EQ(occupant(0x101, 0), 0x00C0FFEE);

    // Asked who sits in it, an ambient vehicle's empty driver's seat gets a
    // stranger.
    for (const bool ambient : {false, true}) {
        sim::world.vehicles[0] = {.handle = 0x101, .ambient = ambient};
        EXPECT_EQ(occupant(0x101, -1), ambient ? sim::strangerHandle : 0);
        EXPECT_EQ(driverSeatFree(0x101), !ambient);
    }

    EXPECT_EQ(vehicleClass(0x101), 0);
    EXPECT_EQ(vehicleClass(0x202), 14);
}

TEST_F(WorldTest, APassengersPedalsMoveNothingAndTheChauffeurHoldsTheSpeed) {
    sim::enterVehicle(sim::addVehicle(0x00000101), sim::passengerSeat);
    sim::world.vehicles[0].speed = 12.0f;
    sim::setKey(sim::keyS, true);
    sim::advanceFrames(30);
    EXPECT_EQ(sim::world.vehicles[0].speed, 12.0f);
    sim::world.vehicles[0].maxSpeed = 8.0f;
    sim::endFrame();
    EXPECT_EQ(sim::world.vehicles[0].speed, 8.0f);
}

TEST_F(WorldTest, InTheBackgroundTheGameReadsNoKeysButStillThePad) {
    sim::enterVehicle(sim::addVehicle(0x00000101));
    sim::world.gameFocused = false;
    sim::setKey(sim::keyW, true);
    sim::advanceFrames(30);
    EXPECT_EQ(sim::world.vehicles[0].speed, 0.0f);
    EXPECT_EQ(sim::keyState(sim::keyW) & 0x8000, 0x8000) << "the key query reads it all the same";
    sim::holdControl(sim::controlAccelerateAlt, true);
    sim::advanceFrames(30);
    EXPECT_GT(sim::world.vehicles[0].speed, 1.0f);
}

TEST_F(WorldTest, TheForegroundWindowIsTheGamesWhileItHasTheFocus) {
    std::uint32_t process = 0;
    void* window = sim::foregroundWindow();
    EXPECT_NE(sim::windowThreadProcessId(window, &process), 0u);
    EXPECT_EQ(process, sim::world.processId);

    sim::world.gameFocused = false;
    window = sim::foregroundWindow();
    sim::windowThreadProcessId(window, &process);
    EXPECT_NE(process, sim::world.processId);
    EXPECT_EQ(sim::windowThreadProcessId(nullptr, &process), 0u);
    EXPECT_EQ(process, 0u);

    EXPECT_EQ(sim::world.calls.size(), 5u);
    EXPECT_EQ(sim::world.calls[0].kind, sim::Call::Kind::ForegroundQuery);
    EXPECT_EQ(sim::world.calls[1].kind, sim::Call::Kind::WindowProcessQuery);
}

TEST_F(WorldTest, TheDeviceUsedLastThePhoneAndThePauseMenuWhichHoldsTheVehiclesNotTheClock) {
    const auto keyboard = [](int pad) {
        return resultBool(invokeNative<Native::KeyboardAndMouse>(pad));
    };
    EXPECT_TRUE(keyboard(2));
    sim::holdControl(71, true);
    EXPECT_FALSE(keyboard(2));
    sim::setKey(sim::keyW, true);
    EXPECT_TRUE(keyboard(0));
    EXPECT_FALSE(keyboard(1)) << "a pad the documentation doesn't tell of";
    sim::fireControlOnce(190);
    sim::world.gameFocused = false;
    sim::setKey('A', true);
    EXPECT_FALSE(keyboard(2)) << "a key pressed behind another window isn't the game's";

    sim::enterVehicle(sim::addVehicle(0x00000101));
    sim::world.gameFocused = true;
    sim::world.phoneOut = true;
    sim::world.pauseMenuActive = true;
    EXPECT_TRUE(resultBool(invokeNative<Native::UsingPhone>(sim::world.playerHandle)));
    EXPECT_FALSE(resultBool(invokeNative<Native::UsingPhone>(sim::chauffeurHandle)));
    EXPECT_TRUE(resultBool(invokeNative<Native::PauseMenuActive>()));
    sim::advanceFrames(30);
    EXPECT_EQ(sim::world.vehicles[0].speed, 0.0f);
    EXPECT_EQ(resultInt(invokeNative<Native::GameTimer>()), 480);
    sim::world.pauseMenuActive = false;
    sim::endFrame();
    EXPECT_GT(sim::world.vehicles[0].speed, 0.0f);
}

TEST_F(WorldTest, DragBringsACoastingVehicleToAStandstillOfAtMostTwoCentimetresASecond) {
    sim::enterVehicle(sim::addVehicle(0x00000101));
    sim::world.vehicles[0].speed = 20.0f;
    sim::advanceFrames(60 * 120);
    EXPECT_EQ(sim::world.vehicles[0].speed, 0.0f);
    EXPECT_TRUE(vehicleStationary(0x00000101));
    sim::world.vehicles[0].speed = -0.02f;
    EXPECT_TRUE(vehicleStationary(0x00000101)) << "either way";
    sim::world.vehicles[0].speed = 0.0201f;
    EXPECT_FALSE(vehicleStationary(0x00000101));
}

} // namespace
