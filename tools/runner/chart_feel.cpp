#include "runner/chart_feel.h"

#include <algorithm>
#include <optional>

#include "runner/svg_parts.h"

namespace {

constexpr double panelHeight = 130;
// The plot within the panel, and the values it shows: revs from 0 to 1, and
// multipliers from 0.2 to 1.8.
constexpr double plotTopGap = 14;
constexpr double plotHeight = 90;
constexpr double highest = 2.0;

constexpr const char* revsColour = "#b03a2e";
constexpr const char* pullColour = "#16a085";

// The panel's plot: the chart's time, and its own values up the side.
struct Axis {
    TimeAxis time;
    double top;

    double x(double ms) const { return time.x(ms); }
    double y(double value) const { return top + plotHeight - value / highest * plotHeight; }
};

// A polyline for each run of frames that show a value, named where the last
// run ends.
template <typename Value>
std::string valueLines(const std::vector<FrameSample>& samples, const Axis& axis, Value value,
                       std::string_view name, const char* colour) {
    std::string svg;
    std::optional<double> lastY;
    const auto shown = [&](std::size_t i) { return value(samples[i]).has_value(); };
    for (const auto& [first, last] : runs(samples.size(), shown)) {
        if (!shown(first)) {
            continue;
        }
        std::string points;
        for (std::size_t i = first; i <= last; ++i) {
            points += (i > first ? " " : "") +
                      number(axis.x(static_cast<double>(samples[i].timeMs))) + "," +
                      number(axis.y(*value(samples[i])));
        }
        svg += "<polyline fill=\"none\" stroke=\"" + std::string(colour) +
               "\" stroke-width=\"1.5\" points=\"" + points + "\"/>\n";
        lastY = axis.y(*value(samples[last]));
    }
    if (lastY) {
        svg += text(axis.time.right + 6, *lastY + 4, name,
                    "font-size=\"12\" fill=\"" + std::string(colour) + "\"");
    }
    return svg;
}

} // namespace

double feelPanelHeight(const std::vector<FrameSample>& samples) {
    return std::ranges::any_of(
               samples, [](const FrameSample& sample) { return sample.revBar || sample.pullSent; })
               ? panelHeight
               : 0;
}

std::string feelPanelSvg(const std::vector<FrameSample>& samples, double top,
                         const TimeAxis& time) {
    if (feelPanelHeight(samples) == 0) {
        return {};
    }
    const Axis axis{time, top + plotTopGap};
    const double left = time.left;
    const double right = time.right;
    std::string svg;
    for (const double value : {0.0, 1.0, 2.0}) {
        svg += line(left, axis.y(value), right, axis.y(value),
                    "stroke=\"#cccccc\" stroke-width=\"0.5\"");
        svg += text(left - 6, axis.y(value) + 4, std::to_string(static_cast<int>(value)),
                    "text-anchor=\"end\" font-size=\"11\"");
    }
    const double middle = axis.y(highest / 2);
    svg += text(16, middle, "revs, pull",
                "text-anchor=\"middle\" font-size=\"12\" transform=\"rotate(-90 16 " +
                    number(middle) + ")\"");
    svg += valueLines(
        samples, axis,
        [](const FrameSample& sample) {
            return sample.revBar ? std::optional<double>(sample.revBar->revs) : std::nullopt;
        },
        "revs", revsColour);
    svg += valueLines(
        samples, axis,
        [](const FrameSample& sample) {
            return sample.pullSent ? std::optional<double>(sample.pull) : std::nullopt;
        },
        "pull", pullColour);
    return svg;
}
