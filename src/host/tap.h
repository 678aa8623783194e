// The recorder's tap on this floor: while a recorded pass is open, every
// native call, key query and focus check that crosses here is written as one
// entry of the drive recording where the cursor points. Which passes are
// recorded, and into what buffer, is the recorder's business a floor up; a
// crossing while no pass is open only tests the cursor, and what records is
// out of line.
#pragma once

#include <array>
#include <bit>
#include <cstdint>

#include "recording/recording.h"

// The largest entry: a native call with a text and seven more arguments.
inline constexpr std::size_t entryBytesAtMost =
    2 + 1 + recordedTextAtMost + 4 * (recordedArgumentsAtMost - 1) + 4;

struct TapState {
    // While a recorded pass is open, where its next entry goes; null
    // otherwise, and then nothing is recorded.
    std::uint8_t* cursor = nullptr;
    // An entry that would begin past here might not fit: the pass is cut,
    // and no entry after it is written.
    std::uint8_t* entryLimit = nullptr;
    bool passCut = false;

    // A native's index in the recording by its hash: in the hash's home slot,
    // its top bits, or in one after it.
    struct NativeSlot {
        std::uint64_t hash = 0;
        std::uint8_t index = 0;
    };
    std::array<NativeSlot, 512> nativeSlots{};
    // The recording's table of natives, in the order of their indices.
    std::array<std::uint64_t, recordedNativesAtMost> natives{};
    std::size_t nativeCount = 0;
};

extern TapState tapState;

inline bool tapOpen() {
    return tapState.cursor != nullptr;
}

// Hashes are as good as random: their top bits spread them, and the plug-in's
// own natives each have a home slot of their own.
inline std::size_t homeSlot(std::uint64_t hash) {
    return static_cast<std::size_t>(hash >> 55);
}

// Where a native that isn't in its home slot yet, or a pass that is full,
// goes: the same as tapNative.
[[gnu::cold, gnu::noinline]] std::uint8_t* tapNewNative(std::uint64_t hash, std::uint8_t shape);

// A native call's entry, begun before the call is made: its hash's index and
// its shape (the number of arguments, textArgumentBit when the first is
// text). The shape's byte, after which the arguments go, or null when the
// pass is cut and nothing of the call is written.
[[gnu::always_inline]] inline std::uint8_t* tapNative(std::uint64_t hash, std::uint8_t shape) {
    TapState& tap = tapState;
    std::uint8_t* const at = tap.cursor;
    const TapState::NativeSlot& slot = tap.nativeSlots[homeSlot(hash)];
    if (at > tap.entryLimit || slot.hash != hash) [[unlikely]] {
        return tapNewNative(hash, shape);
    }
    at[0] = slot.index;
    at[1] = shape;
    return at + 1;
}

// Each argument after it, at a cursor of the caller's: its slot's low half,
// or the text.
[[gnu::always_inline]] inline void tapArgument(std::uint8_t*& at, std::int32_t value) {
    putNumber(at, static_cast<std::uint32_t>(value));
}
[[gnu::always_inline]] inline void tapArgument(std::uint8_t*& at, float value) {
    putNumber(at, std::bit_cast<std::uint32_t>(value));
}
void tapArgument(std::uint8_t*& at, const char* text);

// The result's low half, the only part the plug-in reads, when it isn't 0.
[[gnu::always_inline]] inline void tapResult(std::uint8_t* shape,
                                             const unsigned long long* result) {
    const auto value = static_cast<std::uint32_t>(result[0]);
    if (value != 0 && shape != nullptr) {
        *shape |= resultBit;
        putNumber(tapState.cursor, value);
    }
}

[[gnu::cold]] void tapKey(std::int32_t key, std::int16_t state);
[[gnu::cold]] void tapFocus(bool focused);
