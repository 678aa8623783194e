// The drive's timeline and chart.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "runner/chart.h"
#include "runner/timeline.h"

namespace {

FrameSample driving(std::int64_t timeMs, float speed, const char* gear) {
    FrameSample sample;
    sample.timeMs = timeMs;
    sample.speed = speed;
    sample.cap = 21.0f;
    sample.inVehicle = true;
    if (gear) {
        sample.gear = LabelShown{gear, true};
        sample.clutch = LabelShown{"Clutch", false};
        sample.shift = LabelShown{"Shift", false};
    }
    return sample;
}

std::size_t count(const std::string& text, const std::string& part) {
    std::size_t found = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++found;
    }
    return found;
}

TEST(TimelineTest, ALineShowsEveryColumnUnderItsHeading) {
    FrameSample sample = driving(12336, 20.5f, "2");
    sample.vehicle = 2;
    sample.clutch->highlighted = true;
    sample.shift.reset();
    sample.engineOn = false;
    sample.focused = false;
    sample.subtitle = "Manual Transmission ~g~Enabled~w~!";
    sample.events = {"down Shift", "stall"};
    sample.revBar = RevBarShown{0.9f, true, false};
    sample.pull = 1.32f;
    sample.pullSent = true;

    const std::string line = timelineLine(sample);
    EXPECT_EQ(line, "  12.336  2 car                    20.50    21.00  0.90*  1.32  off     2*    "
                    "Clutch*  -       off    \"Manual Transmission ~g~Enabled~w~!\"  down Shift, "
                    "stall\n");

    const std::string header = timelineHeader();
    const std::string firstLine = header.substr(0, header.find('\n'));
    // Each heading ends where its right-aligned column does, or starts where
    // its left-aligned column does.
    EXPECT_EQ(firstLine.find("time s") + 6, line.find("12.336") + 6);
    EXPECT_EQ(firstLine.find("in"), line.find("2 car"));
    EXPECT_EQ(firstLine.find("speed") + 5, line.find("20.50") + 5);
    EXPECT_EQ(firstLine.find("cap") + 3, line.find("21.00") + 5);
    EXPECT_EQ(firstLine.find("revs") + 4, line.find("0.90*") + 5);
    EXPECT_EQ(firstLine.find("pull") + 4, line.find("1.32") + 4);
    EXPECT_EQ(firstLine.find("engine"), line.find("off"));
    EXPECT_EQ(firstLine.find("gear"), line.find("2*"));
    EXPECT_EQ(firstLine.find("clutch"), line.find("Clutch*"));
    EXPECT_EQ(firstLine.find("shift"), line.find("-  "));
    EXPECT_EQ(firstLine.find("focus"), line.rfind("off", line.find('"')));
    EXPECT_EQ(firstLine.find("subtitle"), line.find('"'));
}

TEST(TimelineTest, TheInColumnShowsTheVehicleItsClassAndASeatOtherThanTheDriversOrAFoot) {
    const auto inColumn = [](const FrameSample& sample) {
        return timelineLine(sample).substr(10, 23);
    };
    FrameSample sample = driving(0, 0, nullptr);
    EXPECT_EQ(inColumn(sample), "1 car                  ");
    sample.vehicle = 2;
    sample.vehicleClass = 15;
    sample.passenger = true;
    EXPECT_EQ(inColumn(sample), "2 helicopter passenger ");
    sample.vehicleClass = 17;
    EXPECT_EQ(inColumn(sample), "2 class 17 passenger   ");
    sample.inVehicle = false;
    EXPECT_EQ(inColumn(sample), "-                      ");
}

TEST(TimelineTest, WithoutSubtitleOrEventsTheLineEndsInADash) {
    const std::string line = timelineLine(driving(0, 0, nullptr));
    EXPECT_EQ(line,
              "   0.000  1 car                     0.00    21.00      -     -  on      -     -  "
              "      -       on     -\n");
}

TEST(TimelineTest, WhatMakesAFrameWorthALine) {
    FrameSample printed = driving(1000, 10, "1");
    printed.revBar = RevBarShown{0.5f};
    printed.pull = 1.2f;
    printed.pullSent = true;
    struct Case {
        const char* what;
        std::function<void(FrameSample&)> change;
        bool worth;
    };
    const std::vector<Case> cases = {
        {"nothing but speed and time", [](FrameSample& s) { s.speed = 19, s.timeMs = 5000; },
         false},
        {"an event", [](FrameSample& s) { s.events = {"down W"}; }, true},
        {"the engine", [](FrameSample& s) { s.engineOn = false; }, true},
        {"getting out", [](FrameSample& s) { s.inVehicle = false; }, true},
        {"another seat", [](FrameSample& s) { s.passenger = true; }, true},
        {"another vehicle", [](FrameSample& s) { s.vehicle = 2; }, true},
        {"another class", [](FrameSample& s) { s.vehicleClass = 14; }, true},
        {"the focus", [](FrameSample& s) { s.focused = false; }, true},
        {"the gear's text", [](FrameSample& s) { s.gear->text = "2"; }, true},
        {"a highlight", [](FrameSample& s) { s.shift->highlighted = true; }, true},
        {"a label gone", [](FrameSample& s) { s.clutch.reset(); }, true},
        {"the subtitle", [](FrameSample& s) { s.subtitle = "x"; }, true},
        {"the cap by 0.49", [](FrameSample& s) { s.cap = 21.49f; }, false},
        {"the cap by 0.5", [](FrameSample& s) { s.cap = 20.5f; }, true},
        {"the cap lifted", [](FrameSample& s) { s.cap = 9999.0f; }, true},
        {"the revs and the pull", [](FrameSample& s) { s.revBar->revs = .9f, s.pull = 1.5f; },
         false},
        {"the revs in the Shift band", [](FrameSample& s) { s.revBar->shift = true; }, true},
        {"the revs at the cap", [](FrameSample& s) { s.revBar->cap = true; }, true},
        {"the rev bar gone", [](FrameSample& s) { s.revBar.reset(); }, true},
        {"no pull sent", [](FrameSample& s) { s.pullSent = false; }, true},
    };
    for (const Case& c : cases) {
        FrameSample sample = printed;
        c.change(sample);
        EXPECT_EQ(changedSince(printed, sample), c.worth) << c.what;
    }
}

TEST(TimelineTest, TheTextHasTheFirstFrameEveryChangeAndTheLastFrame) {
    std::vector<FrameSample> samples;
    for (int i = 0; i < 10; ++i) {
        samples.push_back(driving(i * 16, static_cast<float>(i), "1"));
    }
    samples[4].events = {"down Shift"};
    // A cap that follows the speed moves a little in every frame; the line
    // comes once it has moved half a unit since the last line.
    for (int i = 5; i < 10; ++i) {
        samples[static_cast<std::size_t>(i)].cap = 21.0f + 0.2f * static_cast<float>(i - 4);
    }

    const std::string text = timelineText(samples);
    EXPECT_EQ(text.rfind(timelineHeader(), 0), 0u);
    const std::string lines = text.substr(timelineHeader().size());
    std::vector<std::string> times;
    for (std::size_t at = 0; at < lines.size(); at = lines.find('\n', at) + 1) {
        times.push_back(lines.substr(at, 8));
    }
    EXPECT_EQ(times, (std::vector<std::string>{"   0.000", "   0.064", "   0.112", "   0.144"}));
}

TEST(ChartTest, BandsFollowTheGearTheSeatAndTheVehicle) {
    std::vector<FrameSample> samples;
    const auto add = [&](const char* gear, bool inVehicle, int frames) {
        for (int i = 0; i < frames; ++i) {
            FrameSample sample = driving(static_cast<std::int64_t>(samples.size()) * 16, 5, gear);
            sample.inVehicle = inVehicle;
            samples.push_back(sample);
        }
    };
    add(nullptr, false, 2); // on foot
    add("1", true, 3);
    add("2", true, 2);
    add(nullptr, true, 2); // switched off
    add("1", true, 1);
    add(nullptr, true, 2); // a passenger
    samples[samples.size() - 2].passenger = true;
    samples.back().passenger = true;
    add(nullptr, true, 2); // a helicopter
    samples[samples.size() - 2].vehicleClass = 15;
    samples.back().vehicleClass = 15;

    const std::vector<std::string> keys = bandKeys(samples);
    const std::vector<std::string> expected = {
        "on foot", "on foot", "1", "1",         "1",         "2",          "2",
        "off",     "off",     "1", "passenger", "passenger", "no gearbox", "no gearbox"};
    EXPECT_EQ(keys, expected);
}

TEST(ChartTest, TheChartNamesItsBandsLinesAndMarksWhereTheyAre) {
    std::vector<FrameSample> samples;
    for (int i = 0; i < 400; ++i) {
        const char* gear = i < 150 ? "1" : i < 300 ? "2" : "R";
        FrameSample sample = driving(i * 16, i < 300 ? static_cast<float>(i) / 10 : -4.1f, gear);
        sample.cap = i < 150 ? 21.0f : i < 300 ? 31.0f : 9999.0f;
        sample.clutch->highlighted = (i >= 140 && i < 150) || (i >= 290 && i < 300);
        sample.shift->highlighted = i >= 100 && i < 140;
        sample.stalls = i < 200 ? 0 : i < 350 ? 1 : 2;
        samples.push_back(sample);
    }

    const std::string svg = driveChartSvg(samples, "Drive <demo> & more");
    EXPECT_EQ(svg.rfind("<svg xmlns=\"http://www.w3.org/2000/svg\"", 0), 0u);
    EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
    EXPECT_NE(svg.find(">Drive &lt;demo&gt; &amp; more</text>"), std::string::npos);
    for (const char* name : {">first<", ">second<", ">reverse<", ">speed<", ">clutch<", ">shift<",
                             ">no focus<", ">time (s)<", ">speed (m/s)<"}) {
        EXPECT_EQ(count(svg, name), 1u) << name;
    }
    EXPECT_EQ(count(svg, ">stall<"), 2u);
    EXPECT_EQ(count(svg, ">no cap<"), 1u) << "the cap is lifted at the end";
    EXPECT_EQ(count(svg, ">cap<"), 0u);
    EXPECT_EQ(count(svg, "stroke-dasharray"), 1u) << "one stretch of capped speed";
    EXPECT_EQ(count(svg, "fill=\"#555555\"/>"), 2u) << "two clutch presses";
    EXPECT_EQ(count(svg, "fill=\"#2e9d3a\"/>"), 1u) << "one stretch of shift hint";
    EXPECT_EQ(count(svg, "fill=\"#8e44ad\"/>"), 0u) << "the game never lost the focus";
    EXPECT_EQ(count(svg, "<polyline"), 2u);
    // Reverse takes the axis below zero.
    EXPECT_NE(svg.find(">-10<"), std::string::npos);
}

TEST(ChartTest, TheFocusStripMarksEachStretchInTheBackground) {
    std::vector<FrameSample> samples;
    for (int i = 0; i < 20; ++i) {
        samples.push_back(driving(i * 16, 5, "1"));
        samples.back().focused = i < 3 || (i >= 8 && i < 12) || i >= 15;
    }
    EXPECT_EQ(count(driveChartSvg(samples, "t"), "fill=\"#8e44ad\"/>"), 2u);
}

TEST(ChartTest, ACapToTheEndIsNamedThere) {
    std::vector<FrameSample> samples = {driving(0, 0, "1"), driving(1000, 18, "1")};
    const std::string svg = driveChartSvg(samples, "t");
    EXPECT_EQ(count(svg, ">cap<"), 1u);
    EXPECT_EQ(count(svg, ">no cap<"), 0u);
}

// Only a drive with the gear feel has the panel of its revs and pull, a line
// for each stretch that shows them.
TEST(ChartTest, ThePanelOfTheRevsAndThePullIsUnderADriveWithTheFeel) {
    std::vector<FrameSample> samples;
    for (int i = 0; i < 30; ++i) {
        samples.push_back(driving(i * 16, 5, "1"));
    }
    EXPECT_EQ(count(driveChartSvg(samples, "t"), ">revs<"), 0u);
    EXPECT_EQ(count(driveChartSvg(samples, "t"), "height=\"420.0\""), 2u);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i].revBar = RevBarShown{static_cast<float>(i) / 30};
        samples[i].pullSent = i < 10 || i >= 20;
        samples[i].pull = 1.5f;
    }
    const std::string svg = driveChartSvg(samples, "t");
    EXPECT_EQ(count(svg, ">revs<"), 1u);
    EXPECT_EQ(count(svg, ">pull<"), 1u);
    EXPECT_EQ(count(svg, "<polyline"), 2u + 3u) << "revs throughout, the pull twice";
    EXPECT_EQ(count(svg, "height=\"550.0\""), 2u);
}

TEST(ChartTest, AnEmptyDriveIsAnEmptyChart) {
    const std::string svg = driveChartSvg({}, "nothing");
    EXPECT_EQ(count(svg, "<polyline"), 0u);
    EXPECT_NE(svg.find(">nothing<"), std::string::npos);
}

} // namespace
