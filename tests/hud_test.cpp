// Labels and subtitles as the game receives them.
#include "plugin_fixture.h"

#include "screen/hud.h"

namespace {

class HudTest : public PluginTest {};

TEST_F(HudTest, ALabelIsTenCallsStyleFirstThenTextThenDraw) {
    drawHudLabel("Clutch", 0.08f, false);

    const std::vector<std::uint64_t> expected = {
        hashOf(Native::TextFont),      hashOf(Native::TextScale),
        hashOf(Native::TextColour),    hashOf(Native::TextWrap),
        hashOf(Native::TextCentred),   hashOf(Native::TextDropShadow),
        hashOf(Native::TextOutline),   hashOf(Native::BeginScreenText),
        hashOf(Native::AddTextString), hashOf(Native::DrawScreenText),
    };
    EXPECT_EQ(nativeHashes(), expected);
    const std::vector<sim::Call> calls = nativeCalls();
    EXPECT_EQ(arguments(calls[0]), std::vector<std::uint64_t>{4});
    EXPECT_EQ(arguments(calls[1]), (std::vector<std::uint64_t>{floatSlot(0.3f), floatSlot(0.54f)}));
    EXPECT_EQ(arguments(calls[2]), (std::vector<std::uint64_t>{250, 250, 250, 255}));
    EXPECT_EQ(arguments(calls[3]), (std::vector<std::uint64_t>{0, floatSlot(1.0f)}));
    EXPECT_EQ(arguments(calls[4]), std::vector<std::uint64_t>{1});
    EXPECT_EQ(arguments(calls[5]), (std::vector<std::uint64_t>{0, 0, 0, 0, 0}));
    EXPECT_EQ(calls[7].text, "STRING");
    EXPECT_EQ(calls[8].text, "Clutch");
    EXPECT_EQ(arguments(calls[9]),
              (std::vector<std::uint64_t>{floatSlot(0.08f), floatSlot(0.015f), 0}));
}

TEST_F(HudTest, HighlightChangesTheColourAndNothingElse) {
    drawHudLabel("Clutch", 0.08f, false);
    const std::vector<sim::Call> normal = nativeCalls();
    clearCalls();
    drawHudLabel("Clutch", 0.08f, true);
    const std::vector<sim::Call> highlighted = nativeCalls();

    ASSERT_EQ(normal.size(), highlighted.size());
    for (std::size_t i = 0; i < normal.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(normal[i].hash, highlighted[i].hash);
        if (normal[i].hash == hashOf(Native::TextColour)) {
            EXPECT_EQ(arguments(highlighted[i]), (std::vector<std::uint64_t>{50, 255, 50, 255}));
        } else if (normal[i].text.empty()) {
            EXPECT_EQ(arguments(normal[i]), arguments(highlighted[i]));
        } else {
            EXPECT_EQ(normal[i].text, highlighted[i].text);
        }
    }
}

TEST_F(HudTest, EveryLabelIsFullyStyledCentredOnItsXAtTheSameHeight) {
    drawHudLabel("Clutch", 0.08f, true);
    drawHudLabel("Shift", 0.155f, false);
    drawHudLabel("R", 0.015f, true);

    const std::vector<sim::Label>& labels = sim::world.labels;
    ASSERT_EQ(labels.size(), 3u);
    const struct {
        const char* text;
        float x;
        sim::Colour colour;
    } expected[] = {
        {"Clutch", 0.08f, {50, 255, 50, 255}},
        {"Shift", 0.155f, {250, 250, 250, 255}},
        {"R", 0.015f, {50, 255, 50, 255}},
    };
    for (std::size_t i = 0; i < labels.size(); ++i) {
        SCOPED_TRACE(expected[i].text);
        EXPECT_EQ(labels[i].text, expected[i].text);
        EXPECT_EQ(labels[i].x, expected[i].x);
        EXPECT_EQ(labels[i].y, 0.015f);
        EXPECT_EQ(labels[i].colour, expected[i].colour);
        EXPECT_TRUE(labels[i].fullStyle);
        EXPECT_EQ(labels[i].font, 4);
        EXPECT_EQ(labels[i].centred, 1);
        EXPECT_TRUE(labels[i].outline);
    }
}

TEST_F(HudTest, ALabelTextOutlivesTheCallerAndNotTheDraw) {
    std::string text = "Shift";
    drawHudLabel(text.c_str(), 0.155f, false);
    text = "changed";
    ASSERT_EQ(sim::world.labels.size(), 1u);
    EXPECT_EQ(sim::world.labels[0].text, "Shift");
}

TEST_F(HudTest, ALabelLastsOneFrame) {
    drawHudLabel("1", 0.015f, true);
    scriptWait(0);
    ASSERT_EQ(sim::world.shownLabels.size(), 1u);
    EXPECT_TRUE(sim::world.labels.empty());
    scriptWait(0);
    EXPECT_TRUE(sim::world.shownLabels.empty());
}

TEST_F(HudTest, ASubtitleIsThreeCallsShownFor2500Ms) {
    const char* message = "Manual Transmission ~g~Enabled~w~!";
    showSubtitle(message);

    EXPECT_EQ(nativeHashes(), (std::vector<std::uint64_t>{hashOf(Native::BeginSubtitle),
                                                          hashOf(Native::AddTextString),
                                                          hashOf(Native::PrintSubtitle)}));
    const std::vector<sim::Call> calls = nativeCalls();
    EXPECT_EQ(calls[0].text, "STRING");
    EXPECT_EQ(arguments(calls[1]),
              std::vector<std::uint64_t>{reinterpret_cast<std::uintptr_t>(message)});
    EXPECT_EQ(arguments(calls[2]), (std::vector<std::uint64_t>{2500, 1}));
    ASSERT_EQ(sim::world.subtitles.size(), 1u);
    EXPECT_EQ(sim::world.subtitles[0].text, message);
    EXPECT_EQ(sim::world.subtitles[0].durationMs, 2500);
    EXPECT_TRUE(sim::world.labels.empty());
    EXPECT_TRUE(waits().empty());
}

TEST_F(HudTest, ANotificationGoesToTheFeedAsOneComponentOfAtMost99Characters) {
    const std::string text = std::string(99, 'a') + "b";
    showNotification(text);

    EXPECT_EQ(nativeHashes(), (std::vector<std::uint64_t>{hashOf(Native::BeginNotification),
                                                          hashOf(Native::AddTextString),
                                                          hashOf(Native::PostNotification)}));
    const std::vector<sim::Call> calls = nativeCalls();
    EXPECT_EQ(calls[0].text, "STRING");
    EXPECT_EQ(calls[1].text, std::string(99, 'a'));
    EXPECT_EQ(arguments(calls[2]), (std::vector<std::uint64_t>{0, 1}));
    ASSERT_EQ(sim::world.notifications.size(), 1u);
    EXPECT_EQ(sim::world.notifications[0].text, std::string(99, 'a'));
    EXPECT_TRUE(sim::world.subtitles.empty());
    EXPECT_TRUE(waits().empty());
}

} // namespace
