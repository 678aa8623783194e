#include "recorder/recorder.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <new>

#include "host/files.h"
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

// Room for a whole pass at head, the oldest passes dropped as needed, up to
// one a replay can start at.
void makeRoom(RecorderState& recorder) {
    if (recordingBufferBytes - recorder.head < passBytesAtMost) {
        recorder.lapEnd = recorder.head;
        recorder.head = 0;
        recorder.wrapped = recorder.passesKept > 0;
        if (!recorder.wrapped) {
            recorder.tail = 0;
        }
    }
    bool dropped = false;
    while (recorder.wrapped && recorder.tail - recorder.head < passBytesAtMost) {
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

bool writeRecording(RecorderState& recorder, const std::string& path) {
    DriveRecording& header = recorder.header;
    // The tap indexes natives by their place in the one table of them.
    header.natives.clear();
    for (const NativeId& id : nativeIds) {
        header.natives.push_back(id.hash);
    }
    header.passCount = recorder.passesKept;
    // The state at the oldest pass kept, which begins with it.
    if (recorder.passesKept > 0 && !header.state.empty() && startsReplay(recorder, recorder.tail)) {
        const std::uint8_t* values = recorder.buffer.get() + recorder.tail + passHeadBytes + 2;
        for (NamedValue& value : header.state) {
            std::memcpy(&value.value, values, sizeof value.value);
            values += sizeof value.value;
        }
    }
    const std::array<Stretch, 2> passes = keptPasses(recorder);
    const std::string head = recordingHead(header, passes[0].size + passes[1].size);
    std::uint32_t checksum = crc32(0, head.data(), head.size());
    for (const Stretch& stretch : passes) {
        checksum = crc32(checksum, stretch.start, stretch.size);
    }
    const SharedFile file = openForWriting(path);
    bool written = file && std::fwrite(head.data(), 1, head.size(), file.get()) == head.size();
    for (const Stretch& stretch : passes) {
        written =
            written && std::fwrite(stretch.start, 1, stretch.size, file.get()) == stretch.size;
    }
    return written && std::fwrite(&checksum, 1, sizeof checksum, file.get()) == sizeof checksum &&
           std::fflush(file.get()) == 0;
}

} // namespace

bool startRecording(DriveRecording header) {
    RecorderState& recorder = recorderState;
    recorder = RecorderState{};
    tapState = TapState{};
    recorder.buffer.reset(new (std::nothrow) std::uint8_t[recordingBufferBytes]);
    recorder.header = std::move(header);
    return recorder.buffer != nullptr;
}

bool beginRecordedPass(std::int32_t gameTimeMs) {
    RecorderState& recorder = recorderState;
    if (!recorder.buffer) {
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

std::string stopRecording() {
    RecorderState& recorder = recorderState;
    if (!recorder.buffer) {
        return {};
    }
    if (tapState.cursor != nullptr) {
        tapState.passCut = true;
        endRecordedPass();
    }
    // A second recording within the same second gets a number of its own.
    const std::string stamp = "ManualGearbox-" + localTimeStamp();
    std::string name = stamp + ".drec";
    for (int copy = 2; copy < 100 && fileKind(inFolder(moduleFolder(), name)) != FileKind::Missing;
         ++copy) {
        name = stamp + "-" + std::to_string(copy) + ".drec";
    }
    const bool written = writeRecording(recorder, inFolder(moduleFolder(), name));
    recorder = RecorderState{};
    tapState = TapState{};
    return written ? name : std::string();
}
