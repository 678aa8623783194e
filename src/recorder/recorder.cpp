#include "recorder/recorder.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>

#include "host/files.h"
#include "host/game_controllers.h"
#include "host/local_time.h"
#include "host/native_table.h"
#include "host/tap.h"

RecorderState recorderState;

namespace {

std::uint32_t lengthWord(const std::uint8_t* pass) {
    std::uint32_t word = 0;
    std::memcpy(&word, pass, sizeof word);
    return word;
}

std::size_t passBytes(const std::uint8_t* pass) {
    return passHeadBytes + (lengthWord(pass) & ~passCutBit);
}

// A replay can start only at a pass that keeps the plug-in's state.
bool startsReplay(const RecorderState& recorder, std::size_t at) {
    const std::uint8_t* pass = recorder.buffer.get() + at;
    return recorder.header.state.empty() ||
           ((lengthWord(pass) & ~passCutBit) > 0 && pass[passHeadBytes] == stateTag);
}

void dropOldestPass(RecorderState& recorder) {
    recorder.tail += passBytes(recorder.buffer.get() + recorder.tail);
    --recorder.passesKept;
    if (recorder.wrapped && recorder.tail == recorder.lapEnd) {
        recorder.tail = 0;
        recorder.wrapped = false;
    }
    if (recorder.passesKept == 0) {
        recorder.tail = recorder.head;
    }
}

// Room for a whole pass at head, the files it may read included, the oldest
// passes dropped as needed, up to one a replay can start at.
void makeRoom(RecorderState& recorder) {
    constexpr std::size_t room = passBytesAtMost + passFileBytesAtMost;
    if (recordingBufferBytes - recorder.head < room) {
        recorder.lapEnd = recorder.head;
        recorder.head = 0;
        recorder.wrapped = recorder.passesKept > 0;
        if (!recorder.wrapped) {
            recorder.tail = 0;
        }
    }
    bool dropped = false;
    while (recorder.wrapped && recorder.tail - recorder.head < room) {
        dropOldestPass(recorder);
        dropped = true;
    }
    while (dropped && recorder.passesKept > 0 && !startsReplay(recorder, recorder.tail)) {
        dropOldestPass(recorder);
    }
}

std::string localTimeStamp() {
    const LocalTime now = localTime();
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", now.year, now.month, now.day,
                  now.hour, now.minute, now.second);
    return stamp;
}

// The kept passes in order, as one or two stretches of the buffer.
struct Stretch {
    const std::uint8_t* start;
    std::size_t size;
};

std::array<Stretch, 2> keptPasses(const RecorderState& recorder) {
    const std::uint8_t* buffer = recorder.buffer.get();
    if (!recorder.wrapped) {
        return {{{buffer + recorder.tail, recorder.head - recorder.tail}, {buffer, 0}}};
    }
    return {{{buffer + recorder.tail, recorder.lapEnd - recorder.tail}, {buffer, recorder.head}}};
}

// The file's bytes before the passes, with the natives the tap met and the
// state at the oldest pass kept, which begins with it.
std::string recordingHeadOf(RecorderState& recorder) {
    DriveRecording& header = recorder.header;
    // The tap indexes natives by their place in the one table of them.
    header.natives.clear();
    for (const NativeId& id : nativeIds) {
        header.natives.push_back(id.hash);
    }
    header.passCount = recorder.passesKept;
    if (recorder.passesKept > 0 && !header.state.empty() && startsReplay(recorder, recorder.tail)) {
        const std::uint8_t* values = recorder.buffer.get() + recorder.tail + passHeadBytes + 2;
        for (NamedValue& value : header.state) {
            std::memcpy(&value.value, values, sizeof value.value);
            values += sizeof value.value;
        }
    }
    const std::array<Stretch, 2> passes = keptPasses(recorder);
    return recordingHead(header, passes[0].size + passes[1].size);
}

SaveOutcome saveFailed(RecorderState& recorder, const std::string& temporary, WriteFault fault) {
    RecordingSave& save = recorder.save;
    const bool written = save.file.handle != -1 || save.whole;
    closeOutput(save.file);
    if (written) {
        removeFile(temporary);
    }
    save.whole = false;
    recorder.mode = RecorderMode::Unsaved;
    return {SaveOutcome::Status::Failed, {}, fault};
}

// Up to bytes more of the passes, checked and written; the head first.
WriteFault writePasses(RecorderState& recorder, const std::string& temporary, std::size_t bytes) {
    RecordingSave& save = recorder.save;
    if (save.file.handle == -1) {
        if (const WriteFault fault = createOutput(temporary, save.file);
            fault != WriteFault::None) {
            return fault;
        }
        if (const WriteFault fault = writeOutput(save.file, save.head.data(), save.head.size());
            fault != WriteFault::None) {
            return fault;
        }
    }
    std::size_t skipped = save.passBytesWritten;
    for (const Stretch& stretch : keptPasses(recorder)) {
        const std::size_t from = std::min(skipped, stretch.size);
        skipped -= from;
        const std::size_t size = std::min(stretch.size - from, bytes);
        if (size == 0) {
            continue;
        }
        save.checksum = crc32(save.checksum, stretch.start + from, size);
        if (const WriteFault fault = writeOutput(save.file, stretch.start + from, size);
            fault != WriteFault::None) {
            return fault;
        }
        save.passBytesWritten += size;
        bytes -= size;
    }
    return WriteFault::None;
}

SaveOutcome saveStep(std::size_t bytes) {
    RecorderState& recorder = recorderState;
    RecordingSave& save = recorder.save;
    if (recorder.mode != RecorderMode::Saving) {
        return {};
    }
    const std::string temporary = inFolder(save.folder, temporaryRecordingName);
    if (!save.whole) {
        const std::array<Stretch, 2> passes = keptPasses(recorder);
        if (const WriteFault fault = writePasses(recorder, temporary, bytes);
            fault != WriteFault::None) {
            return saveFailed(recorder, temporary, fault);
        }
        if (save.passBytesWritten < passes[0].size + passes[1].size) {
            return {};
        }
        WriteFault fault = writeOutput(save.file, &save.checksum, sizeof save.checksum);
        const WriteFault closing = closeOutput(save.file);
        fault = fault != WriteFault::None ? fault : closing;
        if (fault != WriteFault::None) {
            return saveFailed(recorder, temporary, fault);
        }
        save.whole = true;
    }
    // A second save within the same second gets a number of its own; a name
    // taken, even since the last look, is never written over.
    for (int copy = 1; copy < 100; ++copy) {
        char number[8] = "";
        if (copy > 1) {
            std::snprintf(number, sizeof number, "-%d", copy);
        }
        const std::string name = save.stamp + number + ".drec";
        const WriteFault fault = renameToFree(temporary, inFolder(save.folder, name));
        if (fault == WriteFault::None) {
            recorder = RecorderState{};
            return {SaveOutcome::Status::Saved, name, WriteFault::None};
        }
        if (fault != WriteFault::NameTaken) {
            return saveFailed(recorder, temporary, fault);
        }
    }
    return saveFailed(recorder, temporary, WriteFault::NameTaken);
}

} // namespace

bool startRecording(DriveRecording header) {
    RecorderState& recorder = recorderState;
    recorder = RecorderState{};
    tapState = TapState{};
    recorder.buffer.reset(new (std::nothrow) std::uint8_t[recordingBufferBytes]);
    recorder.header = std::move(header);
    recorder.mode = recorder.buffer ? RecorderMode::Recording : RecorderMode::Off;
    return recorder.buffer != nullptr;
}

bool beginRecordedPass(std::int32_t gameTimeMs) {
    RecorderState& recorder = recorderState;
    if (recorder.mode != RecorderMode::Recording) {
        return false;
    }
    makeRoom(recorder);
    std::uint8_t* pass = recorder.buffer.get() + recorder.head;
    std::uint8_t* at = pass + 4;
    putNumber(at, gameTimeMs);
    TapState& tap = tapState;
    tap.cursor = at;
    tap.entryLimit = pass + passBytesAtMost - entryBytesAtMost;
    tap.passCut = false;
    tap.fileBytesLeft = passFileBytesAtMost;
    return !recorder.header.state.empty() && recorder.passesBegun++ % passesPerState == 0;
}

void recordState(std::span<const std::int32_t> values) {
    std::uint8_t* at = tapState.cursor;
    if (at == nullptr) {
        return;
    }
    *at++ = stateTag;
    *at++ = static_cast<std::uint8_t>(values.size());
    putBytes(at, values.data(), values.size_bytes());
    tapState.cursor = at;
    // The device layer's state: the controllers a replay starting here reads.
    tapKeptControllers();
}

void endRecordedPass() {
    RecorderState& recorder = recorderState;
    TapState& tap = tapState;
    if (tap.cursor == nullptr) {
        return;
    }
    std::uint8_t* pass = recorder.buffer.get() + recorder.head;
    const auto length = static_cast<std::uint32_t>(tap.cursor - pass - passHeadBytes);
    std::uint8_t* at = pass;
    putNumber(at, length | (tap.passCut ? passCutBit : 0u));
    recorder.head += passHeadBytes + length;
    ++recorder.passesKept;
    tap.cursor = nullptr;
}

void stopRecording() {
    RecorderState& recorder = recorderState;
    if (recorder.mode != RecorderMode::Recording) {
        return;
    }
    if (tapState.cursor != nullptr) {
        tapState.passCut = true;
        endRecordedPass();
    }
    // What throws here leaves the recording as it was, to be stopped again.
    recorder.save.head = recordingHeadOf(recorder);
    beginSave();
    tapState = TapState{};
}

void beginSave() {
    RecorderState& recorder = recorderState;
    RecordingSave& save = recorder.save;
    std::string folder = moduleFolder();
    std::string stamp = "ManualGearbox-" + localTimeStamp();
    save.checksum = crc32(0, save.head.data(), save.head.size());
    save.passBytesWritten = 0;
    save.folder = std::move(folder);
    save.stamp = std::move(stamp);
    recorder.mode = RecorderMode::Saving;
}

SaveOutcome saveSlice() {
    return saveStep(saveSliceBytes);
}

SaveOutcome finishSave() {
    return saveStep(SIZE_MAX);
}

void dropRecording() {
    RecorderState& recorder = recorderState;
    if (recorder.mode == RecorderMode::Saving) {
        saveFailed(recorder, inFolder(recorder.save.folder, temporaryRecordingName),
                   WriteFault::None);
    }
    recorder = RecorderState{};
    tapState = TapState{};
}
