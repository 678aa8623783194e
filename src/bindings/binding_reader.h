// The key-binding file's format and the one reader that applies it, for the
// plug-in and for check-bindings alike. Read top to bottom, it follows the
// format's rules in their order: the byte-order mark, the text-mode line ends
// and Ctrl-Z, then per line the key texts and the value after the first "=".
// It keeps a few hundred bytes whatever the length of a line or of the file.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "host/keyboard.h"

// Keys are Windows virtual-key codes; pad buttons are the game's control
// numbers. 0 binds nothing.
struct KeyBindings {
    VirtualKeyCode clutchKey;
    VirtualKeyCode firstGearKey;
    VirtualKeyCode secondGearKey;
    VirtualKeyCode thirdGearKey;
    VirtualKeyCode fourthGearKey;
    VirtualKeyCode reverseKey;
    VirtualKeyCode toggleKey;
    VirtualKeyCode reloadKey;
    VirtualKeyCode shiftUpKey;
    VirtualKeyCode shiftDownKey;
    std::int32_t padHoldControl;
    std::int32_t padUpControl;
    std::int32_t padDownControl;
};

struct BindingField {
    enum class Kind : std::uint8_t { GearKey, OptionalKey, PadControl };
    std::string_view keyText;
    std::string_view fieldName;
    VirtualKeyCode KeyBindings::*member;
    Kind kind;
};

// In the order a line tests them: the first key text found anywhere in a line
// selects its field. So no key text may hold another: "PadClutch" would bind
// the clutch key.
inline constexpr std::array<BindingField, 13> bindingFields = {{
    {"Clutch", "clutchKey", &KeyBindings::clutchKey, BindingField::Kind::GearKey},
    {"FirstGear", "firstGearKey", &KeyBindings::firstGearKey, BindingField::Kind::GearKey},
    {"SecondGear", "secondGearKey", &KeyBindings::secondGearKey, BindingField::Kind::GearKey},
    {"ThirdGear", "thirdGearKey", &KeyBindings::thirdGearKey, BindingField::Kind::GearKey},
    {"FourthGear", "fourthGearKey", &KeyBindings::fourthGearKey, BindingField::Kind::GearKey},
    {"Reverse", "reverseKey", &KeyBindings::reverseKey, BindingField::Kind::GearKey},
    {"Enable/Disable", "toggleKey", &KeyBindings::toggleKey, BindingField::Kind::OptionalKey},
    {"Reload", "reloadKey", &KeyBindings::reloadKey, BindingField::Kind::OptionalKey},
    {"ShiftUp", "shiftUpKey", &KeyBindings::shiftUpKey, BindingField::Kind::OptionalKey},
    {"ShiftDown", "shiftDownKey", &KeyBindings::shiftDownKey, BindingField::Kind::OptionalKey},
    {"PadHold", "padHoldControl", &KeyBindings::padHoldControl, BindingField::Kind::PadControl},
    {"PadUp", "padUpControl", &KeyBindings::padUpControl, BindingField::Kind::PadControl},
    {"PadDown", "padDownControl", &KeyBindings::padDownControl, BindingField::Kind::PadControl},
}};

static_assert(
    [] {
        for (const BindingField& a : bindingFields) {
            for (const BindingField& b : bindingFields) {
                if (&a != &b && a.keyText.find(b.keyText) != std::string_view::npos) {
                    return false;
                }
            }
        }
        return true;
    }(),
    "a key text that holds another would bind the wrong field");

constexpr int noField = -1;

// Bit i stands for bindingFields[i].
using FieldSet = std::uint16_t;
static_assert(bindingFields.size() <= 16);

constexpr std::size_t longestKeyText =
    std::ranges::max(bindingFields, {}, [](const BindingField& f) {
        return f.keyText.size();
    }).keyText.size();

// Enough of a line's start to show it cut to 40 columns.
constexpr std::size_t keptLineStart = 41;

enum class ValueParse : std::uint8_t { Parsed, NoDigits, OutOfRange };

// What one line did, and what it takes to explain it.
struct LineOutcome {
    std::uint64_t number = 0; // from 1
    std::uint64_t length = 0;
    std::array<char, keptLineStart> start{}; // the first bytes as written
    bool blank = true;                       // empty, or whitespace only
    // The fields whose key text occurs in the line.
    FieldSet keyTextsFound = 0;
    // The first key text found written in another letter case, as written.
    int otherCaseField = noField;
    std::array<char, longestKeyText> otherCase{};
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
    bool nulBytes = false;
    // The line that held a Ctrl-Z byte, which ends the text; 0 when none did.
    std::uint64_t ctrlZLine = 0;
    bool readError = false;
};

namespace bindingReader {

constexpr bool isBlank(int byte) {
    return byte == ' ' || (byte >= '\t' && byte <= '\r');
}

constexpr bool isDigit(int byte) {
    return byte >= '0' && byte <= '9';
}

constexpr char lowerCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr std::uint64_t magnitudeLimit = 2147483648u;

// The value: blanks, one optional sign, then digits up to the first other byte.
struct ValueScan {
    enum class Step : std::uint8_t { Blanks, Sign, Digits, Done } step = Step::Blanks;
    bool negative = false;
    bool digits = false;
    std::uint64_t magnitude = 0; // stops growing just past the largest in range
    int byteAfterDigits = -1;
};

// The line's last bytes are kept in a ring: byte i of the line at i % ringSize.
constexpr std::size_t ringSize = 16;
static_assert(longestKeyText <= ringSize);

// One line on its way through the reader.
struct Line {
    LineOutcome outcome;
    // Zeros, where the line is shorter than the ring, match no key text.
    std::array<char, ringSize> recent{};
    FieldSet foundInAnyCase = 0;
    ValueScan value;
};

// For each byte, the fields whose key text ends with it in either case: only
// they can be completed by it.
inline constexpr std::array<FieldSet, 256> keyTextsEndingWith = [] {
    std::array<FieldSet, 256> ending{};
    for (std::size_t byte = 0; byte < ending.size(); ++byte) {
        for (std::size_t field = 0; field < bindingFields.size(); ++field) {
            if (lowerCase(static_cast<char>(byte)) ==
                lowerCase(bindingFields[field].keyText.back())) {
                ending[byte] |= static_cast<FieldSet>(1u << field);
            }
        }
    }
    return ending;
}();

// Whether the line's bytes so far, the newest being byte, end with a key text,
// exactly or in another case.
inline void findKeyTexts(Line& line, unsigned char byte) {
    const auto written = [&line](std::uint64_t at) { return line.recent[at % ringSize]; };
    for (FieldSet candidates = keyTextsEndingWith[byte]; candidates != 0;
         candidates &= static_cast<FieldSet>(candidates - 1)) {
        const int field = std::countr_zero(candidates);
        const std::string_view keyText = bindingFields[static_cast<std::size_t>(field)].keyText;
        const std::uint64_t begin = line.outcome.length - keyText.size();
        std::size_t unmatched = keyText.size();
        while (unmatched > 0 &&
               lowerCase(written(begin + unmatched - 1)) == lowerCase(keyText[unmatched - 1])) {
            --unmatched;
        }
        if (unmatched > 0) {
            continue;
        }
        bool exact = true;
        for (std::size_t i = 0; i < keyText.size(); ++i) {
            exact = exact && written(begin + i) == keyText[i];
        }
        const auto bit = static_cast<FieldSet>(1u << field);
        LineOutcome& outcome = line.outcome;
        if (exact) {
            outcome.keyTextsFound |= bit;
        } else if ((line.foundInAnyCase & bit) == 0 && outcome.otherCaseField == noField) {
            outcome.otherCaseField = field;
            for (std::size_t i = 0; i < keyText.size(); ++i) {
                outcome.otherCase[i] = written(begin + i);
            }
        }
        line.foundInAnyCase |= bit;
    }
}

inline void parseValue(ValueScan& value, unsigned char byte) {
    using Step = ValueScan::Step;
    if (value.step == Step::Blanks && isBlank(byte)) {
        return;
    }
    if (value.step == Step::Blanks && (byte == '+' || byte == '-')) {
        value.negative = byte == '-';
        value.step = Step::Sign;
    } else if (value.step != Step::Done && isDigit(byte)) {
        value.digits = true;
        value.magnitude = std::min(value.magnitude * 10 + (byte - '0'), magnitudeLimit + 1);
        value.step = Step::Digits;
    } else if (value.step != Step::Done) {
        value.byteAfterDigits = value.digits ? byte : -1;
        value.step = Step::Done;
    }
}

inline void addByte(Line& line, unsigned char byte) {
    LineOutcome& outcome = line.outcome;
    if (outcome.length < keptLineStart) {
        outcome.start[outcome.length] = static_cast<char>(byte);
    }
    line.recent[outcome.length % ringSize] = static_cast<char>(byte);
    ++outcome.length;
    outcome.blank = outcome.blank && isBlank(byte);
    findKeyTexts(line, byte);
    if (byte == '=' && !outcome.hasEquals) {
        // The value is what follows the first "=", not the line's start.
        outcome.hasEquals = true;
        line.value = ValueScan{};
    } else {
        parseValue(line.value, byte);
    }
}

inline const LineOutcome& finishLine(Line& line, std::uint64_t number) {
    const ValueScan& value = line.value;
    LineOutcome& outcome = line.outcome;
    outcome.number = number;
    outcome.byteAfterDigits = value.byteAfterDigits;
    if (!value.digits) {
        outcome.parse = ValueParse::NoDigits;
    } else if (value.magnitude > magnitudeLimit - (value.negative ? 0 : 1)) {
        outcome.parse = ValueParse::OutOfRange;
    } else {
        outcome.parse = ValueParse::Parsed;
        const auto magnitude = static_cast<std::int64_t>(value.magnitude);
        outcome.value = static_cast<std::int32_t>(value.negative ? -magnitude : magnitude);
    }
    return outcome;
}

} // namespace bindingReader

// Reads the file to its end, handing each line's outcome to onLine in file
// order. A read error ends the text as the end of the file would.
template <typename OnLine>
ReadSummary readBindingFile(std::FILE* file, OnLine&& onLine) {
    using namespace bindingReader;
    constexpr int ctrlZ = 26;
    ReadSummary summary;

    // A UTF-8 byte-order mark is dropped; a UTF-16 one ends the text at once.
    unsigned char head[3];
    const std::size_t headLength = std::fread(head, 1, sizeof head, file);
    summary.utf16 = headLength >= 2 &&
                    ((head[0] == 0xFF && head[1] == 0xFE) || (head[0] == 0xFE && head[1] == 0xFF));
    summary.utf8ByteOrderMark =
        headLength == 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF;
    std::size_t headRead = summary.utf8ByteOrderMark ? headLength : 0;
    const auto nextByte = [&] {
        return headRead < headLength ? head[headRead++] : std::getc(file);
    };

    Line line;
    // Text mode: a carriage return right before a line feed is dropped, so it
    // waits for the next byte.
    bool carriageReturn = false;
    int byte = EOF;
    while (!summary.utf16 && (byte = nextByte()) != EOF && byte != ctrlZ) {
        summary.nulBytes = summary.nulBytes || byte == 0;
        if (carriageReturn && byte != '\n') {
            addByte(line, '\r');
        }
        carriageReturn = byte == '\r';
        if (byte == '\n') {
            onLine(finishLine(line, ++summary.lines));
            line = Line{};
        } else if (byte != '\r') {
            addByte(line, static_cast<unsigned char>(byte));
        }
    }
    if (byte == ctrlZ) {
        summary.ctrlZLine = summary.lines + 1;
    }
    if (carriageReturn) {
        addByte(line, '\r');
    }
    // A last line without a line end still counts.
    if (line.outcome.length > 0) {
        onLine(finishLine(line, ++summary.lines));
    }
    summary.readError = std::ferror(file) != 0;
    return summary;
}
