// The key-binding file's format and the one reader that applies it, for the
// plug-in, check-bindings and the fuzz target alike: it takes the whole
// file's bytes, as the host read them, and then its lines one at a time, with
// the format's rules in order.
#pragma once

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

#include "host/keyboard.h"

// Keys are Windows virtual-key codes; pad buttons are the game's control
// numbers. 0 binds nothing. A switch is 1 for on, else off.
struct KeyBindings {
    VirtualKeyCode clutchKey, firstGearKey, secondGearKey, thirdGearKey, fourthGearKey, reverseKey;
    VirtualKeyCode toggleKey, reloadKey, shiftUpKey, shiftDownKey, recordKey, bindKey;
    std::int32_t padHoldControl, padUpControl, padDownControl;
    std::int32_t fitGears;
};

struct BindingField {
    // A switch takes 0 or 1 only.
    enum class Kind : std::uint8_t { GearKey, OptionalKey, PadControl, Switch };
    std::string_view keyText;
    std::string_view fieldName;
    VirtualKeyCode KeyBindings::*member;
    Kind kind;
};

// In the order a line tests them: the first key text found anywhere in a line
// selects its field. So no key text may hold another: "PadClutch" would bind
// the clutch key.
inline constexpr std::array<BindingField, 16> bindingFields = {{
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
    {"Record", "recordKey", &KeyBindings::recordKey, BindingField::Kind::OptionalKey},
    {"Bind", "bindKey", &KeyBindings::bindKey, BindingField::Kind::OptionalKey},
    {"PadHold", "padHoldControl", &KeyBindings::padHoldControl, BindingField::Kind::PadControl},
    {"PadUp", "padUpControl", &KeyBindings::padUpControl, BindingField::Kind::PadControl},
    {"PadDown", "padDownControl", &KeyBindings::padDownControl, BindingField::Kind::PadControl},
    {"FitGears", "fitGears", &KeyBindings::fitGears, BindingField::Kind::Switch},
}};

constexpr auto holdsAnotherKeyText = [](const BindingField& field) {
    return std::ranges::count_if(bindingFields, [&field](const BindingField& other) {
               return field.keyText.find(other.keyText) != std::string_view::npos;
           }) > 1;
};
static_assert(std::ranges::none_of(bindingFields, holdsAnotherKeyText));

constexpr int noField = -1;
using FieldSet = std::uint16_t; // bit i stands for bindingFields[i]
static_assert(bindingFields.size() <= 16);

// A longer file is not read at all; one of exactly 1 MiB still is.
constexpr std::size_t bindingFileBytesAtMost = 1024 * 1024;
// The game's control numbers run from 0 to this.
constexpr std::int32_t lastGameControl = 360;

// A line without a key text has no value to parse: NoDigits.
enum class ValueParse : std::uint8_t { Parsed, NoDigits, OutOfRange, NoGameControl, NoSwitch };

// What one line did.
struct LineOutcome {
    std::uint64_t number = 0; // from 1
    std::string_view text;    // as written, valid only while the line is handed on
    FieldSet keyTextsFound = 0;
    int field = noField; // the first found selects its field
    bool hasEquals = false;
    ValueParse parse = ValueParse::NoDigits;
    std::int32_t value = 0;   // also when it is no game control
    int byteAfterDigits = -1; // -1 when the line ended the digits, or had none
};

// What the whole text did.
struct ReadSummary {
    std::uint64_t lines = 0;
    bool tooLarge = false; // then no line is read
    bool utf8ByteOrderMark = false;
    bool utf16 = false; // began with a UTF-16 byte-order mark: no line is read
    bool nulBytes = false;
    std::uint64_t ctrlZLine = 0; // the line whose Ctrl-Z ended the text, or 0
};

inline constexpr std::string_view blankBytes = " \t\n\v\f\r";

inline LineOutcome readBindingLine(std::string_view line, std::uint64_t number) {
    LineOutcome outcome{.number = number, .text = line};
    for (std::size_t field = 0; field < bindingFields.size(); ++field) {
        if (line.find(bindingFields[field].keyText) != std::string_view::npos) {
            outcome.keyTextsFound |= static_cast<FieldSet>(1u << field);
            if (outcome.field == noField) {
                outcome.field = static_cast<int>(field);
            }
        }
    }
    const std::size_t equals = line.find('=');
    outcome.hasEquals = equals != std::string_view::npos;
    if (outcome.field == noField) {
        return outcome;
    }

    // The value: after the first "=", or the whole line; blanks, one optional
    // sign, then decimal digits up to the first other byte.
    std::string_view value = line.substr(outcome.hasEquals ? equals + 1 : 0);
    value.remove_prefix(std::min(value.find_first_not_of(blankBytes), value.size()));
    // from_chars takes a "-" but no "+", and no sign may follow a "+".
    value.remove_prefix(value.size() > 1 && value[0] == '+' && value[1] != '-' ? 1 : 0);
    const char* const end = value.data() + value.size();
    const auto [after, error] = std::from_chars(value.data(), end, outcome.value);
    if (error == std::errc::invalid_argument) {
        return outcome;
    }
    outcome.byteAfterDigits = after < end ? static_cast<unsigned char>(*after) : -1;
    const BindingField::Kind kind = bindingFields[outcome.field].kind;
    outcome.parse = error == std::errc::result_out_of_range ? ValueParse::OutOfRange
                    : kind == BindingField::Kind::PadControl &&
                            (outcome.value < 0 || outcome.value > lastGameControl)
                        ? ValueParse::NoGameControl
                    : kind == BindingField::Kind::Switch && outcome.value != 0 && outcome.value != 1
                        ? ValueParse::NoSwitch
                        : ValueParse::Parsed;
    return outcome;
}

// Applies the text's lines over bindings in file order, handing each line's
// outcome to onLine after. A line that doesn't parse leaves its field as it was.
template <typename OnLine>
ReadSummary readBindingText(std::string_view text, KeyBindings& bindings, OnLine&& onLine) {
    ReadSummary summary;
    summary.tooLarge = text.size() > bindingFileBytesAtMost;
    summary.utf16 =
        !summary.tooLarge && (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF"));
    if (summary.tooLarge || summary.utf16) {
        return summary;
    }
    std::string_view rest = text;
    summary.utf8ByteOrderMark = rest.starts_with("\xEF\xBB\xBF");
    rest.remove_prefix(summary.utf8ByteOrderMark ? 3 : 0);
    // Text mode: Ctrl-Z ends the text, and a CR right before an LF is dropped.
    const std::size_t ctrlZ = rest.find('\x1A');
    if (ctrlZ != std::string_view::npos) {
        rest = rest.substr(0, ctrlZ);
        summary.ctrlZLine = static_cast<std::uint64_t>(std::ranges::count(rest, '\n')) + 1;
    }
    summary.nulBytes = rest.find('\0') != std::string_view::npos;
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find('\n'), rest.size());
        std::string_view line = rest.substr(0, end);
        if (end < rest.size() && line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        const LineOutcome outcome = readBindingLine(line, ++summary.lines);
        if (outcome.parse == ValueParse::Parsed) {
            bindings.*bindingFields[outcome.field].member = outcome.value;
        }
        onLine(outcome);
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    return summary;
}
