// Whole drive recordings, pass by pass and call by call, as the tools read,
// write and edit them; the plug-in itself writes only with recording.h.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "recording/recording.h"

struct RecordedCall {
    enum class Kind : std::uint8_t { Native, Key, Focus, State };
    Kind kind = Kind::Native;
    // Native: the hash, the low halves of the argument slots and of the
    // result. A text argument, always the first, is kept as text.
    std::uint64_t hash = 0;
    std::uint8_t argumentCount = 0;
    std::array<std::uint32_t, recordedArgumentsAtMost> arguments{};
    bool textArgument = false;
    std::string text;
    std::uint32_t result = 0;
    // Key: the code asked about and GetAsyncKeyState's answer.
    std::int32_t key = 0;
    std::int16_t keyState = 0;
    // Focus: whether the game's window had it.
    bool focused = false;
    // State: the plug-in's state, in the order of the header's names.
    std::vector<std::int32_t> values;
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

// Checks the whole file: the recording, or what is wrong with it.
struct RecordingRead {
    DriveRecording recording;
    std::string error;
};
RecordingRead readRecording(std::string_view bytes);

// Decodes the pass at offset in passBytes, which readRecording has checked,
// and moves offset past it.
void decodePass(const DriveRecording& recording, std::size_t& offset, RecordedPass& pass);
