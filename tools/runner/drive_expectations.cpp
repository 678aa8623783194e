// What a drive's expectations compare: the numbers and words a frame
// sample shows for each subject.
#include <cmath>
#include <cstdio>

#include "runner/drive.h"

namespace {

VehicleSample expectedVehicle(const Expectation& expectation, const FrameSample& sample) {
    if (expectation.vehicle == 0) {
        return {sample.speed, sample.cap, sample.engineOn, sample.vehicleClass, sample.heading};
    }
    return sample.vehicles[static_cast<std::size_t>(expectation.vehicle - 1)];
}

// The number an expectation compares, for the numeric subjects.
double observedNumber(const Expectation& expectation, const FrameSample& sample) {
    switch (expectation.subject) {
    case Expectation::Subject::Speed:
        return expectedVehicle(expectation, sample).speed;
    case Expectation::Subject::Cap:
        return expectedVehicle(expectation, sample).cap;
    case Expectation::Subject::Heading:
        return expectedVehicle(expectation, sample).heading;
    case Expectation::Subject::Notices:
        return sample.notices;
    case Expectation::Subject::Force:
        return sample.forces.constant;
    case Expectation::Subject::Damper:
        return sample.forces.damper;
    case Expectation::Subject::Jolt:
        return sample.forces.jolt;
    case Expectation::Subject::Updates:
        return sample.effectCalls.updated;
    case Expectation::Subject::Pull:
        return sample.pull;
    case Expectation::Subject::Revs:
        return sample.revBar ? sample.revBar->revs : 0.0;
    default:
        return sample.stalls;
    }
}

} // namespace

std::string observedText(const FrameSample& sample, const Expectation& expectation) {
    const auto highlight = [](const std::optional<LabelShown>& label) {
        return !label ? "none" : label->highlighted ? "on" : "off";
    };
    char number[32];
    switch (expectation.subject) {
    case Expectation::Subject::Revs:
        if (!sample.revBar) {
            return "none";
        }
        [[fallthrough]];
    case Expectation::Subject::Speed:
    case Expectation::Subject::Cap:
    case Expectation::Subject::Heading:
    case Expectation::Subject::Pull:
        std::snprintf(number, sizeof number, "%.2f", observedNumber(expectation, sample));
        return number;
    case Expectation::Subject::Stalls:
        return std::to_string(sample.stalls);
    case Expectation::Subject::Force:
    case Expectation::Subject::Damper:
    case Expectation::Subject::Jolt:
    case Expectation::Subject::Updates:
        return std::to_string(static_cast<int>(observedNumber(expectation, sample)));
    case Expectation::Subject::Effects:
        return sample.forces.playing ? "playing" : "stopped";
    case Expectation::Subject::Engine:
        return expectedVehicle(expectation, sample).engineOn ? "on" : "off";
    case Expectation::Subject::Gear:
        return sample.gear ? sample.gear->text + (sample.gear->refused ? "!" : "") : "none";
    case Expectation::Subject::Clutch:
        return highlight(sample.clutch);
    case Expectation::Subject::Shift:
        return highlight(sample.shift);
    case Expectation::Subject::Subtitle:
        return sample.subtitle.empty() ? "none" : sample.subtitle;
    case Expectation::Subject::Notice:
        return sample.notice.empty() ? "none" : sample.notice;
    case Expectation::Subject::Prompt:
        return sample.prompt.empty() ? "none" : sample.prompt;
    case Expectation::Subject::Notices:
        return std::to_string(sample.notices);
    case Expectation::Subject::Control:
        return sample.disabledControls[static_cast<std::size_t>(expectation.control)] ? "disabled"
                                                                                      : "enabled";
    }
    return {};
}

bool expectationMet(const Expectation& expectation, const FrameSample& sample) {
    switch (expectation.subject) {
    case Expectation::Subject::Speed:
    case Expectation::Subject::Cap:
    case Expectation::Subject::Heading:
    case Expectation::Subject::Stalls:
    case Expectation::Subject::Notices:
    case Expectation::Subject::Force:
    case Expectation::Subject::Damper:
    case Expectation::Subject::Jolt:
    case Expectation::Subject::Updates:
    case Expectation::Subject::Pull:
        break;
    // A bar not drawn holds no revs to compare.
    case Expectation::Subject::Revs:
        if (!sample.revBar) {
            return false;
        }
        break;
    default:
        return observedText(sample, expectation) ==
               (expectation.text.empty() ? "none" : expectation.text);
    }
    const double value = observedNumber(expectation, sample);
    // Equal means equal as the timeline shows it, to two decimals.
    const bool equal = std::fabs(value - expectation.number) < 0.005;
    switch (expectation.comparison) {
    case Expectation::Comparison::Less:
        return value < expectation.number && !equal;
    case Expectation::Comparison::LessOrEqual:
        return value < expectation.number || equal;
    case Expectation::Comparison::Equal:
        return equal;
    case Expectation::Comparison::GreaterOrEqual:
        return value > expectation.number || equal;
    case Expectation::Comparison::Greater:
        return value > expectation.number && !equal;
    }
    return false;
}

void changeRoad(const DriveEvent& event, sim::Vehicle& vehicle) {
    if (event.kind == DriveEvent::Kind::Slide) {
        vehicle.sidewaysSpeed = event.speed;
    } else if (event.kind == DriveEvent::Kind::Air) {
        vehicle.inAir = event.on;
    } else {
        vehicle.bodyHealth -= event.speed;
    }
}
