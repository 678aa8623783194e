#include "drive/drive.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr float gearLabelX = 0.015f;
constexpr float clutchLabelX = 0.08f;
constexpr float shiftLabelX = 0.155f;
constexpr sim::Colour highlightColour = {50, 255, 50, 255};

std::optional<LabelShown> labelAt(const sim::World& world, float x) {
    for (const sim::Label& label : world.shownLabels) {
        if (std::fabs(label.x - x) < 1e-4f) {
            return LabelShown{label.text, label.colour == highlightColour};
        }
    }
    return std::nullopt;
}

std::string subtitleOnScreen(const sim::World& world, std::int64_t timeMs) {
    std::string shown;
    for (const sim::Subtitle& subtitle : world.subtitles) {
        if (subtitle.timeMs <= timeMs && timeMs < subtitle.timeMs + subtitle.durationMs) {
            shown = subtitle.text;
        }
    }
    return shown;
}

void applyInput(const DriveEvent& event, const sim::HookControl& hook) {
    sim::World& world = *hook.world;
    switch (event.kind) {
    case DriveEvent::Kind::KeyDown:
    case DriveEvent::Kind::KeyUp:
        hook.setKey(event.code, event.kind == DriveEvent::Kind::KeyDown);
        break;
    case DriveEvent::Kind::Control:
        hook.fireControlOnce(event.code);
        break;
    case DriveEvent::Kind::Enter:
        hook.enterVehicle(0, sim::driverSeat);
        break;
    case DriveEvent::Kind::Leave:
        hook.leaveVehicle();
        break;
    case DriveEvent::Kind::Speed:
        world.vehicles[0].speed = event.speed;
        break;
    case DriveEvent::Kind::Expect:
        break;
    }
}

// The plug-in's pauses, from the world's recording, which is then dropped so
// that a long drive doesn't pile it up.
void takeWaits(sim::World& world, FrameSample& sample) {
    for (const sim::Call& call : world.calls) {
        if (call.kind == sim::Call::Kind::Wait && call.value > 0) {
            sample.events.push_back("wait " + std::to_string(call.value));
        }
    }
    world.calls.clear();
}

} // namespace

std::string observedText(const FrameSample& sample, Expectation::Subject subject) {
    const auto highlight = [](const std::optional<LabelShown>& label) {
        return !label ? "none" : label->highlighted ? "on" : "off";
    };
    char number[32];
    switch (subject) {
    case Expectation::Subject::Speed:
        std::snprintf(number, sizeof number, "%.2f", static_cast<double>(sample.speed));
        return number;
    case Expectation::Subject::Cap:
        std::snprintf(number, sizeof number, "%.2f", static_cast<double>(sample.cap));
        return number;
    case Expectation::Subject::Stalls:
        return std::to_string(sample.stalls);
    case Expectation::Subject::Engine:
        return sample.engineOn ? "on" : "off";
    case Expectation::Subject::Gear:
        return sample.gear ? sample.gear->text : "none";
    case Expectation::Subject::Clutch:
        return highlight(sample.clutch);
    case Expectation::Subject::Shift:
        return highlight(sample.shift);
    case Expectation::Subject::Subtitle:
        return sample.subtitle.empty() ? "none" : sample.subtitle;
    }
    return {};
}

bool expectationMet(const Expectation& expectation, const FrameSample& sample) {
    double value = 0;
    switch (expectation.subject) {
    case Expectation::Subject::Speed:
        value = sample.speed;
        break;
    case Expectation::Subject::Cap:
        value = sample.cap;
        break;
    case Expectation::Subject::Stalls:
        value = sample.stalls;
        break;
    default: {
        const std::string seen = observedText(sample, expectation.subject);
        return seen == (expectation.text.empty() ? "none" : expectation.text);
    }
    }
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

DriveReport runDrive(const DriveScript& script, const sim::HookControl& hook) {
    sim::World& world = *hook.world;
    hook.addVehicle(driveVehicleHandle);

    DriveReport report;
    bool engineWasOn = true;
    int stalls = 0;
    std::size_t next = 0;
    for (;;) {
        const std::int64_t frameMs = world.timeMs;
        std::vector<const DriveEvent*> expectations;
        std::vector<std::string> inputs;
        for (; next < script.events.size() && script.events[next].timeMs <= frameMs; ++next) {
            const DriveEvent& event = script.events[next];
            if (event.kind == DriveEvent::Kind::Expect) {
                expectations.push_back(&event);
            } else {
                applyInput(event, hook);
                inputs.push_back(describeEvent(event));
            }
        }

        hook.runFrame();

        FrameSample sample;
        sample.timeMs = frameMs;
        const sim::Vehicle& vehicle = world.vehicles[0];
        sample.speed = vehicle.speed;
        sample.cap = vehicle.maxSpeed;
        sample.engineOn = vehicle.engineOn;
        sample.inVehicle = world.occupied == 0;
        sample.gear = labelAt(world, gearLabelX);
        sample.clutch = labelAt(world, clutchLabelX);
        sample.shift = labelAt(world, shiftLabelX);
        sample.subtitle = subtitleOnScreen(world, frameMs);
        sample.events = std::move(inputs);
        takeWaits(world, sample);
        // A stalled engine starts only on a later frame's fresh throttle press,
        // so every stall shows as the engine going off.
        if (engineWasOn && !sample.engineOn) {
            ++stalls;
            sample.events.push_back("stall");
        } else if (!engineWasOn && sample.engineOn) {
            sample.events.push_back("engine starts");
        }
        sample.stalls = stalls;
        engineWasOn = sample.engineOn;

        for (const DriveEvent* event : expectations) {
            if (expectationMet(event->expectation, sample)) {
                ++report.expectationsMet;
                continue;
            }
            const std::string wanted = describeExpectation(event->expectation);
            const std::string seen = observedText(sample, event->expectation.subject);
            report.failures.push_back(script.name + ":" + std::to_string(event->line) +
                                      ": expected " + wanted + ", saw " + seen + " at " +
                                      secondsText(frameMs));
            sample.events.push_back("FAILED: expected " + wanted + ", saw " + seen);
        }
        for (const std::string& fault : world.faults) {
            report.failures.push_back(script.name + ": at " + secondsText(frameMs) +
                                      " the world saw a faulty call: " + fault);
            sample.events.push_back("FAULT: " + fault);
        }
        world.faults.clear();

        report.samples.push_back(std::move(sample));
        if (frameMs >= script.endMs) {
            return report;
        }
    }
}
