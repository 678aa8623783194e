#include "runner/drive.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "gearbox/vehicle_classes.h"
#include "runner/recorded_drive.h"
#include "screen/screen_layout.h"

namespace {

constexpr sim::Colour highlightColour = {50, 255, 50, 255};
constexpr sim::Colour refusedColour = {240, 50, 50, 255};

std::optional<LabelShown> labelAt(const sim::World& world, float x) {
    for (const sim::Label& label : world.shownLabels) {
        if (std::fabs(label.x - x) < 1e-4f) {
            return LabelShown{label.text, label.colour == highlightColour,
                              label.colour == refusedColour};
        }
    }
    return std::nullopt;
}

// The bar's one rectangle, as long as the revs go.
std::optional<RevBarShown> revBarShown(const sim::World& world) {
    const auto bar = std::ranges::find_if(world.shownRects, [](const sim::DrawnRect& rect) {
        return std::fabs(rect.y - revBarY) < 1e-4f;
    });
    if (bar == world.shownRects.end()) {
        return std::nullopt;
    }
    return RevBarShown{bar->width / revBarWidth,
                       bar->colour.red == highlightColour.red &&
                           bar->colour.green == highlightColour.green,
                       bar->colour.red == refusedColour.red};
}

std::string promptLine(const sim::World& world) {
    for (const sim::Label& label : world.shownLabels) {
        if (std::fabs(label.x - promptX) < 1e-4f && std::fabs(label.y - promptY) < 1e-4f) {
            return label.text;
        }
    }
    return {};
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

// Copies by hand: MinGW's std::filesystem::copy_file won't replace a file.
bool copyFile(const std::string& from, const std::string& to) {
    std::ifstream in(from, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ofstream out(to, std::ios::binary | std::ios::trunc);
    // Streaming an empty file would count as a failure.
    if (in.peek() != std::ifstream::traits_type::eof()) {
        out << in.rdbuf();
    }
    return static_cast<bool>(out.flush());
}

// Applies a script's input; returns the vehicle shown from now on, as an index.
// A file that can't be copied or deleted is a problem of the drive's own.
int applyInput(const DriveEvent& event, const sim::HookControl& hook, int shown,
               std::string& problem) {
    sim::World& world = *hook.world;
    switch (event.kind) {
    case DriveEvent::Kind::KeyDown:
    case DriveEvent::Kind::KeyUp:
        hook.setKey(event.code, event.kind == DriveEvent::Kind::KeyDown);
        break;
    case DriveEvent::Kind::Control:
        hook.fireControlOnce(event.code);
        break;
    case DriveEvent::Kind::Hold:
    case DriveEvent::Kind::Release:
        hook.holdControl(event.code, event.kind == DriveEvent::Kind::Hold);
        break;
    case DriveEvent::Kind::Copy:
        if (!copyFile(event.file, event.otherFile)) {
            problem = "could not copy " + event.file + " to " + event.otherFile;
        }
        break;
    case DriveEvent::Kind::Delete: {
        std::error_code error;
        if (!std::filesystem::remove(event.file, error)) {
            problem = "could not delete " + event.file;
        }
        break;
    }
    case DriveEvent::Kind::Enter:
        hook.enterVehicle(event.vehicle - 1,
                          event.passenger ? sim::passengerSeat : sim::driverSeat);
        return event.vehicle - 1;
    case DriveEvent::Kind::Leave:
        hook.leaveVehicle();
        break;
    case DriveEvent::Kind::Restart:
        hook.restartScript();
        break;
    case DriveEvent::Kind::Speed:
        world.vehicles[static_cast<std::size_t>(shown)].speed = event.speed;
        break;
    case DriveEvent::Kind::TopSpeed:
        world.vehicles[static_cast<std::size_t>(event.vehicle == 0 ? shown : event.vehicle - 1)]
            .topSpeed = event.speed;
        break;
    case DriveEvent::Kind::VehicleClass:
        world.vehicles[static_cast<std::size_t>(event.vehicle - 1)].vehicleClass = event.code;
        break;
    case DriveEvent::Kind::Focus:
        world.gameFocused = event.on;
        break;
    case DriveEvent::Kind::Phone:
        world.phoneOut = event.on;
        break;
    case DriveEvent::Kind::Menu:
        world.pauseMenuActive = event.on;
        break;
    case DriveEvent::Kind::Device:
        world.lastDevice = event.keyboard ? sim::Device::KeyboardAndMouse : sim::Device::Pad;
        break;
    case DriveEvent::Kind::Plug:
        hook.plugController(event.controller - 1, event.controllerId, event.controllerType,
                            event.name.c_str());
        break;
    case DriveEvent::Kind::Unplug:
    case DriveEvent::Kind::Axis:
    case DriveEvent::Kind::Button:
    case DriveEvent::Kind::Fault:
    case DriveEvent::Kind::Exclusive:
        problem = changeController(event, hook);
        break;
    case DriveEvent::Kind::Slide:
    case DriveEvent::Kind::Air:
    case DriveEvent::Kind::Crash:
        changeRoad(event, world.vehicles[static_cast<std::size_t>(shown)]);
        break;
    case DriveEvent::Kind::Expect:
        break;
    }
    return shown;
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

bool drivingWithGearbox(const FrameSample& sample) {
    return sample.inVehicle && !sample.passenger && classHasGearbox(sample.vehicleClass);
}

namespace {

std::array<VehicleSample, driveVehicleCount> vehicleSamples(const sim::World& world) {
    std::array<VehicleSample, driveVehicleCount> samples;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const sim::Vehicle& vehicle = world.vehicles[i];
        samples[i] = {vehicle.speed, vehicle.maxSpeed, vehicle.engineOn, vehicle.vehicleClass,
                      vehicle.heading};
    }
    return samples;
}

// Events no other column shows: a stall or restart, and a cap set on a vehicle
// other than the one shown, each with the vehicle's number when not shown.
void vehicleEvents(const FrameSample& previous, FrameSample& sample) {
    for (std::size_t i = 0; i < sample.vehicles.size(); ++i) {
        const VehicleSample& before = previous.vehicles[i];
        const VehicleSample& now = sample.vehicles[i];
        const bool shown = static_cast<int>(i) + 1 == sample.vehicle;
        const std::string which = shown ? "" : "vehicle " + std::to_string(i + 1) + " ";
        if (before.engineOn && !now.engineOn) {
            ++sample.stalls;
            sample.events.push_back(which + "stall");
        } else if (!before.engineOn && now.engineOn) {
            sample.events.push_back(which + "engine starts");
        }
        if (!shown && before.cap != now.cap) {
            char cap[32];
            std::snprintf(cap, sizeof cap, "cap %.2f", static_cast<double>(now.cap));
            sample.events.push_back(which + cap);
        }
    }
}

} // namespace

DriveReport runDrive(const DriveScript& script, const sim::HookControl& hook,
                     DriveRecording* recording) {
    sim::World& world = *hook.world;
    for (const std::int32_t handle : driveVehicleHandles) {
        hook.addVehicle(handle);
    }

    DriveReport report;
    FrameSample previous;
    previous.vehicles = vehicleSamples(world);
    int shown = 0;
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
                std::string problem;
                shown = applyInput(event, hook, shown, problem);
                inputs.push_back(describeEvent(event));
                if (!problem.empty()) {
                    report.failures.push_back(script.name + ":" + std::to_string(event.line) +
                                              ": " + problem);
                    inputs.push_back("FAILED: " + problem);
                }
            }
        }

        hook.runFrame();
        if (recording && holdsPass(world.calls)) {
            appendPass(*recording, recordedPass(world.calls, frameMs));
        }

        FrameSample sample;
        sample.timeMs = frameMs;
        sample.vehicles = vehicleSamples(world);
        sample.vehicle = shown + 1;
        const VehicleSample& vehicle = sample.vehicles[static_cast<std::size_t>(shown)];
        sample.speed = vehicle.speed;
        sample.cap = vehicle.cap;
        sample.engineOn = vehicle.engineOn;
        sample.vehicleClass = vehicle.vehicleClass;
        sample.heading = vehicle.heading;
        const sim::Vehicle& moved = world.vehicles[static_cast<std::size_t>(shown)];
        sample.pullSent = moved.torqueFrame == world.frame - 1;
        sample.pull = sample.pullSent ? moved.torque : 1.0f;
        sample.revBar = revBarShown(world);
        sample.inVehicle = world.occupied >= 0;
        sample.passenger = sample.inVehicle && world.seat != sim::driverSeat;
        sample.focused = world.gameFocused;
        sample.gear = labelAt(world, gearLabelX);
        sample.clutch = labelAt(world, clutchLabelX);
        sample.shift = labelAt(world, shiftLabelX);
        sample.subtitle = subtitleOnScreen(world, frameMs);
        sample.prompt = promptLine(world);
        sample.notices = static_cast<int>(world.notifications.size());
        sample.notice = world.notifications.empty() ? "" : world.notifications.back().text;
        sample.disabledControls = world.shownSuppressed;
        sample.forces = world.shownForces;
        sample.effectCalls = world.shownEffectCounts;
        sample.events = std::move(inputs);
        if (sample.notices > previous.notices) {
            sample.events.push_back("notice: " + sample.notice);
        }
        takeWaits(world, sample);
        // A stalled engine starts only on a later frame's fresh throttle press,
        // so every stall shows as the engine going off.
        sample.stalls = previous.stalls;
        vehicleEvents(previous, sample);

        for (const DriveEvent* event : expectations) {
            if (expectationMet(event->expectation, sample)) {
                ++report.expectationsMet;
                continue;
            }
            const std::string wanted = describeExpectation(event->expectation);
            const std::string seen = observedText(sample, event->expectation);
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

        previous = sample;
        report.samples.push_back(std::move(sample));
        if (frameMs >= script.endMs) {
            return report;
        }
    }
}
