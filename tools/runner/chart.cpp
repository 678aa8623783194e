#include "runner/chart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <optional>

#include "gears/gears.h"
#include "runner/chart_feel.h"
#include "runner/svg_parts.h"

namespace {

// Caps at or above this are the gearbox lifting the cap, not a cap to draw.
constexpr float noCapFrom = 1000.0f;

constexpr double width = 960;
constexpr double height = 420;
constexpr double plotLeft = 60;
constexpr double plotRight = 880;
constexpr double plotTop = 70;
constexpr double plotBottom = 340;
constexpr double stripHeight = 8;
constexpr double shiftTop = plotBottom + 8;
constexpr double clutchTop = shiftTop + stripHeight + 4;
constexpr double focusTop = clutchTop + stripHeight + 4;

constexpr const char* speedColour = "#1f4e9c";
constexpr const char* capColour = "#d9822b";
constexpr const char* stallColour = "#c62828";
constexpr const char* clutchColour = "#555555";
constexpr const char* shiftColour = "#2e9d3a";
constexpr const char* focusColour = "#8e44ad";

// A band is named by its name where that fits, else by its short name.
struct Band {
    std::string_view key;
    std::string_view name;
    std::string_view shortName;
    const char* fill;
};

// A gear's band is named after the gear; forward gears take these fills in
// turn, in the gear table's order.
constexpr const char* forwardGearFills[] = {"#e3eefb", "#e2f3e6", "#fbf1dc", "#efe4f8"};
constexpr const char* reverseGearFill = "#fbe3e3";

// A gate refused shows its gear's label with this mark.
constexpr std::string_view refusedMark = "!";
constexpr const char* refusedFill = "#f6c6c6";

constexpr Band bands[] = {
    {"N", "neutral", "N", "#f4f4f4"},
    {"off", "gearbox off", "off", "#ececec"},
    {"on foot", "on foot", "foot", "white"},
    {"passenger", "passenger", "pass", "#fff6d5"},
    {"no gearbox", "no gearbox", "none", "#e0f2f1"},
};

std::optional<Band> bandFor(const std::string& key) {
    std::size_t forward = 0;
    for (const GearSpec& gear : gearTable) {
        if (key == std::string(gear.label) + std::string(refusedMark)) {
            return Band{key, "gate refused", key, refusedFill};
        }
        if (key == gear.label) {
            return Band{gear.label, gear.name, gear.label,
                        gear.reverse ? reverseGearFill
                                     : forwardGearFills[forward % std::size(forwardGearFills)]};
        }
        forward += gear.reverse ? 0 : 1;
    }
    for (const Band& band : bands) {
        if (key == band.key) {
            return band;
        }
    }
    return std::nullopt;
}

struct Scale {
    TimeAxis time;
    double low;
    double high;

    double x(double ms) const { return time.x(ms); }
    double y(double speed) const {
        return plotBottom - (speed - low) / (high - low) * (plotBottom - plotTop);
    }
};

Scale scaleFor(const std::vector<FrameSample>& samples) {
    double low = 0;
    double high = 10;
    for (const FrameSample& sample : samples) {
        low = std::min(low, static_cast<double>(sample.speed));
        high = std::max(high, static_cast<double>(sample.speed));
        if (sample.cap < noCapFrom) {
            high = std::max(high, static_cast<double>(sample.cap));
        }
    }
    return {{static_cast<double>(samples.front().timeMs),
             static_cast<double>(samples.back().timeMs), plotLeft, plotRight},
            std::floor(low / 10) * 10,
            std::ceil(high * 1.05 / 10) * 10};
}

double timeStepSeconds(double seconds) {
    for (const double step : {1.0, 2.0, 5.0, 10.0, 20.0, 30.0, 60.0, 120.0, 300.0}) {
        if (seconds / step <= 12) {
            return step;
        }
    }
    return 600;
}

std::string bandsSvg(const std::vector<FrameSample>& samples, const Scale& scale) {
    const std::vector<std::string> keys = bandKeys(samples);
    std::string svg;
    for (const auto& [first, last] : runs(keys.size(), [&](std::size_t i) { return keys[i]; })) {
        const std::optional<Band> band = bandFor(keys[first]);
        const double left = scale.x(static_cast<double>(samples[first].timeMs));
        const double right = last + 1 < samples.size()
                                 ? scale.x(static_cast<double>(samples[last + 1].timeMs))
                                 : plotRight;
        svg += rect(left, plotTop, right - left, plotBottom - plotTop, band ? band->fill : "white");
        // A band too narrow for either name shows its colour alone.
        const auto fits = [&](std::string_view name) {
            return right - left >= 7.0 * static_cast<double>(name.size()) + 6;
        };
        const std::string_view name = !band              ? std::string_view(keys[first])
                                      : fits(band->name) ? band->name
                                                         : band->shortName;
        if (fits(name)) {
            svg += text((left + right) / 2, plotTop + 16, name,
                        "text-anchor=\"middle\" font-size=\"12\" fill=\"#444\"");
        }
    }
    return svg;
}

std::string gridSvg(const Scale& scale) {
    std::string svg;
    for (double speed = scale.low; speed <= scale.high + 1e-9; speed += 10) {
        const double y = scale.y(speed);
        svg += line(plotLeft, y, plotRight, y, "stroke=\"#cccccc\" stroke-width=\"0.5\"");
        svg += text(plotLeft - 6, y + 4, std::to_string(static_cast<int>(speed)),
                    "text-anchor=\"end\" font-size=\"11\"");
    }
    const double seconds = (scale.time.endMs - scale.time.startMs) / 1000.0;
    const double step = timeStepSeconds(seconds);
    for (double t = 0; t <= seconds + 1e-9; t += step) {
        const double x = scale.x(scale.time.startMs + t * 1000.0);
        svg += line(x, plotBottom, x, plotBottom + 4, "stroke=\"#333\"");
        svg += text(x, focusTop + stripHeight + 14, std::to_string(static_cast<int>(t)),
                    "text-anchor=\"middle\" font-size=\"11\"");
    }
    svg += line(plotLeft, plotBottom, plotRight, plotBottom, "stroke=\"#333\"");
    svg += line(plotLeft, plotTop, plotLeft, plotBottom, "stroke=\"#333\"");
    svg += text((plotLeft + plotRight) / 2, height - 8, "time (s)",
                "text-anchor=\"middle\" font-size=\"12\"");
    svg += text(16, (plotTop + plotBottom) / 2, "speed (m/s)",
                "text-anchor=\"middle\" font-size=\"12\" transform=\"rotate(-90 16 " +
                    number((plotTop + plotBottom) / 2) + ")\"");
    return svg;
}

std::string pointsOf(const std::vector<FrameSample>& samples, std::size_t first, std::size_t last,
                     const Scale& scale, float FrameSample::*value) {
    std::string points;
    for (std::size_t i = first; i <= last; ++i) {
        if (i > first) {
            points += ' ';
        }
        points += number(scale.x(static_cast<double>(samples[i].timeMs)));
        points += ',';
        points += number(scale.y(static_cast<double>(samples[i].*value)));
    }
    return points;
}

std::string linesSvg(const std::vector<FrameSample>& samples, const Scale& scale) {
    std::string svg;
    const auto capped = [&](std::size_t i) { return samples[i].cap < noCapFrom; };
    double capLabelY = -1;
    for (const auto& [first, last] : runs(samples.size(), capped)) {
        if (!capped(first)) {
            continue;
        }
        svg += "<polyline fill=\"none\" stroke=\"" + std::string(capColour) +
               "\" stroke-width=\"1.5\" stroke-dasharray=\"6 3\" points=\"" +
               pointsOf(samples, first, last, scale, &FrameSample::cap) + "\"/>\n";
        if (last + 1 == samples.size()) {
            capLabelY = scale.y(static_cast<double>(samples[last].cap));
        }
    }
    svg += "<polyline fill=\"none\" stroke=\"" + std::string(speedColour) +
           "\" stroke-width=\"2\" points=\"" +
           pointsOf(samples, 0, samples.size() - 1, scale, &FrameSample::speed) + "\"/>\n";

    // Each line is named where it ends, so no legend is needed.
    double speedLabelY = scale.y(static_cast<double>(samples.back().speed));
    if (capLabelY >= 0 && std::fabs(capLabelY - speedLabelY) < 12) {
        speedLabelY = capLabelY + (speedLabelY >= capLabelY ? 12 : -12);
    }
    const std::string speedStyle = "font-size=\"12\" fill=\"" + std::string(speedColour) + "\"";
    svg += text(plotRight + 6, speedLabelY + 4, "speed", speedStyle);
    if (capLabelY >= 0) {
        const std::string capStyle = "font-size=\"12\" fill=\"" + std::string(capColour) + "\"";
        svg += text(plotRight + 6, capLabelY + 4, "cap", capStyle);
    } else {
        svg += text(plotRight + 6, plotTop + 4, "no cap", "font-size=\"12\" fill=\"#888\"");
    }
    return svg;
}

// A strip under the plot, dark in the frames it marks.
std::string stripSvg(const std::vector<FrameSample>& samples, const Scale& scale, double top,
                     std::string_view name, const std::vector<bool>& lit, const char* colour) {
    std::string svg =
        text(plotLeft - 6, top + stripHeight - 1, name,
             "text-anchor=\"end\" font-size=\"11\" fill=\"" + std::string(colour) + "\"");
    for (const auto& [first, last] : runs(samples.size(), [&](std::size_t i) { return lit[i]; })) {
        if (!lit[first]) {
            continue;
        }
        const double left = scale.x(static_cast<double>(samples[first].timeMs));
        const double right = scale.x(static_cast<double>(samples[last].timeMs));
        svg += rect(left, top, std::max(2.0, right - left), stripHeight, colour);
    }
    return svg;
}

// The frames in which a label was highlighted.
std::vector<bool> highlighted(const std::vector<FrameSample>& samples,
                              std::optional<LabelShown> FrameSample::*label) {
    std::vector<bool> lit(samples.size(), false);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const std::optional<LabelShown>& shown = samples[i].*label;
        lit[i] = shown && shown->highlighted;
    }
    return lit;
}

std::vector<bool> unfocused(const std::vector<FrameSample>& samples) {
    std::vector<bool> lit(samples.size(), false);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        lit[i] = !samples[i].focused;
    }
    return lit;
}

std::string stallsSvg(const std::vector<FrameSample>& samples, const Scale& scale) {
    std::string svg;
    const std::string stallLine =
        "stroke=\"" + std::string(stallColour) + "\" stroke-width=\"1.5\"";
    const std::string stallText =
        "text-anchor=\"middle\" font-size=\"11\" fill=\"" + std::string(stallColour) + "\"";
    for (std::size_t i = 1; i < samples.size(); ++i) {
        if (samples[i].stalls > samples[i - 1].stalls) {
            const double x = scale.x(static_cast<double>(samples[i].timeMs));
            svg += line(x, plotTop + 22, x, plotBottom, stallLine);
            svg += text(x, plotTop - 4, "stall", stallText);
        }
    }
    return svg;
}

} // namespace

std::vector<std::string> bandKeys(const std::vector<FrameSample>& samples) {
    std::vector<std::string> keys;
    for (const FrameSample& sample : samples) {
        keys.push_back(sample.gear ? sample.gear->text +
                                         std::string(sample.gear->refused ? refusedMark : "")
                       : !sample.inVehicle          ? "on foot"
                       : sample.passenger           ? "passenger"
                       : drivingWithGearbox(sample) ? "off"
                                                    : "no gearbox");
    }
    return keys;
}

std::string driveChartSvg(const std::vector<FrameSample>& samples, std::string_view title) {
    const double whole = height + feelPanelHeight(samples);
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + number(width) +
                      "\" height=\"" + number(whole) + "\" viewBox=\"0 0 " + number(width) + " " +
                      number(whole) + "\" font-family=\"sans-serif\">\n";
    svg += rect(0, 0, width, whole, "white");
    svg += text(plotLeft, 24, title, "font-size=\"15\" font-weight=\"bold\"");
    if (!samples.empty()) {
        const Scale scale = scaleFor(samples);
        svg += bandsSvg(samples, scale);
        svg += gridSvg(scale);
        svg += linesSvg(samples, scale);
        svg += stripSvg(samples, scale, shiftTop, "shift",
                        highlighted(samples, &FrameSample::shift), shiftColour);
        svg += stripSvg(samples, scale, clutchTop, "clutch",
                        highlighted(samples, &FrameSample::clutch), clutchColour);
        svg += stripSvg(samples, scale, focusTop, "no focus", unfocused(samples), focusColour);
        svg += stallsSvg(samples, scale);
        svg += feelPanelSvg(samples, height, scale.time);
    }
    return svg + "</svg>\n";
}
