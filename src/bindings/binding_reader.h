// The key-binding file's format and the one reader that applies it. The reader
// follows every rule byte by byte, so it holds a few dozen bytes of state
// whatever the length of a line or of the file. What it makes of each line goes
// to a consumer given as a template parameter: the plug-in's consumer only
// stores values, the binding checker's also explains them, and both read with
// the same rules.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string_view>

#include "host/natives.h"

struct KeyBindings {
    VirtualKeyCode clutchKey;
    VirtualKeyCode firstGearKey;
    VirtualKeyCode secondGearKey;
    VirtualKeyCode thirdGearKey;
    VirtualKeyCode fourthGearKey;
    VirtualKeyCode reverseKey;
    VirtualKeyCode toggleKey;
};

struct BindingField {
    std::string_view keyText;
    std::string_view fieldName;
    VirtualKeyCode KeyBindings::*member;
};

// In the order a line tests them: the first key text found anywhere in a line
// selects its field.
inline constexpr std::array<BindingField, 7> bindingFields = {{
    {"Clutch", "clutchKey", &KeyBindings::clutchKey},
    {"FirstGear", "firstGearKey", &KeyBindings::firstGearKey},
    {"SecondGear", "secondGearKey", &KeyBindings::secondGearKey},
    {"ThirdGear", "thirdGearKey", &KeyBindings::thirdGearKey},
    {"FourthGear", "fourthGearKey", &KeyBindings::fourthGearKey},
    {"Reverse", "reverseKey", &KeyBindings::reverseKey},
    {"Enable/Disable", "toggleKey", &KeyBindings::toggleKey},
}};

constexpr int noField = -1;

// --- Finding the key texts ------------------------------------------------------
// One automaton finds all seven key texts at once, overlaps included
// ("ClClutch", "FirstGearFirstGear"): a state is the longest tail of the bytes
// read so far that begins some key text.

constexpr std::size_t keyTextStateCount = [] {
    std::size_t count = 1;
    for (const BindingField& field : bindingFields) {
        count += field.keyText.size();
    }
    return count;
}();

// Plain arrays keep the compile-time construction within every compiler's
// step limit.
struct KeyTextAutomaton {
    std::uint8_t next[keyTextStateCount][256];
    // Bit i: key text i ends at this state.
    std::uint8_t found[keyTextStateCount];
};

constexpr unsigned char lowerCase(unsigned char byte) {
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

// With foldCase the automaton knows the key texts in lower case only; it is fed
// lower-cased bytes to find a key text written in another case.
constexpr KeyTextAutomaton buildKeyTextAutomaton(bool foldCase) {
    // Until the fallbacks are filled in, 0 means "no such child": the start
    // state is nobody's child.
    KeyTextAutomaton automaton{};
    std::uint8_t stateCount = 1;
    for (std::size_t i = 0; i < bindingFields.size(); ++i) {
        std::uint8_t state = 0;
        for (const char c : bindingFields[i].keyText) {
            const unsigned char byte =
                foldCase ? lowerCase(static_cast<unsigned char>(c)) : static_cast<unsigned char>(c);
            if (automaton.next[state][byte] == 0) {
                automaton.next[state][byte] = stateCount++;
            }
            state = automaton.next[state][byte];
        }
        automaton.found[state] |= static_cast<std::uint8_t>(1u << i);
    }

    // Breadth first, so that a state's fallback is complete before its children.
    std::uint8_t fallback[keyTextStateCount]{};
    std::uint8_t queue[keyTextStateCount]{};
    std::size_t head = 0;
    std::size_t tail = 0;
    for (const std::uint8_t child : automaton.next[0]) {
        if (child != 0) {
            queue[tail++] = child;
        }
    }
    while (head < tail) {
        const std::uint8_t state = queue[head++];
        for (std::size_t byte = 0; byte < 256; ++byte) {
            const std::uint8_t child = automaton.next[state][byte];
            const std::uint8_t fallbackNext = automaton.next[fallback[state]][byte];
            if (child == 0) {
                automaton.next[state][byte] = fallbackNext;
                continue;
            }
            fallback[child] = fallbackNext;
            automaton.found[child] |= automaton.found[fallbackNext];
            queue[tail++] = child;
        }
    }
    return automaton;
}

inline constexpr KeyTextAutomaton keyTexts = buildKeyTextAutomaton(false);

// --- What a line did ------------------------------------------------------------

enum class ValueParse : std::uint8_t { Parsed, NoDigits, OutOfRange };

struct LineOutcome {
    std::uint64_t number = 0; // from 1
    // Bit i: the key text of bindingFields[i] occurs in the line.
    std::uint8_t keyTextsFound = 0;
    bool hasEquals = false;
    ValueParse parse = ValueParse::NoDigits;
    std::int32_t value = 0;
    // The byte that ended the value's digits, or -1 when the line did.
    int byteAfterDigits = -1;
};

inline int selectedField(const LineOutcome& line) {
    return line.keyTextsFound == 0 ? noField : std::countr_zero(line.keyTextsFound);
}

inline bool lineStores(const LineOutcome& line) {
    return line.keyTextsFound != 0 && line.parse == ValueParse::Parsed;
}

// A line that doesn't store leaves the field exactly as it was.
inline void applyLine(KeyBindings& bindings, const LineOutcome& line) {
    if (lineStores(line)) {
        bindings.*bindingFields[selectedField(line)].member = line.value;
    }
}

// What the whole text did.
struct ReadSummary {
    std::uint64_t lines = 0;
    bool utf8ByteOrderMark = false;
    // Began with a UTF-16 byte-order mark: no line is read at all.
    bool utf16 = false;
    // The line that held a Ctrl-Z byte, which ends the text; 0 when none did.
    std::uint64_t ctrlZLine = 0;
    bool readError = false;
};

// --- The reader -----------------------------------------------------------------

struct BindingScan {
    enum class Value : std::uint8_t { Blank, Signed, Digits, AfterDigits, NoDigits };

    // The first bytes of the text until they tell whether it begins with a
    // byte-order mark.
    std::array<unsigned char, 3> head{};
    std::uint8_t headLength = 0;
    bool headDecided = false;
    bool ended = false;
    bool pendingCarriageReturn = false;
    ReadSummary summary;

    bool lineHasBytes = false;
    std::uint8_t keyTextState = 0;
    LineOutcome line;
    Value value = Value::Blank;
    bool negative = false;
    // Saturates just past the largest magnitude in range.
    std::uint64_t magnitude = 0;
};

namespace bindingScanDetail {

constexpr std::uint64_t magnitudeLimit = 2147483648u;

constexpr bool isBlank(unsigned char byte) {
    return byte == ' ' || (byte >= '\t' && byte <= '\r');
}

constexpr bool isDigit(unsigned char byte) {
    return byte >= '0' && byte <= '9';
}

inline void parseValueByte(BindingScan& scan, unsigned char byte) {
    using Value = BindingScan::Value;
    switch (scan.value) {
    case Value::Blank:
        if (isBlank(byte)) {
            return;
        }
        if (byte == '+' || byte == '-') {
            scan.negative = byte == '-';
            scan.value = Value::Signed;
            return;
        }
        [[fallthrough]];
    case Value::Signed:
        if (isDigit(byte)) {
            scan.magnitude = byte - '0';
            scan.value = Value::Digits;
        } else {
            scan.value = Value::NoDigits;
        }
        return;
    case Value::Digits:
        if (isDigit(byte)) {
            const std::uint64_t grown = scan.magnitude * 10 + (byte - '0');
            scan.magnitude = grown > magnitudeLimit ? magnitudeLimit + 1 : grown;
        } else {
            scan.line.byteAfterDigits = byte;
            scan.value = Value::AfterDigits;
        }
        return;
    case Value::AfterDigits:
    case Value::NoDigits:
        return;
    }
}

template <typename Consumer>
void lineByte(BindingScan& scan, unsigned char byte, Consumer& consumer) {
    scan.lineHasBytes = true;
    scan.keyTextState = keyTexts.next[scan.keyTextState][byte];
    scan.line.keyTextsFound |= keyTexts.found[scan.keyTextState];
    if (byte == '=' && !scan.line.hasEquals) {
        // The value is what follows the first "=", not the line's start.
        scan.line.hasEquals = true;
        scan.value = BindingScan::Value::Blank;
        scan.negative = false;
        scan.magnitude = 0;
        scan.line.byteAfterDigits = -1;
    } else {
        parseValueByte(scan, byte);
    }
    consumer.lineByte(byte);
}

template <typename Consumer>
void endLine(BindingScan& scan, Consumer& consumer) {
    using Value = BindingScan::Value;
    LineOutcome& line = scan.line;
    line.number = ++scan.summary.lines;
    if (scan.value != Value::Digits && scan.value != Value::AfterDigits) {
        line.parse = ValueParse::NoDigits;
    } else if (scan.magnitude > magnitudeLimit - (scan.negative ? 0 : 1)) {
        line.parse = ValueParse::OutOfRange;
    } else {
        line.parse = ValueParse::Parsed;
        line.value =
            static_cast<std::int32_t>(scan.negative ? -static_cast<std::int64_t>(scan.magnitude)
                                                    : static_cast<std::int64_t>(scan.magnitude));
    }
    consumer.lineEnd(line);

    scan.lineHasBytes = false;
    scan.keyTextState = 0;
    scan.line = LineOutcome{};
    scan.value = Value::Blank;
    scan.negative = false;
    scan.magnitude = 0;
}

// One byte of the text proper: the text-mode rules of line ends and Ctrl-Z.
template <typename Consumer>
void textByte(BindingScan& scan, unsigned char byte, Consumer& consumer) {
    if (scan.pendingCarriageReturn) {
        scan.pendingCarriageReturn = false;
        if (byte == '\n') {
            endLine(scan, consumer);
            return;
        }
        lineByte(scan, '\r', consumer);
    }
    switch (byte) {
    case '\n':
        endLine(scan, consumer);
        return;
    case '\r':
        scan.pendingCarriageReturn = true;
        return;
    case 26:
        scan.ended = true;
        scan.summary.ctrlZLine = scan.summary.lines + 1;
        return;
    default:
        lineByte(scan, byte, consumer);
    }
}

// Once the value is decided, the rest of a line can only add key texts.
inline bool onlyKeyTextsLeft(const BindingScan& scan) {
    using Value = BindingScan::Value;
    return scan.line.hasEquals && !scan.pendingCarriageReturn &&
           (scan.value == Value::AfterDigits || scan.value == Value::NoDigits);
}

// The bulk of a long line, with the automaton's state held in locals: up to
// the next byte that may end the line.
template <typename Consumer>
std::size_t followKeyTexts(BindingScan& scan, std::span<const unsigned char> bytes, std::size_t at,
                           Consumer& consumer) {
    std::uint8_t state = scan.keyTextState;
    std::uint8_t found = scan.line.keyTextsFound;
    for (; at < bytes.size(); ++at) {
        const unsigned char byte = bytes[at];
        if (byte == '\n' || byte == '\r' || byte == 26) {
            break;
        }
        state = keyTexts.next[state][byte];
        found |= keyTexts.found[state];
        consumer.lineByte(byte);
    }
    scan.keyTextState = state;
    scan.line.keyTextsFound = found;
    if (at < bytes.size()) {
        textByte(scan, bytes[at++], consumer);
    }
    return at;
}

constexpr std::array<unsigned char, 3> utf8Mark = {0xEF, 0xBB, 0xBF};

template <typename Consumer>
void releaseHead(BindingScan& scan, Consumer& consumer) {
    scan.headDecided = true;
    for (std::size_t i = 0; i < scan.headLength && !scan.ended; ++i) {
        textByte(scan, scan.head[i], consumer);
    }
}

// A UTF-8 mark is dropped; a UTF-16 mark ends the text before its first line.
template <typename Consumer>
void headByte(BindingScan& scan, unsigned char byte, Consumer& consumer) {
    scan.head[scan.headLength++] = byte;
    const unsigned char first = scan.head[0];
    const bool utf16 =
        (first == 0xFF || first == 0xFE) && scan.headLength == 2 && scan.head[1] == (first ^ 0x01);
    bool utf8 = true;
    for (std::size_t i = 0; i < scan.headLength; ++i) {
        utf8 = utf8 && scan.head[i] == utf8Mark[i];
    }
    if (utf16) {
        scan.headDecided = true;
        scan.ended = true;
        scan.summary.utf16 = true;
    } else if (utf8 && scan.headLength == utf8Mark.size()) {
        scan.headDecided = true;
        scan.summary.utf8ByteOrderMark = true;
    } else if (!utf8 && !((first == 0xFF || first == 0xFE) && scan.headLength == 1)) {
        releaseHead(scan, consumer);
    }
}

} // namespace bindingScanDetail

// Reads the next piece of the text; pieces may split it anywhere.
template <typename Consumer>
void scanBindingText(BindingScan& scan, std::span<const unsigned char> bytes, Consumer& consumer) {
    std::size_t at = 0;
    while (at < bytes.size() && !scan.ended) {
        if (!scan.headDecided) {
            bindingScanDetail::headByte(scan, bytes[at++], consumer);
        } else if (bindingScanDetail::onlyKeyTextsLeft(scan)) {
            at = bindingScanDetail::followKeyTexts(scan, bytes, at, consumer);
        } else {
            bindingScanDetail::textByte(scan, bytes[at++], consumer);
        }
    }
}

// The end of the text: a last line without a line end still counts.
template <typename Consumer>
ReadSummary finishBindingText(BindingScan& scan, Consumer& consumer) {
    if (!scan.headDecided) {
        bindingScanDetail::releaseHead(scan, consumer);
    }
    if (scan.pendingCarriageReturn) {
        scan.pendingCarriageReturn = false;
        bindingScanDetail::lineByte(scan, '\r', consumer);
    }
    if (scan.lineHasBytes) {
        bindingScanDetail::endLine(scan, consumer);
    }
    return scan.summary;
}

// A read error ends the text as the end of the file would.
template <typename Consumer>
ReadSummary readBindingFile(std::FILE* file, Consumer& consumer) {
    BindingScan scan;
    std::array<unsigned char, 4096> buffer;
    while (!scan.ended) {
        const std::size_t count = std::fread(buffer.data(), 1, buffer.size(), file);
        if (count == 0) {
            break;
        }
        scanBindingText(scan, std::span(buffer.data(), count), consumer);
    }
    scan.summary.readError = std::ferror(file) != 0;
    return finishBindingText(scan, consumer);
}
