// The frame loop: first-pass load, the on/off toggle, and the order of a pass.
#include "plugin_fixture.h"

#include <numeric>

namespace {

constexpr int rightArrow = 39;
constexpr int toggleControl = 190;
constexpr int keyT = 84;
const std::string enabledText = "Manual Transmission ~g~Enabled~w~!";
const std::string disabledText = "Manual Transmission ~r~Disabled~w~!";

class LoopTest : public PluginTest {};

TEST_F(LoopTest, TheFirstPassMarksTheBindingsLoadedEvenWithoutAFile) {
    EXPECT_FALSE(pluginState().bindingsLoaded);
    pass();
    EXPECT_TRUE(pluginState().bindingsLoaded);
}

TEST_F(LoopTest, AQuietPassAsksForTheFocusTheToggleControlThenTheArrowKeyThenYields) {
    pass();
    const std::vector<sim::Call>& calls = sim::world.calls;
    ASSERT_GE(calls.size(), 5u);
    EXPECT_EQ(calls[0].kind, sim::Call::Kind::ForegroundQuery);
    EXPECT_EQ(calls[1].kind, sim::Call::Kind::WindowProcessQuery);
    EXPECT_EQ(calls[1].value, calls[0].value);
    EXPECT_EQ(calls[2].kind, sim::Call::Kind::Native);
    EXPECT_EQ(calls[2].hash, hashOf(Native::ControlFired));
    EXPECT_EQ(arguments(calls[2]), (std::vector<std::uint64_t>{2, 190}));
    EXPECT_EQ(calls[3].kind, sim::Call::Kind::KeyQuery);
    EXPECT_EQ(calls[3].value, rightArrow);
    EXPECT_EQ(calls.back().kind, sim::Call::Kind::Wait);
    EXPECT_EQ(calls.back().value, 0);
    EXPECT_EQ(waits(), std::vector<std::int64_t>{0});
    EXPECT_TRUE(sim::world.subtitles.empty());
    EXPECT_TRUE(gearboxState().transmissionEnabled);
}

TEST_F(LoopTest, AHeldArrowKeyTogglesOncePerPress) {
    sim::setKey(rightArrow, true);
    passes(5);
    EXPECT_FALSE(gearboxState().transmissionEnabled);
    EXPECT_EQ(subtitleTexts(), std::vector<std::string>{disabledText});

    sim::setKey(rightArrow, false);
    passes(2);
    sim::setKey(rightArrow, true);
    passes(3);
    EXPECT_TRUE(gearboxState().transmissionEnabled);
    EXPECT_EQ(subtitleTexts(), (std::vector<std::string>{disabledText, enabledText}));
}

TEST_F(LoopTest, APressThatBeganBeforeTheFirstPassStillCounts) {
    sim::setKey(rightArrow, true);
    pass();
    EXPECT_FALSE(gearboxState().transmissionEnabled);
}

TEST_F(LoopTest, ATogglePassShowsTheSubtitleAndGoesOnWithoutAPause) {
    sim::setKey(rightArrow, true);
    pass();

    std::vector<std::uint64_t> expectedNatives = {
        hashOf(Native::ControlFired),  hashOf(Native::PlayerCharacter),
        hashOf(Native::UsingPhone),    hashOf(Native::PauseMenuActive),
        hashOf(Native::BeginSubtitle), hashOf(Native::AddTextString),
        hashOf(Native::PrintSubtitle)};
    const std::vector<std::uint64_t> seen = nativeHashes();
    ASSERT_GE(seen.size(), expectedNatives.size());
    EXPECT_EQ(std::vector<std::uint64_t>(seen.begin(), seen.begin() + 7), expectedNatives);
    EXPECT_EQ(waits(), std::vector<std::int64_t>{0});
    ASSERT_EQ(sim::world.subtitles.size(), 1u);
    EXPECT_EQ(sim::world.subtitles[0].durationMs, 2500);
    EXPECT_EQ(sim::world.subtitles[0].immediately, 1);
}

TEST_F(LoopTest, TheToggleControlFlipsOnEveryPassItFiresOutsideThePhoneAndThePauseMenu) {
    sim::fireControlOnce(toggleControl);
    pass();
    EXPECT_FALSE(gearboxState().transmissionEnabled);
    pass();
    EXPECT_FALSE(gearboxState().transmissionEnabled);
    sim::fireControlOnce(toggleControl);
    pass();
    EXPECT_TRUE(gearboxState().transmissionEnabled);
    EXPECT_EQ(subtitleTexts(), (std::vector<std::string>{disabledText, enabledText}));

    // There the D-pad and the arrow key browse, and an arrow held on as the
    // phone or menu closes counts no more; the bound key still toggles.
    bindField(&KeyBindings::toggleKey, keyT);
    for (bool* browsing : {&sim::world.phoneOut, &sim::world.pauseMenuActive}) {
        *browsing = true;
        sim::fireControlOnce(toggleControl);
        pass();
        sim::setKey(rightArrow, true);
        pass();
        *browsing = false;
        pass();
        sim::setKey(rightArrow, false);
        EXPECT_TRUE(gearboxState().transmissionEnabled);
        *browsing = true;
        for (const bool on : {false, true}) {
            sim::setKey(keyT, true);
            pass();
            sim::setKey(keyT, false);
            pass();
            EXPECT_EQ(gearboxState().transmissionEnabled, on);
        }
        *browsing = false;
    }
}

TEST_F(LoopTest, ControlAndArrowKeyInTheSamePassFlipOnce) {
    sim::fireControlOnce(toggleControl);
    sim::setKey(rightArrow, true);
    pass();
    EXPECT_FALSE(gearboxState().transmissionEnabled);
    EXPECT_EQ(subtitleTexts(), std::vector<std::string>{disabledText});
}

TEST_F(LoopTest, AnArrowPressDuringAControlTogglePassIsNotCountedAgainLater) {
    // The key is polled on every pass, so a press seen together with the
    // control doesn't fire again on the next pass.
    sim::fireControlOnce(toggleControl);
    sim::setKey(rightArrow, true);
    passes(3);
    EXPECT_FALSE(gearboxState().transmissionEnabled);
    EXPECT_EQ(sim::world.subtitles.size(), 1u);
}

// --- The toggle key from the key-binding file --------------------------------------

std::vector<std::int64_t> keysQueried() {
    std::vector<std::int64_t> result;
    for (const sim::Call& call : sim::world.calls) {
        if (call.kind == sim::Call::Kind::KeyQuery) {
            result.push_back(call.value);
        }
    }
    return result;
}

TEST_F(LoopTest, AnUnboundToggleKeyIsNeverQueried) {
    pass();
    EXPECT_EQ(keysQueried(), std::vector<std::int64_t>{rightArrow});
}

TEST_F(LoopTest, ABoundToggleKeyIsPolledOnEveryPassAfterTheArrowKey) {
    bindField(&KeyBindings::toggleKey, keyT);
    sim::fireControlOnce(toggleControl);
    passes(2);
    EXPECT_EQ(keysQueried(), (std::vector<std::int64_t>{rightArrow, keyT, rightArrow, keyT}));
}

TEST_F(LoopTest, AHeldToggleKeyTogglesOncePerPress) {
    bindField(&KeyBindings::toggleKey, keyT);
    sim::setKey(keyT, true);
    passes(4);
    EXPECT_FALSE(gearboxState().transmissionEnabled);
    EXPECT_EQ(subtitleTexts(), std::vector<std::string>{disabledText});

    sim::setKey(keyT, false);
    pass();
    sim::setKey(keyT, true);
    passes(3);
    EXPECT_TRUE(gearboxState().transmissionEnabled);
    EXPECT_EQ(subtitleTexts(), (std::vector<std::string>{disabledText, enabledText}));
}

TEST_F(LoopTest, ControlArrowKeyAndToggleKeyInOnePassFlipOnce) {
    bindField(&KeyBindings::toggleKey, keyT);
    sim::fireControlOnce(toggleControl);
    sim::setKey(rightArrow, true);
    sim::setKey(keyT, true);
    passes(3);
    EXPECT_FALSE(gearboxState().transmissionEnabled);
    EXPECT_EQ(subtitleTexts(), std::vector<std::string>{disabledText});
}

TEST_F(LoopTest, AToggleKeyBoundToTheArrowKeyStillFlipsOncePerPress) {
    bindField(&KeyBindings::toggleKey, rightArrow);
    sim::setKey(rightArrow, true);
    passes(3);
    EXPECT_FALSE(gearboxState().transmissionEnabled);
    EXPECT_EQ(sim::world.subtitles.size(), 1u);
}

TEST_F(LoopTest, ArrowAndToggleKeyPressedOnDifferentPassesEachFlip) {
    bindField(&KeyBindings::toggleKey, keyT);
    sim::setKey(rightArrow, true);
    pass();
    sim::setKey(keyT, true);
    pass();
    EXPECT_TRUE(gearboxState().transmissionEnabled);
    EXPECT_EQ(subtitleTexts(), (std::vector<std::string>{disabledText, enabledText}));
}

// Bound, the Bind key is the one key a quiet pass adds. While choosing, a
// pass disables every control of the player's pad, asks for every key once
// and draws the line that asks, and does nothing else.
TEST_F(LoopTest, TheBindKeyAddsOneKeyQueryAndAChoosingPassAsksForEveryKeyOnce) {
    constexpr int keyF8 = 119;
    bindField(&KeyBindings::bindKey, keyF8);
    const auto keysAsked = [] {
        std::vector<std::int64_t> keys;
        for (const sim::Call& call : sim::world.calls) {
            if (call.kind == sim::Call::Kind::KeyQuery) {
                keys.push_back(call.value);
            }
        }
        return keys;
    };
    pass();
    EXPECT_EQ(keysAsked(), (std::vector<std::int64_t>{keyF8, rightArrow}));
    sim::setKey(keyF8, true);
    pass();
    clearCalls();
    pass();
    std::vector<std::int64_t> everyKey(255);
    std::iota(everyKey.begin(), everyKey.end(), 1);
    EXPECT_EQ(keysAsked(), everyKey);
    const std::vector<sim::Call> natives = nativeCalls();
    ASSERT_EQ(natives.size(), 11u);
    EXPECT_EQ(natives[0].hash, hashOf(Native::DisableAllControls));
    EXPECT_EQ(arguments(natives[0]), std::vector<std::uint64_t>{0});
    EXPECT_EQ(natives[9].text, "Press the key for Clutch (now none). Enter keeps it, Backspace "
                               "cancels.");
    EXPECT_EQ(natives[10].hash, hashOf(Native::DrawScreenText));
}

} // namespace
