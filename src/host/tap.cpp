#include "host/tap.h"

TapState tapState;

namespace {

void cutPass(TapState& tap) {
    tap.passCut = true;
    tap.entryLimit = tap.cursor - 1;
}

// Where the next entry goes: null once the pass has too little room left for
// another entry, which cuts it.
std::uint8_t* nextEntry(TapState& tap) {
    if (tap.cursor > tap.entryLimit) {
        cutPass(tap);
        return nullptr;
    }
    return tap.cursor;
}

// The native's index, added to the table the first time; a table that is
// full cuts the pass.
bool nativeIndex(TapState& tap, std::uint64_t hash, std::uint8_t& index) {
    std::size_t slot = homeSlot(hash);
    for (; tap.nativeSlots[slot].hash != 0; slot = (slot + 1) % tap.nativeSlots.size()) {
        if (tap.nativeSlots[slot].hash == hash) {
            index = tap.nativeSlots[slot].index;
            return true;
        }
    }
    if (tap.nativeCount == recordedNativesAtMost) {
        cutPass(tap);
        return false;
    }
    index = static_cast<std::uint8_t>(tap.nativeCount);
    tap.natives[tap.nativeCount++] = hash;
    tap.nativeSlots[slot] = {hash, index};
    return true;
}

} // namespace

std::uint8_t* tapNewNative(std::uint64_t hash, std::uint8_t shape) {
    TapState& tap = tapState;
    std::uint8_t index = 0;
    std::uint8_t* const at = nextEntry(tap);
    if (at == nullptr || !nativeIndex(tap, hash, index)) {
        return nullptr;
    }
    at[0] = index;
    at[1] = shape;
    return at + 1;
}

// Byte by byte: the texts are a few bytes long, shorter than a call to copy.
void tapArgument(std::uint8_t*& at, const char* text) {
    std::uint8_t* const length = at++;
    std::size_t count = 0;
    for (; count < recordedTextAtMost && text[count] != '\0'; ++count) {
        at[count] = static_cast<std::uint8_t>(text[count]);
    }
    *length = static_cast<std::uint8_t>(count);
    at += count;
}

void tapKey(std::int32_t key, std::int16_t state) {
    std::uint8_t* at = nextEntry(tapState);
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
    tapState.cursor = at;
}

void tapFocus(bool focused) {
    std::uint8_t* at = nextEntry(tapState);
    if (at == nullptr) {
        return;
    }
    *at++ = focused ? focusTag : focusLostTag;
    tapState.cursor = at;
}
