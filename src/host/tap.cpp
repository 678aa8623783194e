#include "host/tap.h"

TapState tapState;

void openTap(std::uint8_t* at, std::uint8_t* entryLimit, std::size_t fileBytes) {
    tapState = {
        .cursor = at, .entryLimit = entryLimit, .passCut = false, .fileBytesLeft = fileBytes};
}

TapEnd closeTap() {
    const TapEnd end = {tapState.cursor, tapState.passCut};
    tapState = TapState{};
    return end;
}

void tapCut() {
    tapState.passCut = true;
    tapState.entryLimit = tapState.cursor - 1;
}

namespace {

// Where the next entry goes: null once the pass has too little room left for
// another entry, which cuts it.
std::uint8_t* nextEntry(TapState& tap) {
    if (tap.cursor > tap.entryLimit) {
        tapCut();
        return nullptr;
    }
    return tap.cursor;
}

} // namespace

std::uint8_t* tapEntry(std::size_t bytes) {
    std::uint8_t* const at = nextEntry(tapState);
    // The pass ends where an entry of the most bytes beginning at the limit
    // would.
    if (at != nullptr &&
        bytes > static_cast<std::size_t>(tapState.entryLimit + entryBytesAtMost - at)) {
        tapCut();
        return nullptr;
    }
    return at;
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

void tapStateValues(std::span<const std::int32_t> values) {
    std::uint8_t* at = tapState.cursor;
    if (at == nullptr) {
        return;
    }
    *at++ = stateTag;
    *at++ = static_cast<std::uint8_t>(values.size());
    putBytes(at, values.data(), values.size_bytes());
    tapState.cursor = at;
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

void tapFile(FileQuestion question, std::uint8_t answer, std::string_view bytes) {
    std::uint8_t* at = nextEntry(tapState);
    if (at == nullptr) {
        return;
    }
    if (bytes.size() > tapState.fileBytesLeft) {
        tapCut();
        return;
    }
    *at++ = fileTag;
    *at++ = static_cast<std::uint8_t>(question);
    *at++ = answer;
    if (readBytesFollow(question, answer)) {
        putNumber(at, static_cast<std::uint32_t>(bytes.size()));
        putBytes(at, bytes.data(), bytes.size());
        tapState.entryLimit += bytes.size();
        tapState.fileBytesLeft -= bytes.size();
    }
    tapState.cursor = at;
}
