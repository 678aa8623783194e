// The exact replay: each of the plug-in's questions gets the recorded answer,
// and what it does is compared with what it did, up to the first difference.
#include <algorithm>
#include <vector>

#include "replay/recording_check.h"
#include "replay/replay.h"
#include "replay/replay_answers.h"
#include "replay/replay_calls.h"
#include "replay/replay_folder.h"
#include "runner/recorded_drive.h"
#include "sim/world.h"

namespace {

std::vector<const RecordedCall*> answeredCalls(const RecordedPass& pass) {
    std::vector<const RecordedCall*> calls;
    for (const RecordedCall& call : pass.calls) {
        if (answersQuestion(call) || forceOutput(call)) {
            calls.push_back(&call);
        }
    }
    return calls;
}

// The first call in which the replayed pass differs from the recorded one, or
// empty; a pass the recording stopped in counts as far as it goes.
std::string firstDifference(const RecordedPass& recorded, const RecordedPass& replayed,
                            std::uint32_t pass) {
    const std::vector<const RecordedCall*> expected = answeredCalls(recorded);
    const std::size_t count =
        recorded.cut ? expected.size() : std::max(expected.size(), replayed.calls.size());
    for (std::size_t i = 0; i < count; ++i) {
        const RecordedCall* before = i < expected.size() ? expected[i] : nullptr;
        const RecordedCall* now = i < replayed.calls.size() ? &replayed.calls[i] : nullptr;
        if (!before || !now || !sameCall(*before, *now)) {
            return passText(pass) + ", call " + std::to_string(i + 1) + ": recorded " +
                   (before ? callText(*before) : "nothing") + ", replayed " +
                   (now ? callText(*now) : "nothing");
        }
    }
    return {};
}

} // namespace

ReplayReport replayRecording(const DriveRecording& recording, const PluginControl& plugin) {
    ReplayReport report;
    report.problem = recordingProblem(recording, plugin.stateFields());
    if (!report.problem.empty()) {
        return report;
    }
    const ReplayFolder folder(recording);
    report.problem = folder.failure;
    if (!report.problem.empty()) {
        return report;
    }
    sim::world = sim::World{};
    plugin.restore(recording);
    RecordedPass recorded;
    std::size_t offset = 0;
    while (report.passes < recording.passCount) {
        decodePass(recording, offset, recorded);
        if (++report.passes == 1) {
            restoreKeptControllers(recorded);
        }
        sim::world.calls.clear();
        sim::world.timeMs = recorded.gameTimeMs;
        answerFrom(recording, recorded, Answering::Everything);
        plugin.runPass();
        stopAnswering();
        const std::string difference = firstDifference(
            recorded, recordedPass(sim::world.calls, recorded.gameTimeMs), report.passes);
        if (!difference.empty()) {
            report.differences.push_back(difference);
        }
        for (const std::string& fault : sim::world.faults) {
            report.differences.push_back(passText(report.passes) + ": " + faultText(fault));
        }
        sim::endFrame();
        if (!report.differences.empty()) {
            break;
        }
    }
    return report;
}
