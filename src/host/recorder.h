// The plug-in's drive recorder. While it records, each pass keeps the game's
// time and every native call, key query and focus check that crosses this
// floor, in a buffer allocated whole when recording starts: a recording pass
// allocates nothing. Once the buffer is full, the oldest passes make room.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <type_traits>

#include "host/recording.h"

// At least ten minutes at 60 passes a second of the busiest passes the
// plug-in makes, up to about 630 bytes each.
inline constexpr std::size_t recordingBufferBytes = 24u << 20;
// A pass whose entries would go past this is cut short.
inline constexpr std::size_t passBytesAtMost = 8192;
// The largest entry: a native call with a text and seven more arguments.
inline constexpr std::size_t entryBytesAtMost =
    2 + 1 + recordedTextAtMost + 4 * (recordedArgumentsAtMost - 1) + 4;

struct RecorderState {
    // While a pass is open, where its next entry goes; null otherwise, and
    // then nothing is recorded.
    std::uint8_t* cursor = nullptr;
    // An entry that would begin past here might not fit: the pass is cut.
    std::uint8_t* entryLimit = nullptr;
    bool passCut = false;
    // The native call recorded last, until its result is.
    std::uint8_t* shape = nullptr;

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

    // A native's index in the recording by its hash: in the hash's home slot,
    // its top bits, or in one after it.
    struct NativeSlot {
        std::uint64_t hash = 0;
        std::uint8_t index = 0;
    };
    std::array<NativeSlot, 512> nativeSlots{};
    std::array<std::uint64_t, recordedNativesAtMost> natives{};
    std::size_t nativeCount = 0;
};

extern RecorderState recorderState;

// Starts recording from the next pass on, with the header's version,
// bindings and names of state values. False when the buffer can't be had.
bool startRecording(DriveRecording header);

bool recording();

// Opens the pass when recording, after asking the game's time. True when the
// pass must keep the plug-in's state, which recordState then adds first.
bool beginRecordedPass();
void recordState(std::span<const std::int32_t> values);
void endRecordedPass();

// Ends the recording: a pass still open ends here, cut. Writes
// ManualGearbox-YYYYMMDD-HHMMSS.drec, in local time, beside the plug-in, or
// ManualGearbox-YYYYMMDD-HHMMSS-2.drec and so on when that second has one,
// and frees the buffer. The file's name, or empty when it couldn't be written.
std::string stopRecording();

// --- Entries, recorded where the calls cross ------------------------------------

std::uint8_t addRecordedNative(std::uint64_t hash);
void cutRecordedPass();

// Hashes are as good as random: their top bits spread them, and the plug-in's
// own natives each have a home slot of their own.
inline std::size_t nativeSlot(std::uint64_t hash) {
    return static_cast<std::size_t>(hash >> 55);
}

// Where the next entry goes: null while not recording, and once the pass has
// too little room left for another entry, which cuts it.
inline std::uint8_t* nextEntry() {
    std::uint8_t* const at = recorderState.cursor;
    if (at != nullptr && at > recorderState.entryLimit) {
        cutRecordedPass();
        return nullptr;
    }
    return at;
}

inline std::uint8_t recordedNative(std::uint64_t hash) {
    const RecorderState::NativeSlot& slot = recorderState.nativeSlots[nativeSlot(hash)];
    return slot.hash == hash ? slot.index : addRecordedNative(hash);
}

inline void putArgument(std::uint8_t*& at, std::int32_t value) {
    putNumber(at, static_cast<std::uint32_t>(value));
}
inline void putArgument(std::uint8_t*& at, float value) {
    putNumber(at, std::bit_cast<std::uint32_t>(value));
}
// Byte by byte: the texts are a few bytes long, shorter than a call to copy.
inline void putArgument(std::uint8_t*& at, const char* text) {
    std::uint8_t* const length = at++;
    std::size_t count = 0;
    for (; count < recordedTextAtMost && text[count] != '\0'; ++count) {
        at[count] = static_cast<std::uint8_t>(text[count]);
    }
    *length = static_cast<std::uint8_t>(count);
    at += count;
}

template <typename First = void, typename... Rest>
constexpr std::uint8_t nativeShape() {
    static_assert(!(std::is_same_v<Rest, const char*> || ...),
                  "only a native's first argument is recorded as text");
    return static_cast<std::uint8_t>((std::is_void_v<First> ? 0 : 1 + sizeof...(Rest)) |
                                     (std::is_same_v<First, const char*> ? textArgumentBit : 0));
}

// Recorded in two halves, the call before it is made and its result after,
// so that nothing of the call waits across it in the plug-in's registers.
template <typename... Arguments>
void recordNativeCall(std::uint64_t hash, Arguments... arguments) {
    static_assert(sizeof...(Arguments) <= recordedArgumentsAtMost);
    RecorderState& recorder = recorderState;
    const std::uint8_t index = recordedNative(hash);
    std::uint8_t* at = nextEntry();
    if (at == nullptr) {
        return;
    }
    at[0] = index;
    at[1] = nativeShape<Arguments...>();
    recorder.shape = at + 1;
    at += 2;
    (putArgument(at, arguments), ...);
    recorder.cursor = at;
}

// Results are read from the low half of the first slot only.
inline void recordNativeResult(const unsigned long long* result) {
    RecorderState& recorder = recorderState;
    const auto value = static_cast<std::uint32_t>(result[0]);
    if (value != 0 && recorder.shape != nullptr) {
        *recorder.shape |= resultBit;
        putNumber(recorder.cursor, value);
    }
    recorder.shape = nullptr;
}

inline void recordKey(std::int32_t key, std::int16_t state) {
    std::uint8_t* at = nextEntry();
    if (at == nullptr) {
        return;
    }
    if (static_cast<std::uint32_t>(key) <= 0xFF) {
        *at++ = keyTag;
        *at++ = static_cast<std::uint8_t>(key);
    } else {
        *at++ = wideKeyTag;
        putNumber(at, key);
    }
    putNumber(at, state);
    recorderState.cursor = at;
}

inline void recordFocus(bool focused) {
    std::uint8_t* at = nextEntry();
    if (at == nullptr) {
        return;
    }
    *at++ = focused ? focusTag : focusLostTag;
    recorderState.cursor = at;
}
