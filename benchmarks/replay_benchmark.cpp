// Replaying a recording in which the player gets into a new car in every
// pass, so that each pass names a vehicle the world hasn't seen: both
// replays should take time in proportion to the passes, whatever the number
// of vehicles.
#include <benchmark/benchmark.h>

#include "binding_file/recorded_bindings.h"
#include "host/script_hook.h"
#include "plugin/recorded_state.h"
#include "plugin/script.h"
#include "replay/replay.h"
#include "replay/replay_folder.h"
#include "runner/recorded_drive.h"
#include "version.h"

namespace {

constexpr int keyW = 87;
const PluginControl plugin = {recordedStateFields, restorePlugin, runFramePass};

// A freshly loaded plug-in, with no key-binding file, driving a new car with
// W held in each of the passes.
DriveRecording manyVehicles(std::int64_t passes) {
    DriveRecording recording;
    recording.pluginVersion = productVersion;
    recording.bindings = recordedBindings(KeyBindings{}, BindingsFile::NotFound);
    const ReplayFolder folder(recording);
    sim::world = sim::World{};
    restorePlugin(recording);
    sim::setKey(keyW, true);
    for (std::int64_t i = 0; i < passes; ++i) {
        sim::enterVehicle(sim::addVehicle(0x00100000 + static_cast<std::int32_t>(i)));
        sim::world.calls.clear();
        runFramePass();
        appendPass(recording, recordedPass(sim::world.calls, sim::world.timeMs));
        sim::endFrame();
    }
    return recording;
}

void replay(benchmark::State& state,
            ReplayReport (*replayOf)(const DriveRecording&, const PluginControl&)) {
    const DriveRecording recording = manyVehicles(state.range(0));
    for (auto _ : state) {
        const ReplayReport report = replayOf(recording, plugin);
        if (!report.problem.empty() || report.passes != recording.passCount) {
            state.SkipWithError("the replay didn't run to its end");
        }
    }
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations() * recording.passBytes.size()));
    state.counters["bytes per pass"] =
        static_cast<double>(recording.passBytes.size()) / static_cast<double>(state.range(0));
}

void throughWorld(benchmark::State& state) {
    replay(state, replayThroughWorld);
}

void exact(benchmark::State& state) {
    replay(state, replayRecording);
}

} // namespace

BENCHMARK(throughWorld)
    ->RangeMultiplier(4)
    ->Range(1 << 10, 1 << 16)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(exact)
    ->RangeMultiplier(4)
    ->Range(1 << 10, 1 << 16)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

BENCHMARK_MAIN();
