// The native-call layer: argument slots, result decoding and every wrapper.
#include "plugin_fixture.h"

#include <functional>
#include <iterator>
#include <utility>

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
        {"playerCharacter", [] { playerCharacter(); }, hashOf(Native::PlayerCharacter), {}},
        {"characterInVehicle",
         [] { characterInVehicle(highVehicle); },
         hashOf(Native::CharacterInVehicle),
         {0x80001234u, 0}},
        {"vehicleOfCharacter",
         [] { vehicleOfCharacter(-1); },
         hashOf(Native::VehicleOfCharacter),
         {0xFFFFFFFFu}},
        {"driverSeatFree",
         [] { driverSeatFree(highVehicle); },
         hashOf(Native::DriverSeatFree),
         {0x80001234u, 0xFFFFFFFFu, 0}},
        {"driverOfVehicle",
         [] { driverOfVehicle(highVehicle); },
         hashOf(Native::DriverOfVehicle),
         {0x80001234u, 0xFFFFFFFFu, 0}},
        {"vehicleClass",
         [] { vehicleClass(highVehicle); },
         hashOf(Native::VehicleClass),
         {0x80001234u}},
        {"vehicleSpeed",
         [] { vehicleSpeed(highVehicle); },
         hashOf(Native::VehicleSpeed),
         {0x80001234u}},
        {"capVehicleSpeed",
         [] { capVehicleSpeed(highVehicle, 40.5f); },
         hashOf(Native::CapVehicleSpeed),
         {0x80001234u, 0x42220000u}},
        {"forceForwardSpeed",
         [] { forceForwardSpeed(highVehicle, -4.1f); },
         hashOf(Native::ForceForwardSpeed),
         {0x80001234u, 0xC0833333u}},
        {"stallEngine",
         [] { stallEngine(highVehicle); },
         hashOf(Native::StallEngine),
         {0x80001234u, 0, 0, 0}},
        {"vehicleStationary",
         [] { vehicleStationary(highVehicle); },
         hashOf(Native::VehicleStationary),
         {0x80001234u}},
        {"controlFired", [] { controlFired(208); }, hashOf(Native::ControlFired), {2, 208}},
        {"suppressControl",
         [] { suppressControl(71); },
         hashOf(Native::SuppressControl),
         {2, 71, 1}},
        {"disableAllControls",
         [] { disableAllControls(); },
         hashOf(Native::DisableAllControls),
         {0}},
        {"feedControl",
         [] { feedControl(59, -0.5f); },
         hashOf(Native::FeedControl),
         {0, 59, 0xBF000000u}},
        {"vehicleRelativeSpeed",
         [] { vehicleRelativeSpeed(0xA01); },
         hashOf(Native::VehicleRelativeSpeed),
         {0xA01, 1}},
        {"vehicleInAir", [] { vehicleInAir(0xA01); }, hashOf(Native::VehicleInAir), {0xA01}},
        {"vehicleBodyHealth",
         [] { vehicleBodyHealth(0xA01); },
         hashOf(Native::VehicleBodyHealth),
         {0xA01}},
        {"textFont", [] { textFont(4); }, hashOf(Native::TextFont), {4}},
        {"textScale",
         [] { textScale(0.3f, 0.54f); },
         hashOf(Native::TextScale),
         {0x3E99999Au, 0x3F0A3D71u}},
        {"textColour",
         [] { textColour(50, 255, 50); },
         hashOf(Native::TextColour),
         {50, 255, 50, 255}},
        {"textWrapToScreen",
         [] { textWrapToScreen(); },
         hashOf(Native::TextWrap),
         {0, 0x3F800000u}},
        {"textCentred", [] { textCentred(); }, hashOf(Native::TextCentred), {1}},
        {"textNoDropShadow",
         [] { textNoDropShadow(); },
         hashOf(Native::TextDropShadow),
         {0, 0, 0, 0, 0}},
        {"textOutline", [] { textOutline(); }, hashOf(Native::TextOutline), {}},
        {"beginScreenText",
         [&] { beginScreenText(kind); },
         hashOf(Native::BeginScreenText),
         {address(kind)}},
        {"addTextString",
         [&] { addTextString(text); },
         hashOf(Native::AddTextString),
         {address(text)}},
        {"drawScreenText",
         [] { drawScreenText(0.155f, 0.015f); },
         hashOf(Native::DrawScreenText),
         {0x3E1EB852u, 0x3C75C28Fu, 0}},
        {"beginSubtitle",
         [&] { beginSubtitle(kind); },
         hashOf(Native::BeginSubtitle),
         {address(kind)}},
        {"printSubtitle", [] { printSubtitle(2500); }, hashOf(Native::PrintSubtitle), {2500, 1}},
        {"scaleEngineTorque",
         [] { scaleEngineTorque(highVehicle, 1.5f); },
         hashOf(Native::ScaleEngineTorque),
         {0x80001234u, 0x3FC00000u}},
        {"drawRectangle",
         [] { drawRectangle(0.25f, 0.5f, 0.1f, 0.01f, 50, 255, 50, 200); },
         hashOf(Native::DrawRectangle),
         {0x3E800000u, 0x3F000000u, 0x3DCCCCCDu, 0x3C23D70Au, 50, 255, 50, 200, 0}},
    };
    ASSERT_EQ(cases.size(), 32u);

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

// The hashes as the game's native documentation lists them, kept apart from
// the plug-in's table so that a mistyped hash there fails here.
TEST(NativeTableTest, EveryHashIsTheDocumentedOne) {
    const std::pair<const char*, NativeHash> documented[] = {
        {"PLAYER_PED_ID", 0xD80958FC74E988A6},
        {"IS_PED_IN_ANY_VEHICLE", 0x997ABD671D25CA0B},
        {"GET_VEHICLE_PED_IS_USING", 0x6094AD011A2EA87D},
        {"IS_VEHICLE_SEAT_FREE", 0x22AC59A870E6A669},
        {"GET_PED_IN_VEHICLE_SEAT", 0xBB40DD2270B65366},
        {"GET_VEHICLE_CLASS", 0x29439776AAA00A62},
        {"GET_ENTITY_SPEED", 0xD5037BA82E12416F},
        {"GET_VEHICLE_ESTIMATED_MAX_SPEED", 0x53AF99BAA671CA47},
        {"SET_ENTITY_MAX_SPEED", 0x0E46A3FCBDE2A1B1},
        {"SET_VEHICLE_FORWARD_SPEED", 0xAB54A438726D25D5},
        {"SET_VEHICLE_ENGINE_ON", 0x2497C4717C8B881E},
        {"IS_VEHICLE_STOPPED", 0x5721B434AD84D57A},
        {"IS_CONTROL_JUST_PRESSED", 0x580417101DDB492F},
        {"IS_DISABLED_CONTROL_PRESSED", 0xE2587F8CBBD87B1D},
        {"DISABLE_CONTROL_ACTION", 0xFE99B66D079CF6BC},
        {"IS_USING_KEYBOARD_AND_MOUSE", 0xA571D46727E2B718},
        {"IS_PED_RUNNING_MOBILE_PHONE_TASK", 0x2AFE52F782F25775},
        {"IS_PAUSE_MENU_ACTIVE", 0xB0034A223497FFCB},
        {"GET_GAME_TIMER", 0x9CD27B0045628463},
        {"SET_TEXT_FONT", 0x66E0276CC5F6B9DA},
        {"SET_TEXT_SCALE", 0x07C837F9A01C34C9},
        {"SET_TEXT_COLOUR", 0xBE6B23FFA53FB442},
        {"SET_TEXT_WRAP", 0x63145D9C883A1A70},
        {"SET_TEXT_CENTRE", 0xC02F4DBFB51D988B},
        {"SET_TEXT_DROPSHADOW", 0x465C84BC39F1C351},
        {"SET_TEXT_OUTLINE", 0x2513DFB0FB8400FE},
        {"BEGIN_TEXT_COMMAND_DISPLAY_TEXT", 0x25FBB336DF1804CB},
        {"ADD_TEXT_COMPONENT_SUBSTRING_PLAYER_NAME", 0x6C188BE134E074AA},
        {"END_TEXT_COMMAND_DISPLAY_TEXT", 0xCD015E5BB0D96A57},
        {"BEGIN_TEXT_COMMAND_PRINT", 0xB87A37EEB7FAA67D},
        {"END_TEXT_COMMAND_PRINT", 0x9D77056A530643F6},
        {"BEGIN_TEXT_COMMAND_THEFEED_POST", 0x202709F4C58A0424},
        {"END_TEXT_COMMAND_THEFEED_POST_TICKER", 0x2ED7843F8F801023},
        {"DISABLE_ALL_CONTROL_ACTIONS", 0x5F4B6931816E599B},
        {"SET_CONTROL_VALUE_NEXT_FRAME", 0xE8A25867FBA3B05E},
        {"GET_ENTITY_SPEED_VECTOR", 0x9A8D700A51CB7B0D},
        {"IS_ENTITY_IN_AIR", 0x886E37EC497200B6},
        {"GET_VEHICLE_BODY_HEALTH", 0xF271147EB7B40F12},
        {"SET_VEHICLE_CHEAT_POWER_INCREASE", 0xB59E4BD37AE292DB},
        {"DRAW_RECT", 0x3A618A217E5154F0},
    };
    ASSERT_EQ(std::size(nativeIds), std::size(documented));
    for (const auto& [name, hash] : documented) {
        const NativeId* id = findNativeId(hash);
        ASSERT_NE(id, nullptr) << name << " " << sim::hashText(hash);
        EXPECT_STREQ(id->name, name) << sim::hashText(hash);
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
    EXPECT_FALSE(keyboardState().gameHasFocus);
    clearCalls();
    EXPECT_FALSE(keyDown(16));
    EXPECT_TRUE(sim::world.calls.empty()) << "no key is asked for in the background";

    sim::world.gameFocused = true;
    checkGameFocus();
    EXPECT_TRUE(keyboardState().gameHasFocus);
    EXPECT_TRUE(keyDown(16));
}

} // namespace
