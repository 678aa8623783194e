// The recorder's tap on this floor: while a recorded pass is open, every
// native call, key query, focus check, file question and game controller's
// answer that crosses here is written as one
// entry of the drive recording where the cursor points. Which passes are
// recorded, and into what buffer, is the recorder's business a floor up; a
// crossing while no pass is open only tests the cursor, and what records is
// out of line.
#pragma once

#include <bit>
#include <cstdint>
#include <span>
#include <string_view>

#include "host/controller_faults.h"
#include "recording/recording.h"

struct GameController;
struct ForceParameters;
enum class ForceEffect : std::uint8_t;
enum class ForceFeedbackStatus : std::uint8_t;

// The largest entry: a native call with a text and eight more arguments.
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
    // Of the room for files read in this pass, what is left.
    std::size_t fileBytesLeft = 0;
};

// Only the tap's own functions write it, here, in tap.cpp and in
// tap_controllers.cpp; it is not file-local so that a crossing while no pass
// is open costs the test of one pointer.
extern TapState tapState;

inline bool tapOpen() {
    return tapState.cursor != nullptr;
}

// Opens a pass whose entries go from at: an entry that would begin past
// entryLimit cuts it, and the files it reads may take fileBytes more.
void openTap(std::uint8_t* at, std::uint8_t* entryLimit, std::size_t fileBytes);

// Where the open pass's entries end, and whether it was cut; null when no
// pass was open. No pass is open after it.
struct TapEnd {
    std::uint8_t* at = nullptr;
    bool cut = false;
};
TapEnd closeTap();

// The pass has too little room left for another entry.
[[gnu::cold, gnu::noinline]] void tapCut();

// A native call's arguments: each one's slot's low half, or the text.
[[gnu::always_inline]] inline void tapArgument(std::uint8_t*& at, std::int32_t value) {
    putNumber(at, static_cast<std::uint32_t>(value));
}
[[gnu::always_inline]] inline void tapArgument(std::uint8_t*& at, float value) {
    putNumber(at, std::bit_cast<std::uint32_t>(value));
}
void tapArgument(std::uint8_t*& at, const char* text);

// A native call's entry, begun before the call is made: the native's index in
// the recording's table of natives, which lists every native the plug-in
// calls in the order of the Native enumeration, its shape (the number of
// arguments, textArgumentBit when the first is text) and its arguments. The
// shape's byte, for tapResult, or null when the pass is cut and nothing of
// the call is written.
template <typename... Arguments>
[[gnu::always_inline]] inline std::uint8_t* tapNative(std::uint8_t index, std::uint8_t shape,
                                                      Arguments... arguments) {
    std::uint8_t* const at = tapState.cursor;
    if (at > tapState.entryLimit) [[unlikely]] {
        tapCut();
        return nullptr;
    }
    at[0] = index;
    at[1] = shape;
    std::uint8_t* next = at + 2;
    (tapArgument(next, arguments), ...);
    tapState.cursor = next;
    return at + 1;
}

// The result's low half, the only part the plug-in reads, when it isn't 0.
[[gnu::always_inline]] inline void tapResult(std::uint8_t* shape,
                                             const unsigned long long* result) {
    const auto value = static_cast<std::uint32_t>(result[0]);
    if (value != 0 && shape != nullptr) {
        *shape |= resultBit;
        putNumber(tapState.cursor, value);
    }
}

// A vector's three results, x, y and z.
[[gnu::always_inline]] inline void tapVectorResult(std::uint8_t* shape,
                                                   const unsigned long long* result) {
    if (shape != nullptr) {
        *shape |= vectorResultBit;
        for (int i = 0; i < 3; ++i) {
            putNumber(tapState.cursor, static_cast<std::uint32_t>(result[i]));
        }
    }
}

// The plug-in's values of state, first in a pass that keeps them.
void tapStateValues(std::span<const std::int32_t> values);

// Where an entry of this many bytes goes, which may be more than
// entryBytesAtMost, or null when the pass has no room left for it, which
// cuts it. The caller, one of the tap's functions, moves the cursor past what
// it writes.
[[gnu::cold]] std::uint8_t* tapEntry(std::size_t bytes);

[[gnu::cold]] void tapKey(std::int32_t key, std::int16_t state);
[[gnu::cold]] void tapFocus(bool focused);
// A file question and its answer; a read's bytes go beyond the pass's usual
// room, into the room for files, and a read that doesn't fit there cuts it.
[[gnu::cold]] void tapFile(FileQuestion question, std::uint8_t answer, std::string_view bytes);

// The game controllers found, as an entry of this tag (controllersTag, or
// controllersKeptTag): each one's id, type, whether opened, and name; as
// the tag's with faults when the look, or a controller's opening, came to one.
[[gnu::cold]] void tapControllers(std::uint8_t tag, std::span<const GameController> found,
                                  ControllerFault systemFault);
// A read of the controller at this place among those found: its input, or
// why it failed.
[[gnu::cold, gnu::noinline]] void tapControllerRead(std::size_t index,
                                                    const GameController& controller);

// Force feedback opened, and what it came to; an effect set and started; every
// effect stopped.
[[gnu::cold]] void tapForcesOpened(std::size_t place, std::int32_t strength,
                                   ForceFeedbackStatus status);
[[gnu::cold, gnu::noinline]] void tapForceSet(ForceEffect effect,
                                              const ForceParameters& parameters);
[[gnu::cold]] void tapForcesStopped();
