// Writing a ten-minute drive recording, which the game waits for: the
// plug-in drives the stand-in's car for 36,000 passes, changing gear every
// few seconds, and then the Record key stops and writes the recording.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "bindings/key_bindings.h"
#include "host/files.h"
#include "host/script_hook.h"
#include "plugin/script.h"
#include "recorder/recorder.h"
#include "sim/world.h"

namespace {

constexpr int tenMinutes = 10 * 60 * 60;
constexpr int keyW = 87, keyF9 = 120, clutch = 16, firstKey = 49, secondKey = 50;

void pass() {
    runFramePass();
    scriptWait(0);
}

void tap(int key) {
    sim::setKey(key, true);
    pass();
    sim::setKey(key, false);
}

// Starts recording and drives for ten minutes: each pass draws the labels,
// caps the car and asks for the keys, as a busy pass does.
void recordTenMinutes() {
    sim::world = sim::World{};
    sim::world.recording = false;
    sim::enterVehicle(sim::addVehicle(0x00000A01));
    resetPlugin(Reset::Everything);
    pluginState.bindingsLoaded = true;
    pluginState.noticeGiven = true;
    bindingsState.keys = KeyBindings{};
    bindingsState.keys.clutchKey = clutch;
    bindingsState.keys.firstGearKey = firstKey;
    bindingsState.keys.secondGearKey = secondKey;
    bindingsState.keys.recordKey = keyF9;
    tap(keyF9);
    sim::setKey(keyW, true);
    for (int i = 0; i < tenMinutes; ++i) {
        if (i % 300 == 299) {
            sim::setKey(clutch, true);
            sim::setKey(i % 600 == 299 ? secondKey : firstKey, true);
        }
        pass();
        sim::setKey(clutch, false);
        sim::setKey(firstKey, false);
        sim::setKey(secondKey, false);
    }
}

void writeTenMinutes(benchmark::State& state) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "recording_benchmark";
    std::filesystem::create_directories(folder);
    nativeModuleFolder() = folder.string();
    std::size_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        recordTenMinutes();
        bytes = recorderState.head - recorderState.tail;
        sim::setKey(keyF9, true);
        state.ResumeTiming();
        pass();
    }
    std::filesystem::remove_all(folder);
    state.counters["passes"] = tenMinutes;
    state.counters["bytes per pass"] = static_cast<double>(bytes) / tenMinutes;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    if (recording() || sim::world.notifications.size() != 2) {
        state.SkipWithError("the recording was not written");
    }
}

} // namespace

BENCHMARK(writeTenMinutes)->Unit(benchmark::kMillisecond)->Iterations(5);

BENCHMARK_MAIN();
