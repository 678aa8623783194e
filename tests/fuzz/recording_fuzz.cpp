// The recording reader and both replays, with the plug-in built in, on any
// bytes: reading either refuses them with a reason or gives a recording that
// writes back as the very same bytes, and each replay either refuses it with
// a reason or runs it to its end or to a difference. The sanitizers catch
// what goes wrong on the way. The mutator gives most inputs a length and a
// checksum that hold, so that mutations reach the header and the passes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "plugin/recorded_state.h"
#include "plugin/script.h"
#include "recording_repair.h"
#include "replay/replay.h"
#include "sim/world.h"

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);

namespace {

const PluginControl plugin = {recordedStateFields, restorePlugin, runFramePass};

void check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "%s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const RecordingRead read = readRecording(bytes);
    if (!read.error.empty()) {
        return 0;
    }
    check(encodeRecording(read.recording) == bytes, "a recording read doesn't write back as read");
    for (const auto replay : {replayRecording, replayThroughWorld}) {
        const ReplayReport report = replay(read.recording, plugin);
        check(!report.problem.empty() || !report.differences.empty() ||
                  report.passes == read.recording.passCount,
              "a replay stopped early without saying why");
    }
    // Nothing of the run stays allocated, so that libFuzzer's leak check
    // has no cause to look.
    restorePlugin(DriveRecording{});
    sim::world = sim::World{};
    return 0;
}

// Now and then the lead and the checksum stay as mutated, so that their own
// checks are reached too.
extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size,
                                               std::size_t maxSize, unsigned int seed) {
    size = LLVMFuzzerMutate(data, size, maxSize);
    if (size < recordingLeadBytes + recordingChecksumBytes || seed % 16 == 0) {
        return size;
    }
    repairLengthAndChecksum(data, size);
    return size;
}
