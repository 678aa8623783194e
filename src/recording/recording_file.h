// Whole drive recordings, pass by pass and call by call, as the tools read,
// write and edit them; the plug-in itself writes only with recording.h.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "recording/recording.h"

struct RecordedCall {
    enum class Kind : std::uint8_t {
        Native,
        Key,
        Focus,
        State,
        File,
        // The game controllers found, and those kept after a pass's state.
        Controllers,
        ControllersKept,
        ControllerRead,
        // Force feedback opened, an effect set, every effect stopped.
        ForcesOpened,
        ForceSet,
        ForcesStopped
    };
    Kind kind = Kind::Native;
    // Native: the hash, the low halves of the argument slots and of the
    // result. A text argument, always the first, is kept as text.
    std::uint64_t hash = 0;
    std::uint8_t argumentCount = 0;
    std::array<std::uint32_t, recordedArgumentsAtMost> arguments{};
    bool textArgument = false;
    std::string text;
    std::uint32_t result = 0;
    // A vector's result: x, y and z, result then 0.
    bool vectorResult = false;
    std::array<std::uint32_t, 3> vector{};
    // Key: the code asked about and GetAsyncKeyState's answer.
    std::int32_t key = 0;
    std::int16_t keyState = 0;
    // Focus: whether the game's window had it.
    bool focused = false;
    // File: the question and its answer, one of fileAnswersAtMost's.
    FileQuestion question = FileQuestion::Read;
    std::uint8_t answer = 0;
    // State: the plug-in's state, in the order of the header's names.
    std::vector<std::int32_t> values;
    // Controllers, ControllersKept: each one found.
    std::vector<RecordedController> controllers;
    // ControllerRead: the controller's place among those found, whether it
    // read as released, and else its axes and the numbers of its buttons
    // down, as recorded.
    std::uint8_t controller = 0;
    bool released = false;
    std::array<std::uint16_t, recordedAxisCount> axes{};
    std::vector<std::uint8_t> buttons;
    // Controllers, ControllersKept: the look's own fault; ControllerRead:
    // why one released failed. The step, 0 for none or, of a read, for one
    // recorded before faults were, and DirectInput's answer.
    std::uint8_t faultStep = 0;
    std::int32_t faultAnswer = 0;
    // ForcesOpened: the controller's place (controller), the strength and
    // what it came to (answer). ForceSet: the effect and its parameters.
    std::uint8_t strength = 0;
    std::uint8_t effect = 0;
    std::int32_t magnitude = 0;
    std::uint16_t periodMs = 0;
    std::uint16_t durationMs = 0;
};

struct RecordedPass {
    std::int32_t gameTimeMs = 0;
    bool cut = false;
    std::vector<RecordedCall> calls;
};

// Adds the pass to the recording, its natives to the table.
void appendPass(DriveRecording& recording, const RecordedPass& pass);

// The whole file's bytes.
std::string encodeRecording(const DriveRecording& recording);

// Reading a recording that a player sent, which may hold anything: every
// count, length and index is checked against what is left before it is used,
// so that what reading allocates stays within the file's size, and each
// problem names the byte, and the pass and entry, where it lies. In stages, so
// that a file's size and header are checked before the rest of it is read.
struct RecordingRead {
    DriveRecording recording;
    // Where the passes begin in the file.
    std::size_t passesAt = 0;
    // What is wrong, or empty.
    std::string error;
};

// The most a header can take after the lead: the version, the bindings and
// the state at their longest, and the table of natives at its largest.
inline constexpr std::size_t recordingHeaderBytesAtMost =
    (1 + recordedTextAtMost) + 1 + 2 * (1 + 255 * (1 + recordedTextAtMost + 4)) +
    (1 + 8 * recordedNativesAtMost) + 4;

// What the first recordingLeadBytes of a file of fileBytes say, or all of a
// shorter file: the magic, a format version this reader knows and a length
// that the file's size matches. Empty when the rest may be read.
std::string recordingLeadProblem(std::string_view lead, std::uint64_t fileBytes);

// The header, from the first bytes of a file whose lead holds: at least
// recordingLeadBytes + recordingHeaderBytesAtMost of them, or the whole file.
RecordingRead readRecordingHeader(std::string_view start);

// The rest of the file whose header read holds: the checksum over the whole
// file, and its passes, which the recording then keeps in the file's own
// bytes.
void readRecordingBody(std::string file, RecordingRead& read);

// The three stages on a whole file in memory.
RecordingRead readRecording(std::string file);

// Decodes the pass at offset in passBytes, which a read has checked, and
// moves offset past it.
void decodePass(const DriveRecording& recording, std::size_t& offset, RecordedPass& pass);
