// Writing a ten-minute drive recording: the plug-in drives the stand-in's car
// for 36,000 passes, changing gear every few seconds, and then the Record key
// stops the recording; measured from that pass to the one that posts the
// recording's notice.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "benchmarks/busy_drive.h"
#include "host/files.h"
#include "recorder/recorder.h"

namespace {

void writeTenMinutes(benchmark::State& state) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "recording_benchmark";
    std::filesystem::create_directories(folder);
    nativeModuleFolder() = folder.string();
    std::size_t bytes = 0;
    int passes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        busy::startInTheCar();
        busy::bind(&KeyBindings::recordKey, busy::keyF9);
        busy::tap(busy::keyF9);
        busy::drive(busy::tenMinutes);
        bytes = recorderState().head - recorderState().tail;
        sim::setKey(busy::keyF9, true);
        state.ResumeTiming();
        passes = 0;
        while (sim::world.notifications.size() == 1 && passes < 1000) {
            busy::pass();
            sim::setKey(busy::keyF9, false);
            ++passes;
        }
    }
    std::filesystem::remove_all(folder);
    state.counters["passes"] = passes;
    state.counters["bytes per pass"] = static_cast<double>(bytes) / busy::tenMinutes;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    if (recorderState().mode == RecorderMode::Recording || sim::world.notifications.size() != 2) {
        state.SkipWithError("the recording was not written");
    }
}

} // namespace

BENCHMARK(writeTenMinutes)->Unit(benchmark::kMillisecond)->Iterations(5);

BENCHMARK_MAIN();
