// The passes whose cost scripts/pass_cost.sh measures with callgrind: the
// plug-in, built with -O2 as the Windows release build is, drives the
// stand-in's car with its three labels for a while, then runs the measured
// passes, the only ones callgrind collects (measuredRun); the script takes
// out what the stand-in does behind the hook's entry points.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "bindings/key_bindings.h"
#include "host/files.h"
#include "host/script_hook.h"
#include "plugin/script.h"
#include "sim/world.h"

namespace {

constexpr int keyW = 87, keyF9 = 120, clutch = 16;
// A multiple of the recorder's 64 passes per kept state, so that a recording
// pass's cost includes its share of them.
constexpr int measuredPasses = 640;
constexpr int warmUpPasses = 200;

void pass() {
    runFramePass();
    scriptWait(0);
}

void passes(int count) {
    for (int i = 0; i < count; ++i) {
        pass();
    }
}

[[gnu::noinline]] void measuredRun() {
    passes(measuredPasses);
}

} // namespace

int main(int argc, char** argv) {
    const std::string_view kind = argc == 2 ? argv[1] : "";
    if (kind != "steady" && kind != "clutch" && kind != "recording") {
        std::fprintf(stderr, "usage: pass_cost steady|clutch|recording\n");
        return 2;
    }
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("pass_cost-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    nativeModuleFolder() = folder.string();

    sim::world = sim::World{};
    sim::world.recording = false;
    sim::enterVehicle(sim::addVehicle(0x00000A01));
    resetPlugin(Reset::Everything);
    pluginState.bindingsLoaded = true;
    pluginState.noticeGiven = true;
    // The shipped MTconfig.ini's six keys, and the Record key to record with.
    bindingsState.keys = KeyBindings{};
    bindingsState.keys.clutchKey = clutch;
    bindingsState.keys.firstGearKey = 49;
    bindingsState.keys.secondGearKey = 50;
    bindingsState.keys.thirdGearKey = 51;
    bindingsState.keys.fourthGearKey = 52;
    bindingsState.keys.reverseKey = 82;
    if (kind == "recording") {
        bindingsState.keys.recordKey = keyF9;
        sim::setKey(keyF9, true);
        pass();
        sim::setKey(keyF9, false);
    }
    sim::setKey(keyW, true);
    sim::setKey(clutch, kind == "clutch");
    passes(warmUpPasses);
    measuredRun();

    const bool drove = sim::world.shownLabels.size() == 3 && sim::world.faults.empty();
    if (kind == "recording") {
        sim::setKey(keyF9, true);
        pass();
    }
    std::filesystem::remove_all(folder);
    std::printf("%d passes\n", measuredPasses);
    return drove ? 0 : 1;
}
