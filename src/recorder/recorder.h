// The plug-in's drive recorder. While it records, each pass keeps the game's
// time and every native call, key query, focus check and file question that
// crosses the host floor's tap, in a buffer allocated whole when recording starts: a recording
// pass allocates nothing. Once the buffer is full, the oldest passes make
// room. When the recording stops, its file is written beside the plug-in a
// slice each pass, under a temporary name until it is whole; a recording that
// can't be saved stays in memory until saved.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "host/files.h"
#include "recording/recording.h"

// At least ten minutes at 60 passes a second of the busiest passes the
// plug-in makes, up to about 630 bytes each, and the room for the files one
// pass may read.
inline constexpr std::size_t recordingBufferBytes = (24u << 20) + passFileBytesAtMost;
// What one pass writes of a recording being saved: its checksum costs the
// plug-in about 3.6 instructions a byte, a million a pass.
inline constexpr std::size_t saveSliceBytes = 256u << 10;
// The file being saved is written under this name, beside the plug-in.
inline constexpr char temporaryRecordingName[] = "ManualGearbox.drec.tmp";

enum class RecorderMode { Off, Recording, Saving, Unsaved };

// A stopped recording on its way to its file.
struct RecordingSave {
    // The file's bytes before the passes, made when the recording stopped.
    std::string head;
    std::uint32_t checksum = 0;
    // Of the kept passes, the bytes written so far.
    std::size_t passBytesWritten = 0;
    // Open from the first slice until the last.
    OutputFile file;
    // Written in full and closed, under the temporary name.
    bool whole = false;
    std::string folder;
    // ManualGearbox-YYYYMMDD-HHMMSS, in local time when the save began.
    std::string stamp;
};

struct RecorderState {
    RecorderMode mode = RecorderMode::Off;
    // Null while off.
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
    RecordingSave save;
};

extern RecorderState recorderState;

// Starts recording from the next pass on, with the header's version,
// bindings and names of state values, while the recorder is off. False when
// the buffer can't be had.
bool startRecording(DriveRecording header);

inline bool recording() {
    return recorderState.mode == RecorderMode::Recording;
}

inline bool saving() {
    return recorderState.mode == RecorderMode::Saving;
}

// Opens the pass, while recording, at the game's time, which the caller asks
// before so that it isn't recorded as the plug-in's. True when the pass must
// keep the plug-in's state, which recordState then adds first.
bool beginRecordedPass(std::int32_t gameTimeMs);
// The plug-in's state, and after it the game controllers found, if any.
void recordState(std::span<const std::int32_t> values);
// Closes the pass opened last, if it is still open.
void endRecordedPass();

// Ends the recording, if one runs: a pass still open ends here, cut. Its
// save begins, which the passes after write (saveSlice).
void stopRecording();
// Begins the save of the recording stopped, or of one that couldn't be saved,
// again from the start, under the name of this second.
void beginSave();

struct SaveOutcome {
    enum class Status { Writing, Saved, Failed } status = Status::Writing;
    // The file's name, once saved.
    std::string name;
    WriteFault fault = WriteFault::None;
};

// Writes the next slice of the save under way; the last one writes the
// checksum and gives the whole file its name:
// ManualGearbox-YYYYMMDD-HHMMSS.drec, or -2.drec and so on up to -99 when
// that second has one. Once saved, the buffer is freed. A save that fails
// removes the temporary file it wrote and keeps the recording, unsaved.
SaveOutcome saveSlice();
// Writes all the rest of the save under way at once.
SaveOutcome finishSave();

// Frees the recording, saved or not; a save under way leaves no file.
void dropRecording();
