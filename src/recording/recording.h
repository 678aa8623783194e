// The drive recording, a .drec file: what the plug-in asked the game and the
// answers it got, pass by pass, after a header from which a replay starts the
// plug-in. Defined once, here: the plug-in writes it, the tools read and write
// it (recording_file.h). The README's table describes the same layout. Pure
// data: nothing here knows the game, the hook or the plug-in's folders.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

// All numbers little-endian.
inline constexpr std::string_view recordingMagic = "MGBXDREC";
inline constexpr std::uint16_t recordingVersion = 3;
// The first version, whose header has no files flag and whose passes hold no
// file entries.
inline constexpr std::uint16_t firstRecordingVersion = 1;
// The first whose passes may hold game controllers' entries.
inline constexpr std::uint16_t firstControllersVersion = 3;
// Magic, version and the length of the body that follows it.
inline constexpr std::size_t recordingLeadBytes = 8 + 2 + 4;
inline constexpr std::size_t recordingChecksumBytes = 4;

// An entry's first byte: a native call by its index in the header's table of
// natives, or one of these.
inline constexpr std::uint8_t keyTag = 0xF0;     // u8 key code, i16 state
inline constexpr std::uint8_t wideKeyTag = 0xF1; // i32 key code, i16 state
inline constexpr std::uint8_t focusLostTag = 0xF2;
inline constexpr std::uint8_t focusTag = 0xF3;
inline constexpr std::uint8_t stateTag = 0xF4; // u8 count, count × i32
inline constexpr std::uint8_t fileTag = 0xF5;  // u8 question, u8 answer, a read's bytes
// The game controllers found: u8 count, then each one's u16 vendor, u16
// product, u8 type, u8 opened (0 or 1) and name as text.
inline constexpr std::uint8_t controllersTag = 0xF6;
// A read of one: u8 its place among those found, recordedAxisCount × u16,
// u8 count of buttons down, then each one's number.
inline constexpr std::uint8_t controllerReadTag = 0xF7;
inline constexpr std::uint8_t controllerReleasedTag = 0xF8; // u8 its place: read as released
// As controllersTag: those found before, after the state of a pass that keeps it.
inline constexpr std::uint8_t controllersKeptTag = 0xF9;
// Force feedback opened on a controller: u8 its place among those found, u8
// the strength in percent, u8 what it came to (0 on, 1 no force feedback, 2
// another program holds it, 3 failed).
inline constexpr std::uint8_t forcesOpenedTag = 0xFA;
// An effect set and started: u8 the effect (0 the constant force, 1 the
// damper, 2 the jolt), i32 its magnitude, u16 its period and u16 its
// duration in ms.
inline constexpr std::uint8_t forceSetTag = 0xFB;
inline constexpr std::uint8_t forcesStoppedTag = 0xFC; // every effect stopped
inline constexpr std::uint8_t lastForceAnswer = 3;
inline constexpr std::uint8_t lastForceEffect = 2;
// As controllersTag and controllersKeptTag, for a look that came to a fault:
// first the look's own (u8 the step that failed, 0 none; i32 DirectInput's
// answer), then each controller as there, with its fault before its name.
inline constexpr std::uint8_t controllersFaultsTag = 0xFD;
inline constexpr std::uint8_t controllersKeptFaultsTag = 0xFE;
// A read that failed: u8 its place, u8 the step that failed, i32 the answer.
inline constexpr std::uint8_t controllerFailedTag = 0xFF;
// The steps of a fault run from 1 to this.
inline constexpr std::uint8_t recordedFaultStepsAtMost = 8;
inline constexpr std::size_t recordedNativesAtMost = 0xF0;

// A native call's second byte.
inline constexpr std::uint8_t argumentCountBits = 0x0F;
inline constexpr std::uint8_t textArgumentBit = 0x10; // the first argument is text
inline constexpr std::uint8_t resultBit = 0x20;       // a non-zero result follows
// A vector's three results follow, x, y and z, each a float's low half,
// whatever they are; then resultBit is clear.
inline constexpr std::uint8_t vectorResultBit = 0x40;
inline constexpr std::size_t recordedArgumentsAtMost = 9;
inline constexpr std::size_t recordedTextAtMost = 255;

// A pass's length word: the bytes of its entries, and this bit when the
// recording stopped inside it, so that the calls after are missing.
inline constexpr std::uint32_t passCutBit = 0x80000000u;
inline constexpr std::size_t passHeadBytes = 4 + 4;
// A pass's bytes, its head and entries, at most: the recorder cuts a pass
// short before it would go past this, and a reader refuses a longer one, so
// that decoding a pass takes little memory whatever the file claims.
inline constexpr std::size_t passBytesAtMost = 8192;

// What the plug-in asked of the file system, where its behaviour depends on
// the answer. A read that was answered ReadAnswer::Read is followed by its
// bytes: a u32 length, then that many bytes.
enum class FileQuestion : std::uint8_t {
    Read,       // a whole file of at most recordedFileBytesAtMost: a ReadAnswer
    Kind,       // what a path names: missing, a regular file, a folder, a FIFO, a device, other
    ReadOnly,   // whether a file is marked read-only: 0 or 1
    SameFolder, // whether two paths name one folder: 0 or 1
    // The writes: why each failed, 0 when it didn't.
    Create,
    Append,
    Write,
    Flush,
    Close,
    Replace,
    Remove,
};
inline constexpr std::uint8_t lastFileQuestion = static_cast<std::uint8_t>(FileQuestion::Remove);

// What a read came to; the reasons a file wasn't opened come first after Read.
// InUse: another program has the file open and shares it with no reader.
enum class ReadAnswer : std::uint8_t { Read, Missing, NotAFile, Denied, TooLarge, Failed, InUse };

// The highest answer each question can have, in the order of FileQuestion.
inline constexpr std::array<std::uint8_t, lastFileQuestion + 1> fileAnswersAtMost = {
    static_cast<std::uint8_t>(ReadAnswer::InUse), 5, 1, 1, 5, 5, 5, 5, 5, 5, 5};

// Whether a file entry's bytes follow its answer.
constexpr bool readBytesFollow(FileQuestion question, std::uint8_t answer) {
    return question == FileQuestion::Read && answer == static_cast<std::uint8_t>(ReadAnswer::Read);
}

// The bytes of a file read that a recording keeps at most; a larger file
// was not read, and is recorded as too large.
inline constexpr std::size_t recordedFileBytesAtMost = 1024 * 1024;
// Beyond its other entries, which take at most passBytesAtMost, a pass may
// hold the bytes of two whole reads: a reload, and a file found on getting
// in; or the old file and the new one of keys saved.
inline constexpr std::size_t passFileBytesAtMost = 2 * recordedFileBytesAtMost;

inline constexpr std::size_t recordedAxisCount = 8;

// A game controller as a recording keeps it: found, and opened or not, and
// the fault of its opening, if any: the step, 0 for none, and DirectInput's
// answer.
struct RecordedController {
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    std::uint8_t type = 0;
    bool opened = false;
    std::string name;
    std::uint8_t faultStep = 0;
    std::int32_t faultAnswer = 0;
    bool operator==(const RecordedController&) const = default;
};

// The plug-in's state is kept in the first pass and in every passesPerState
// after it, so that a recording whose oldest passes made room for new ones
// still starts from a known state.
inline constexpr std::uint32_t passesPerState = 64;

inline void putBytes(std::uint8_t*& at, const void* data, std::size_t size) {
    std::memcpy(at, data, size);
    at += size;
}

template <typename Number>
void putNumber(std::uint8_t*& at, Number value) {
    static_assert(std::endian::native == std::endian::little);
    putBytes(at, &value, sizeof value);
}

template <typename Number>
void appendNumber(std::string& out, Number value) {
    char bytes[sizeof value];
    std::memcpy(bytes, &value, sizeof value);
    out.append(bytes, sizeof value);
}

// A text of at most recordedTextAtMost bytes, after its length.
inline void appendText(std::string& out, std::string_view text) {
    const std::size_t length = std::min(text.size(), recordedTextAtMost);
    out += static_cast<char>(length);
    out.append(text.substr(0, length));
}

// A header's bindings and state, and a pass's state, each count their values
// in a byte.
inline constexpr std::size_t recordedValuesAtMost = 255;

struct NamedValue {
    std::string name;
    std::int32_t value = 0;
    bool operator==(const NamedValue&) const = default;
};

// A field of the bindings or of the plug-in's state as a recording names it,
// and the values it can hold.
struct RecordedField {
    std::string_view name;
    std::int32_t lowest = 0;
    std::int32_t highest = 0;
};

struct DriveRecording {
    // The format's version it is written in.
    std::uint16_t formatVersion = recordingVersion;
    std::string pluginVersion;
    // Whether its passes hold every answer the file system gave the plug-in,
    // as the plug-in's recorder writes them; a drive's recording, made from
    // the world's record, holds none, and a replay then reads the files of
    // its own folder.
    bool filesKept = false;
    // The key bindings in use by field name, and "file": what reading the
    // key-binding file came to.
    std::vector<NamedValue> bindings;
    // The plug-in's state at the first pass; empty for a freshly loaded
    // plug-in, whose passes then keep no state.
    std::vector<NamedValue> state;
    // A native call's index in this table stands for its hash.
    std::vector<std::uint64_t> natives;
    std::uint32_t passCount = 0;
    // The passes, encoded.
    std::string passBytes;
};

// What the plug-in's recorder writes with: the file's bytes up to the first
// pass, for a body with passBytes bytes of passes, which it
// writes after them itself, and the checksum. Written over head, which
// allocates nothing once it has had room for the same header.
void recordingHead(std::string& head, const DriveRecording& header, std::size_t passBytes);

// CRC-32 (as in zip and PNG) of data, continued from crc; 0 to begin.
std::uint32_t crc32(std::uint32_t crc, const void* data, std::size_t size);
