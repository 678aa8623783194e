#include "runner/timeline.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr float capStep = 0.5f;
// Time, where the player is, speed, cap, revs, pull, engine, gear, clutch,
// shift and focus; subtitle and events follow.
constexpr const char* columns = "%8s  %-22s %7s %8s %6s %5s  %-6s  %-4s  %-7s  %-6s  %-5s  ";

std::string labelText(const std::optional<LabelShown>& label) {
    if (!label) {
        return "-";
    }
    return label->text + (label->highlighted ? "*" : label->refused ? "!" : "");
}

// "-" on foot, else the vehicle's number and class, and the seat unless it is
// the driver's: "1 car", "2 helicopter passenger".
std::string seatText(const FrameSample& sample) {
    if (!sample.inVehicle) {
        return "-";
    }
    return std::to_string(sample.vehicle) + " " + vehicleClassName(sample.vehicleClass) +
           (sample.passenger ? " passenger" : "");
}

// The rev bar's fill, with * when green and ! when red, as a label's; "-"
// not drawn.
std::string revsText(const FrameSample& sample) {
    if (!sample.revBar) {
        return "-";
    }
    char revs[16];
    std::snprintf(revs, sizeof revs, "%.2f", static_cast<double>(sample.revBar->revs));
    return revs + std::string(sample.revBar->cap ? "!" : sample.revBar->shift ? "*" : "");
}

std::string pullText(const FrameSample& sample) {
    char pull[16];
    std::snprintf(pull, sizeof pull, "%.2f", static_cast<double>(sample.pull));
    return sample.pullSent ? pull : "-";
}

bool sameLabel(const std::optional<LabelShown>& a, const std::optional<LabelShown>& b) {
    if (!a || !b) {
        return !a && !b;
    }
    return a->text == b->text && a->highlighted == b->highlighted && a->refused == b->refused;
}

} // namespace

std::string timelineHeader() {
    char header[180];
    std::snprintf(header, sizeof header, columns, "time s", "in", "speed", "cap", "revs", "pull",
                  "engine", "gear", "clutch", "shift", "focus");
    return std::string(header) + "subtitle  events\n" +
           "  (* a highlighted label or the revs in the Shift band, ! a gate refused, drawn "
           "red, or the revs at the cap, - a label or the rev bar not drawn, or no pull sent, "
           "in that frame)\n";
}

std::string timelineLine(const FrameSample& sample) {
    std::string subtitle = sample.subtitle.empty() ? "-" : "\"" + sample.subtitle + "\"";
    std::string events;
    for (const std::string& event : sample.events) {
        events += (events.empty() ? "" : ", ") + event;
    }
    char line[220];
    char time[16];
    char speed[16];
    char cap[16];
    std::snprintf(time, sizeof time, "%.3f", static_cast<double>(sample.timeMs) / 1000.0);
    std::snprintf(speed, sizeof speed, "%.2f", static_cast<double>(sample.speed));
    std::snprintf(cap, sizeof cap, "%.2f", static_cast<double>(sample.cap));
    std::snprintf(line, sizeof line, columns, time, seatText(sample).c_str(), speed, cap,
                  revsText(sample).c_str(), pullText(sample).c_str(),
                  sample.engineOn ? "on" : "off", labelText(sample.gear).c_str(),
                  labelText(sample.clutch).c_str(), labelText(sample.shift).c_str(),
                  sample.focused ? "on" : "off");
    std::string text = line + subtitle;
    if (!events.empty()) {
        text += "  " + events;
    }
    return text + "\n";
}

bool changedSince(const FrameSample& printed, const FrameSample& sample) {
    return !sample.events.empty() || printed.engineOn != sample.engineOn ||
           seatText(printed) != seatText(sample) || printed.focused != sample.focused ||
           !sameLabel(printed.gear, sample.gear) || !sameLabel(printed.clutch, sample.clutch) ||
           !sameLabel(printed.shift, sample.shift) || printed.subtitle != sample.subtitle ||
           printed.revBar.has_value() != sample.revBar.has_value() ||
           (sample.revBar && (printed.revBar->shift != sample.revBar->shift ||
                              printed.revBar->cap != sample.revBar->cap)) ||
           printed.pullSent != sample.pullSent || std::fabs(printed.cap - sample.cap) >= capStep;
}

std::string timelineText(const std::vector<FrameSample>& samples) {
    std::string text = timelineHeader();
    const FrameSample* printed = nullptr;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const FrameSample& sample = samples[i];
        if (!printed || changedSince(*printed, sample) || i + 1 == samples.size()) {
            text += timelineLine(sample);
            printed = &sample;
        }
    }
    return text;
}
