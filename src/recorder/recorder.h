// The plug-in's drive recorder. While it records, each pass keeps the game's
// time and every native call, key query and focus check that crosses the host
// floor's tap, in a buffer allocated whole when recording starts: a recording
// pass allocates nothing. Once the buffer is full, the oldest passes make
// room. The file is written beside the plug-in when the recording stops.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "recording/recording.h"

// At least ten minutes at 60 passes a second of the busiest passes the
// plug-in makes, up to about 630 bytes each.
inline constexpr std::size_t recordingBufferBytes = 24u << 20;

struct RecorderState {
    // Null while not recording.
    std::unique_ptr<std::uint8_t[]> buffer;
    // The passes kept run from tail to head; when wrapped, from tail to
    // lapEnd and on from the buffer's start to head.
    std::size_t head = 0;
    std::size_t tail = 0;
    std::size_t lapEnd = 0;
    bool wrapped = false;
    std::uint32_t passesKept = 0;
    std::uint32_t passesBegun = 0;

    // The version, the bindings and the names of the plug-in's state values.
    DriveRecording header;
};

extern RecorderState recorderState;

// Starts recording from the next pass on, with the header's version,
// bindings and names of state values. False when the buffer can't be had.
bool startRecording(DriveRecording header);

inline bool recording() {
    return recorderState.buffer != nullptr;
}

// Opens the pass, while recording, at the game's time, which the caller asks
// before so that it isn't recorded as the plug-in's. True when the pass must
// keep the plug-in's state, which recordState then adds first.
bool beginRecordedPass(std::int32_t gameTimeMs);
void recordState(std::span<const std::int32_t> values);
// Closes the pass opened last, if it is still open.
void endRecordedPass();

// Ends the recording: a pass still open ends here, cut. Writes
// ManualGearbox-YYYYMMDD-HHMMSS.drec, in local time, beside the plug-in, or
// ManualGearbox-YYYYMMDD-HHMMSS-2.drec and so on when that second has one,
// and frees the buffer. The file's name, or empty when it couldn't be written.
std::string stopRecording();
