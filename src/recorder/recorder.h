// The plug-in's drive recorder. While it records, each pass keeps the game's
// time and every native call, key query, focus check and file question that
// crosses the host floor's tap, in a buffer allocated whole when recording starts: a recording
// pass allocates nothing. Once the buffer is full, the oldest passes make
// room. When the recording stops, its file is written beside the plug-in a
// slice each pass, under a temporary name until it is whole; a recording that
// can't be saved stays in memory until saved. What the stop and the save need
// is allocated when recording starts too, so that they allocate nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "host/files.h"
#include "recording/recording.h"

// At least ten minutes at 60 passes a second of the busiest driving passes,
// up to about 650 bytes each with their share of the kept states (a pass
// while the player chooses keys takes up to about 1,400), and the room for
// the files one pass may read.
inline constexpr std::size_t recordingBufferBytes = (24u << 20) + passFileBytesAtMost;
// What one pass writes of a recording being saved: its checksum costs the
// plug-in about 3.5 instructions a byte, 0.92 million a pass.
inline constexpr std::size_t saveSliceBytes = 256u << 10;
// The file being saved is written under this name, beside the plug-in.
inline constexpr char temporaryRecordingName[] = "ManualGearbox.drec.tmp";

enum class RecorderMode { Off, Recording, Saving, Unsaved };

// A stopped recording on its way to its file. Its texts have their room from
// the start of the recording: they change in place.
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
    // The plug-in's folder as the start of a path in it, and the temporary
    // file's path.
    std::string folder;
    std::string temporary;
    // ManualGearbox-YYYYMMDD-HHMMSS, in local time when the save began.
    std::string stamp;
    // The path the file is given: the folder and its name.
    std::string path;
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

// Only the functions below change it.
const RecorderState& recorderState();

// Starts recording from the next pass on, with the header's version,
// bindings and names of state values, while the recorder is off. False when
// the buffer can't be had.
bool startRecording(DriveRecording header);

// Opens the pass, while recording, at the game's time, which the caller asks
// before so that it isn't recorded as the plug-in's. True when the pass must
// keep the plug-in's state, which the tap then writes first
// (tapStateValues).
bool beginRecordedPass(std::int32_t gameTimeMs);
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
    // The file's name, once saved, until the next recording starts.
    std::string_view name;
    WriteFault fault = WriteFault::None;
};

// Writes the next slice of the save under way; the last one writes the
// checksum and gives the whole file its name:
// ManualGearbox-YYYYMMDD-HHMMSS.drec, or -2.drec and so on up to -99 when
// that second has one. Once saved, the buffer is freed and the recorder is
// off. A save that fails removes the temporary file it wrote and keeps the
// recording, unsaved.
SaveOutcome saveSlice();
// Writes all the rest of the save under way at once.
SaveOutcome finishSave();

// Frees the recording, saved or not; a save under way leaves no file.
void dropRecording();
