// The passes whose cost scripts/pass_cost.sh measures with callgrind: the
// plug-in, built with -O2 as the Windows release build is, drives the
// stand-in's car with its three labels for a while, then runs the measured
// passes, the only ones callgrind collects (measuredRun, measuredPass); the
// script takes out what the stand-in does behind the hook's entry points.
// saving records ten busy minutes, then measures one pass at a time from the
// Record key's until the one that posts the recording's notice. choosing
// measures passes that ask for a key to choose, with none pressed. wheel
// measures steady passes with a G29's clutch pedal and every gate bound, the
// stick in first's gate and first engaged; driving, the same with its wheel
// turned and its throttle pressed, fed to the game; crowded, driving with the
// G29 the last of 16 controllers attached; forces, driving with its force
// feedback at full strength; missing, the G29's lines bound and the G29 not
// attached, watched for on every pass; feel, steady passes with the gear
// feel and its rev bar on. A second argument picks the box, as a
// ForwardGears line does.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "benchmarks/busy_drive.h"
#include "gearbox/gearbox.h"
#include "host/files.h"

namespace {

using busy::pass;
// A multiple of the recorder's 64 passes per kept state, so that a recording
// pass's cost includes its share of them.
constexpr int measuredPasses = 640;
constexpr int warmUpPasses = 200;
constexpr int savingPassesAtMost = 1000;
constexpr int keyF8 = 119;

[[gnu::noinline]] void measuredRun() {
    for (int i = 0; i < measuredPasses; ++i) {
        pass();
    }
}

[[gnu::noinline]] void measuredPass() {
    pass();
}

// The passes from the Record key's on, until the recording's notice.
int savingPasses() {
    const std::size_t notices = sim::world.notifications.size();
    sim::setKey(busy::keyF9, true);
    int count = 0;
    while (sim::world.notifications.size() == notices && count < savingPassesAtMost) {
        measuredPass();
        sim::setKey(busy::keyF9, false);
        ++count;
    }
    return count;
}

} // namespace

int main(int argc, char** argv) {
    const std::string_view kind = argc >= 2 ? argv[1] : "";
    if ((kind != "steady" && kind != "clutch" && kind != "recording" && kind != "saving" &&
         kind != "choosing" && kind != "wheel" && kind != "driving" && kind != "crowded" &&
         kind != "forces" && kind != "missing" && kind != "feel") ||
        argc > 3) {
        std::fprintf(stderr,
                     "usage: pass_cost steady|clutch|recording|saving|choosing|wheel|driving|"
                     "crowded|forces|missing|feel [FORWARD_GEARS]\n");
        return 2;
    }
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("pass_cost-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    nativeModuleFolder() = folder.string();

    busy::startInTheCar();
    if (argc == 3) {
        busy::bind(&KeyBindings::forwardGears, std::atoi(argv[2]));
    }
    if (kind == "wheel") {
        busy::bindWheel();
    }
    if (kind == "driving" || kind == "forces") {
        busy::bindWheelDriving();
    }
    if (kind == "forces") {
        busy::bindForceFeedback();
    }
    if (kind == "crowded") {
        busy::bindWheelDriving(sim::controllerCount);
    }
    if (kind == "missing") {
        busy::bindMissingWheel();
    }
    if (kind == "feel") {
        busy::bind(&KeyBindings::gearFeel, 1);
        busy::bind(&KeyBindings::revBar, 1);
    }
    if (kind == "recording" || kind == "saving") {
        busy::bind(&KeyBindings::recordKey, busy::keyF9);
        busy::tap(busy::keyF9);
    }
    int measured = measuredPasses;
    bool saved = true;
    if (kind == "saving") {
        busy::drive(busy::tenMinutes);
        measured = savingPasses();
        saved =
            std::filesystem::directory_iterator(folder) != std::filesystem::directory_iterator();
    } else {
        sim::setKey(busy::keyW, true);
        sim::setKey(busy::clutch, kind == "clutch");
        if (kind == "choosing") {
            busy::bind(&KeyBindings::bindKey, keyF8);
            busy::tap(keyF8);
        }
        for (int i = 0; i < warmUpPasses; ++i) {
            pass();
        }
        measuredRun();
    }

    // The three labels, or the line that asks for a key; a wheel's stick in
    // first's gate has first engaged; the feel draws its bar.
    const bool wheel =
        kind == "wheel" || kind == "driving" || kind == "crowded" || kind == "forces";
    const bool drove =
        sim::world.shownLabels.size() == (kind == "choosing" ? 1u : 3u) &&
        sim::world.faults.empty() &&
        (!wheel || (gearboxState().engaged == Engaged::InGear && gearboxState().gear == Gear{})) &&
        sim::world.shownRects.size() == (kind == "feel" ? 1u : 0u);
    if (kind == "recording") {
        sim::setKey(busy::keyF9, true);
        pass();
    }
    std::filesystem::remove_all(folder);
    std::printf("%d passes\n", measured);
    return drove && saved ? 0 : 1;
}
