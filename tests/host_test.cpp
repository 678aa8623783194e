// The native-call layer: argument slots, result decoding and every wrapper.
#include "plugin_fixture.h"

#include <functional>

namespace {

constexpr GameHandle highVehicle = static_cast<GameHandle>(0x80001234u);

class NativeCallTest : public PluginTest {};

struct WrapperCase {
    const char* name;
    std::function<void()> call;
    NativeHash hash;
    std::vector<std::uint64_t> slots;
};

TEST_F(NativeCallTest, EveryWrapperPushesItsHashAndSlotsInParameterOrder) {
    const char* kind = "STRING";
    const char* text = "Clutch";
    const auto address = [](const char* p) {
        return std::uint64_t(reinterpret_cast<std::uintptr_t>(p));
    };
    const std::vector<WrapperCase> cases = {
        {"playerCharacter", [] { playerCharacter(); }, hashes::playerCharacter, {}},
        {"characterInVehicle",
         [] { characterInVehicle(highVehicle); },
         hashes::characterInVehicle,
         {0x80001234u, 0}},
        {"vehicleOfCharacter",
         [] { vehicleOfCharacter(-1); },
         hashes::vehicleOfCharacter,
         {0xFFFFFFFFu}},
        {"driverSeatFree",
         [] { driverSeatFree(highVehicle); },
         hashes::driverSeatFree,
         {0x80001234u, 0xFFFFFFFFu, 0}},
        {"driverOfVehicle",
         [] { driverOfVehicle(highVehicle); },
         hashes::driverOfVehicle,
         {0x80001234u, 0xFFFFFFFFu, 0}},
        {"vehicleClass", [] { vehicleClass(highVehicle); }, hashes::vehicleClass, {0x80001234u}},
        {"vehicleSpeed", [] { vehicleSpeed(highVehicle); }, hashes::vehicleSpeed, {0x80001234u}},
        {"capVehicleSpeed",
         [] { capVehicleSpeed(highVehicle, 40.5f); },
         hashes::capVehicleSpeed,
         {0x80001234u, 0x42220000u}},
        {"forceForwardSpeed",
         [] { forceForwardSpeed(highVehicle, -4.1f); },
         hashes::forceForwardSpeed,
         {0x80001234u, 0xC0833333u}},
        {"stallEngine",
         [] { stallEngine(highVehicle); },
         hashes::stallEngine,
         {0x80001234u, 0, 0, 0}},
        {"vehicleStationary",
         [] { vehicleStationary(highVehicle); },
         hashes::vehicleStationary,
         {0x80001234u}},
        {"controlFired", [] { controlFired(208); }, hashes::controlFired, {2, 208}},
        {"suppressControl", [] { suppressControl(71); }, hashes::suppressControl, {2, 71, 1}},
        {"textFont", [] { textFont(4); }, hashes::textFont, {4}},
        {"textScale",
         [] { textScale(0.3f, 0.54f); },
         hashes::textScale,
         {0x3E99999Au, 0x3F0A3D71u}},
        {"textColour", [] { textColour(50, 255, 50); }, hashes::textColour, {50, 255, 50, 255}},
        {"textWrap", [] { textWrap(0.0f, 1.0f); }, hashes::textWrap, {0, 0x3F800000u}},
        {"textCentred", [] { textCentred(1); }, hashes::textCentred, {1}},
        {"textDropShadow",
         [] { textDropShadow(0, 0, 0, 0, 0); },
         hashes::textDropShadow,
         {0, 0, 0, 0, 0}},
        {"textOutline", [] { textOutline(); }, hashes::textOutline, {}},
        {"beginScreenText",
         [&] { beginScreenText(kind); },
         hashes::beginScreenText,
         {address(kind)}},
        {"addTextString", [&] { addTextString(text); }, hashes::addTextString, {address(text)}},
        {"drawScreenText",
         [] { drawScreenText(0.155f, 0.015f); },
         hashes::drawScreenText,
         {0x3E1EB852u, 0x3C75C28Fu, 0}},
        {"beginSubtitle", [&] { beginSubtitle(kind); }, hashes::beginSubtitle, {address(kind)}},
        {"printSubtitle", [] { printSubtitle(2500); }, hashes::printSubtitle, {2500, 1}},
    };
    ASSERT_EQ(cases.size(), 25u);

    for (const WrapperCase& c : cases) {
        SCOPED_TRACE(c.name);
        clearCalls();
        c.call();
        const std::vector<sim::Call> calls = nativeCalls();
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].hash, c.hash) << sim::hashText(calls[0].hash);
        EXPECT_EQ(arguments(calls[0]), c.slots);
    }
}

TEST_F(NativeCallTest, FloatsTravelAsSinglePrecisionBitsWithAZeroHighHalf) {
    const struct {
        float value;
        std::uint64_t slot;
    } cases[] = {
        {-4.1f, 0xC0833333u},   {1.0f, 0x3F800000u}, {21.0f, 0x41A80000u},
        {9999.0f, 0x461C3C00u}, {0.0f, 0},           {-0.0f, 0x80000000u},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(argumentSlot(c.value), c.slot);
    }
}

TEST_F(NativeCallTest, NegativeIntegersAndHandlesAreNotSignExtended) {
    EXPECT_EQ(argumentSlot(std::int32_t{-1}), 0xFFFFFFFFu);
    EXPECT_EQ(argumentSlot(highVehicle), 0x80001234u);
    EXPECT_EQ(argumentSlot(std::int32_t{0x7FFFFFFF}), 0x7FFFFFFFu);
}

TEST_F(NativeCallTest, BooleansAreTrueForAnyNonZeroLowHalfOnly) {
    const struct {
        std::uint64_t slot;
        bool expected;
    } cases[] = {
        {1, true},
        {2, true},
        {0xFFFFFFFFu, true},          // -1 in the low half
        {0xFFFFFFFF00000000u, false}, // junk in the high half only
        {0x0000000100000000u, false},
        {0xDEADBEEF00000001u, true},
        {0, false},
    };
    sim::world.playerHandle = 0x00C0FFEE;
    sim::enterVehicle(sim::addVehicle(highVehicle));
    for (const auto& c : cases) {
        SCOPED_TRACE(sim::hashText(c.slot));
        sim::world.trueResult = c.slot;
        EXPECT_EQ(characterInVehicle(0x00C0FFEE), c.expected);
        EXPECT_EQ(vehicleStationary(highVehicle), c.expected);
    }
}

TEST_F(NativeCallTest, HandlesAndFloatsAreDecodedFromTheLowHalfOfSlotZero) {
    sim::world.resultHighHalf = 0xA5A5A5A5u;
    sim::world.playerHandle = static_cast<std::int32_t>(0x80000042u);
    const int index = sim::addVehicle(highVehicle);
    sim::enterVehicle(index);
    sim::world.vehicles[0].speed = 25.5f;

    sim::world.vehicles[0].vehicleClass = 15;

    EXPECT_EQ(playerCharacter(), static_cast<GameHandle>(0x80000042u));
    EXPECT_EQ(vehicleOfCharacter(static_cast<GameHandle>(0x80000042u)), highVehicle);
    EXPECT_EQ(driverOfVehicle(highVehicle), static_cast<GameHandle>(0x80000042u));
    EXPECT_EQ(vehicleClass(highVehicle), 15);
    EXPECT_EQ(vehicleSpeed(highVehicle), 25.5f);
}

TEST_F(NativeCallTest, KeyDownFollowsBit15AndIgnoresThePressedSinceLastQueryBit) {
    checkGameFocus();
    sim::setKey(16, true);
    sim::setKey(16, false); // leaves bit 0 set for the next query
    EXPECT_FALSE(keyDown(16));
    sim::setKey(16, true);
    EXPECT_TRUE(keyDown(16));
    EXPECT_TRUE(keyDown(16));
    EXPECT_FALSE(keyDown(0));
    EXPECT_FALSE(keyDown(-5));
}

TEST_F(NativeCallTest, KeysAreDownOnlyWhileTheForegroundWindowIsTheGames) {
    sim::setKey(16, true);
    sim::world.gameFocused = false;
    checkGameFocus();
    EXPECT_FALSE(keyboardState.gameHasFocus);
    clearCalls();
    EXPECT_FALSE(keyDown(16));
    EXPECT_TRUE(sim::world.calls.empty()) << "no key is asked for in the background";

    sim::world.gameFocused = true;
    checkGameFocus();
    EXPECT_TRUE(keyboardState.gameHasFocus);
    EXPECT_TRUE(keyDown(16));
}

} // namespace
