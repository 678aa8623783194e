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

namespace {

RecorderState state;

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

// The room a save's texts take at most, beyond the folder's path: the
// stamp, a copy's number and the extension.
constexpr std::size_t nameBytesAtMost = 64;

// The save's stamp, in place, in local time now.
void stampNow(std::string& stamp) {
    const LocalTime now = localTime();
    char text[nameBytesAtMost];
    std::snprintf(text, sizeof text, "ManualGearbox-%04d%02d%02d-%02d%02d%02d", now.year, now.month,
                  now.day, now.hour, now.minute, now.second);
    stamp.assign(text);
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

// The file's bytes before the passes, with the state at the oldest pass
// kept, which begins with it, written over the head made at the start.
void writeHead(RecorderState& recorder) {
    DriveRecording& header = recorder.header;
    header.passCount = recorder.passesKept;
    if (recorder.passesKept > 0 && !header.state.empty() && startsReplay(recorder, recorder.tail)) {
        const std::uint8_t* values = recorder.buffer.get() + recorder.tail + passHeadBytes + 2;
        for (NamedValue& value : header.state) {
            std::memcpy(&value.value, values, sizeof value.value);
            values += sizeof value.value;
        }
    }
    const std::array<Stretch, 2> passes = keptPasses(recorder);
    recordingHead(recorder.save.head, header, passes[0].size + passes[1].size);
}

SaveOutcome saveFailed(RecorderState& recorder, WriteFault fault) {
    RecordingSave& save = recorder.save;
    const bool written = save.file.handle != -1 || save.whole;
    // The fault told is the one that failed the save; what it left is
    // written over by the next.
    (void)closeOutput(save.file);
    if (written) {
        (void)removeFile(save.temporary);
    }
    save.whole = false;
    recorder.mode = RecorderMode::Unsaved;
    return {SaveOutcome::Status::Failed, {}, fault};
}

// Up to bytes more of the passes, checked and written; the head first.
WriteFault writePasses(RecorderState& recorder, std::size_t bytes) {
    RecordingSave& save = recorder.save;
    if (save.file.handle == -1) {
        if (const WriteFault fault = createOutput(save.temporary, save.file);
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
    RecorderState& recorder = state;
    RecordingSave& save = recorder.save;
    if (recorder.mode != RecorderMode::Saving) {
        return {};
    }
    if (!save.whole) {
        const std::array<Stretch, 2> passes = keptPasses(recorder);
        if (const WriteFault fault = writePasses(recorder, bytes); fault != WriteFault::None) {
            return saveFailed(recorder, fault);
        }
        if (save.passBytesWritten < passes[0].size + passes[1].size) {
            return {};
        }
        WriteFault fault = writeOutput(save.file, &save.checksum, sizeof save.checksum);
        const WriteFault closing = closeOutput(save.file);
        fault = fault != WriteFault::None ? fault : closing;
        if (fault != WriteFault::None) {
            return saveFailed(recorder, fault);
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
        save.path.assign(save.folder).append(save.stamp).append(number).append(".drec");
        const WriteFault fault = renameToFree(save.temporary, save.path);
        if (fault == WriteFault::None) {
            // The texts stay, for the name, until the next recording starts.
            recorder.buffer.reset();
            recorder.mode = RecorderMode::Off;
            return {SaveOutcome::Status::Saved,
                    std::string_view(save.path).substr(save.folder.size()), WriteFault::None};
        }
        if (fault != WriteFault::NameTaken) {
            return saveFailed(recorder, fault);
        }
    }
    return saveFailed(recorder, WriteFault::NameTaken);
}

} // namespace

const RecorderState& recorderState() {
    return state;
}

bool startRecording(DriveRecording header) {
    RecorderState& recorder = state;
    recorder = RecorderState{};
    closeTap();
    recorder.buffer.reset(new (std::nothrow) std::uint8_t[recordingBufferBytes]);
    if (!recorder.buffer) {
        return false;
    }
    recorder.header = std::move(header);
    // The tap indexes natives by their place in the one table of them.
    for (const NativeId& id : nativeIds) {
        recorder.header.natives.push_back(id.hash);
    }
    // The head takes the same bytes whatever its numbers.
    RecordingSave& save = recorder.save;
    recordingHead(save.head, recorder.header, 0);
    save.folder = inFolder(moduleFolder(), "");
    save.temporary = save.folder + temporaryRecordingName;
    save.stamp.reserve(nameBytesAtMost);
    save.path.reserve(save.folder.size() + nameBytesAtMost);
    recorder.mode = RecorderMode::Recording;
    return true;
}

bool beginRecordedPass(std::int32_t gameTimeMs) {
    RecorderState& recorder = state;
    if (recorder.mode != RecorderMode::Recording) {
        return false;
    }
    makeRoom(recorder);
    std::uint8_t* pass = recorder.buffer.get() + recorder.head;
    std::uint8_t* at = pass + 4;
    putNumber(at, gameTimeMs);
    openTap(at, pass + passBytesAtMost - entryBytesAtMost, passFileBytesAtMost);
    return !recorder.header.state.empty() && recorder.passesBegun++ % passesPerState == 0;
}

void endRecordedPass() {
    RecorderState& recorder = state;
    const TapEnd end = closeTap();
    if (end.at == nullptr) {
        return;
    }
    std::uint8_t* pass = recorder.buffer.get() + recorder.head;
    const auto length = static_cast<std::uint32_t>(end.at - pass - passHeadBytes);
    std::uint8_t* at = pass;
    putNumber(at, length | (end.cut ? passCutBit : 0u));
    recorder.head += passHeadBytes + length;
    ++recorder.passesKept;
}

void stopRecording() {
    RecorderState& recorder = state;
    if (recorder.mode != RecorderMode::Recording) {
        return;
    }
    if (tapOpen()) {
        tapCut();
        endRecordedPass();
    }
    writeHead(recorder);
    beginSave();
    closeTap();
}

void beginSave() {
    RecorderState& recorder = state;
    RecordingSave& save = recorder.save;
    stampNow(save.stamp);
    save.checksum = crc32(0, save.head.data(), save.head.size());
    save.passBytesWritten = 0;
    recorder.mode = RecorderMode::Saving;
}

SaveOutcome saveSlice() {
    return saveStep(saveSliceBytes);
}

SaveOutcome finishSave() {
    return saveStep(SIZE_MAX);
}

void dropRecording() {
    RecorderState& recorder = state;
    if (recorder.mode == RecorderMode::Saving) {
        saveFailed(recorder, WriteFault::None);
    }
    recorder = RecorderState{};
    closeTap();
}
