// The key-binding file's format and the one reader that applies it, for the
// plug-in, check-bindings and the fuzz target alike: it takes the whole
// file's bytes, as the host read them, and then its lines one at a time, with
// the format's rules in order.
#pragma once

#include <algorithm>
#include <array>
#include <bitset>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "gears/gears.h"
#include "keys/controller_parts.h"
#include "keys/key_code.h"

// The key-binding file's fields, one row each, in the order a line tests
// them: the key text that selects it, its name (in KeyBindings, the log and a
// recording's header) and its kind. The first key text found anywhere in a
// line selects its field, so no key text may hold another: "PadClutch" would
// bind the clutch key.
#define MG_BINDING_FIELDS(FIELD)                                                                   \
    FIELD("Clutch", clutchKey, GearKey)                                                            \
    FIELD("FirstGear", firstGearKey, GearKey)                                                      \
    FIELD("SecondGear", secondGearKey, GearKey)                                                    \
    FIELD("ThirdGear", thirdGearKey, GearKey)                                                      \
    FIELD("FourthGear", fourthGearKey, GearKey)                                                    \
    FIELD("Reverse", reverseKey, GearKey)                                                          \
    FIELD("Enable/Disable", toggleKey, OptionalKey)                                                \
    FIELD("Reload", reloadKey, OptionalKey)                                                        \
    FIELD("ShiftUp", shiftUpKey, OptionalKey)                                                      \
    FIELD("ShiftDown", shiftDownKey, OptionalKey)                                                  \
    FIELD("Record", recordKey, OptionalKey)                                                        \
    FIELD("Bind", bindKey, OptionalKey)                                                            \
    FIELD("PadHold", padHoldControl, PadControl)                                                   \
    FIELD("PadUp", padUpControl, PadControl)                                                       \
    FIELD("PadDown", padDownControl, PadControl)                                                   \
    FIELD("FitGears", fitGears, Switch)                                                            \
    FIELD("ForwardGears", forwardGears, Box)                                                       \
    FIELD("FifthGear", fifthGearKey, GearKey)                                                      \
    FIELD("SixthGear", sixthGearKey, GearKey)                                                      \
    FIELD("LeftPedal", clutchPedal, Pedal)                                                         \
    FIELD("BitePoint", bitePoint, Bite)                                                            \
    FIELD("Gate1", firstGearGate, Gate)                                                            \
    FIELD("Gate2", secondGearGate, Gate)                                                           \
    FIELD("Gate3", thirdGearGate, Gate)                                                            \
    FIELD("Gate4", fourthGearGate, Gate)                                                           \
    FIELD("GateR", reverseGate, Gate)                                                              \
    FIELD("Gate5", fifthGearGate, Gate)                                                            \
    FIELD("Gate6", sixthGearGate, Gate)                                                            \
    FIELD("PaddleUp", paddleUpButton, WheelButton)                                                 \
    FIELD("PaddleDown", paddleDownButton, WheelButton)                                             \
    FIELD("Steering", steeringAxis, Steering)                                                      \
    FIELD("ThrottlePedal", throttlePedal, Pedal)                                                   \
    FIELD("BrakePedal", brakePedal, Pedal)                                                         \
    FIELD("Handbrake", handbrakeButton, WheelButton)                                               \
    FIELD("DeadZone", deadZone, DeadZone)                                                          \
    FIELD("FullLock", fullLock, FullLock)                                                          \
    FIELD("ForceFeedback", forceFeedback, ForceStrength)                                           \
    FIELD("GearFeel", gearFeel, Switch)                                                            \
    FIELD("Pull", pull, Strength)                                                                  \
    FIELD("EngineBraking", engineBraking, Strength)                                                \
    FIELD("RevBar", revBar, Switch)                                                                \
    FIELD("BiteBand", biteBand, Band)

// Keys are Windows virtual-key codes; pad buttons are the game's control
// numbers. 0 binds nothing. A switch takes 0 or 1 only, 1 for on. A box takes
// only the number of forward gears of a box of the gear table; 0, and any
// other number a recording may hold, picks the box with the fewest.
// A wheel's line names a game controller by its id, then one of its parts:
// a pedal an axis with the way it is pressed, or a button; the steering an
// axis only, with the way it turns right; a gate (one for each gear of the
// gear table) and a wheel's button a button only. A bite point, a dead zone
// and a full lock are percents, 1 to 100, and so is the clutch pedal's
// band, each way from the bite point; a strength of the gear feel is a
// percent of its table's, 1 to 200; 0, as the plug-in loads, stands for the
// default of each. The force feedback's strength is a percent too, where 0,
// as the plug-in loads, is off.
enum class BindingKind : std::uint8_t {
    GearKey,
    OptionalKey,
    PadControl,
    Switch,
    Box,
    Pedal,
    Gate,
    WheelButton,
    Bite,
    Steering,
    DeadZone,
    FullLock,
    Strength,
    Band,
    ForceStrength
};

constexpr bool controllerKind(BindingKind kind) {
    return kind == BindingKind::Pedal || kind == BindingKind::Gate ||
           kind == BindingKind::WheelButton || kind == BindingKind::Steering;
}

constexpr bool percentKind(BindingKind kind) {
    return kind == BindingKind::Bite || kind == BindingKind::DeadZone ||
           kind == BindingKind::FullLock || kind == BindingKind::Band ||
           kind == BindingKind::ForceStrength;
}

// A strength of 0 is off; the other percents stand 0 for their default,
// which a line can't write.
constexpr std::int32_t lowestPercent(BindingKind kind) {
    return kind == BindingKind::ForceStrength ? 0 : 1;
}

inline constexpr std::int32_t defaultBitePoint = 50;
// Of each way from rest: a pedal released, the wheel centred.
inline constexpr std::int32_t defaultDeadZone = 2;
// Of the wheel's turn from its centre to either end.
inline constexpr std::int32_t defaultFullLock = 100;
// Of the pedal's travel, each way from the bite point.
inline constexpr std::int32_t defaultBiteBand = 10;
// Of the gear feel's table: as written.
inline constexpr std::int32_t defaultStrength = 100;
inline constexpr std::int32_t strongestStrength = 200;

// A percent field's value as the plug-in uses it: 0 stands for the default.
constexpr std::int32_t percentOrDefault(std::int32_t value, std::int32_t byDefault) {
    return value == 0 ? byDefault : value;
}

// A field holds a number, or a game controller's part: of the two members,
// the one of its kind is set.
template <typename Bindings>
struct BindingFieldOf {
    using Kind = BindingKind;
    using Struct = Bindings;
    std::string_view keyText;
    std::string_view fieldName;
    std::int32_t Bindings::*member;
    ControllerBinding Bindings::*input;
    Kind kind;
    // A controller's field: the name a recording keeps its device's id by.
    std::string_view deviceName;
};

// A number's row, or a game controller's, after the member's type.
template <typename Bindings, typename Value>
constexpr BindingFieldOf<Bindings> bindingRow(std::string_view keyText, std::string_view name,
                                              std::string_view deviceName, Value Bindings::*member,
                                              BindingKind kind) {
    if constexpr (std::is_same_v<Value, ControllerBinding>) {
        return {keyText, name, nullptr, member, kind, deviceName};
    } else {
        return {keyText, name, member, nullptr, kind, {}};
    }
}

// What a field of each kind holds: a game controller's part, or a 32-bit
// number (a virtual-key code, a game control, a switch, a box or a percent),
// which the reader, the log and a recording handle alike.
template <BindingKind kind>
using BindingValue = std::conditional_t<controllerKind(kind), ControllerBinding, std::int32_t>;

// A list of fields makes a struct with a member for each, and its table;
// a test makes a longer one the same way.
#define MG_BINDING_MEMBER(keyText, name, kind) BindingValue<BindingKind::kind> name;
#define MG_BINDING_ROW(keyText, name, kind)                                                        \
    bindingRow<Bindings>(keyText, #name, #name "Device", &Bindings::name, BindingKind::kind),
#define MG_BINDING_TABLE(BindingsStruct, FIELDS)                                                   \
    [] {                                                                                           \
        using Bindings = BindingsStruct;                                                           \
        return std::to_array({FIELDS(MG_BINDING_ROW)});                                            \
    }()

// The key bindings, a member for each field; 0 for each as the plug-in loads.
struct KeyBindings {
    MG_BINDING_FIELDS(MG_BINDING_MEMBER)
};
using BindingField = BindingFieldOf<KeyBindings>;
// The struct a field table's members belong to.
template <const auto& fields>
using BindingsOf = typename std::remove_cvref_t<decltype(fields)>::value_type::Struct;
inline constexpr auto bindingFields = MG_BINDING_TABLE(KeyBindings, MG_BINDING_FIELDS);

template <const auto& fields>
constexpr bool keyTextsApart() {
    return std::ranges::none_of(fields, [](const auto& field) {
        return std::ranges::count_if(fields, [&field](const auto& other) {
                   return field.keyText.find(other.keyText) != std::string_view::npos;
               }) > 1;
    });
}
static_assert(keyTextsApart<bindingFields>(), "no key text may hold another");

// The value of the field's kind in the bindings: a number's, or a
// controller's part.
template <typename Bindings>
constexpr std::int32_t fieldValue(const Bindings& bindings, const BindingFieldOf<Bindings>& field) {
    return field.member != nullptr ? bindings.*field.member : (bindings.*field.input).part;
}

constexpr int noField = -1;
// Bit i stands for bindingFields[i].
using FieldSet = std::bitset<bindingFields.size()>;

// A longer file is not read at all; one of exactly 1 MiB still is.
constexpr std::size_t bindingFileBytesAtMost = 1024 * 1024;
// The game's control numbers run from 0 to this.
constexpr std::int32_t lastGameControl = 360;

// A line without a key text has no value to parse: NoDigits.
enum class ValueParse : std::uint8_t {
    Parsed,
    NoDigits,
    OutOfRange,
    NoGameControl,
    NoSwitch,
    NoBox,
    NoPercent,
    NoStrength,
    // A controller's value: no id where it begins, no part after the id, an
    // axis where only a button binds, or a button where only an axis does.
    NoDevice,
    NoPart,
    NotAButton,
    NotAnAxis
};

// What one line did.
template <std::size_t fieldCount>
struct LineOutcomeOf {
    std::uint64_t number = 0;                // from 1
    std::string_view text;                   // as written, valid only while the line is handed on
    std::bitset<fieldCount> keyTextsFound{}; // bit i for fields[i]
    int field = noField;                     // the first found selects its field
    bool hasEquals = false;
    ValueParse parse = ValueParse::NoDigits;
    std::int32_t value = 0;    // also when it is no game control
    ControllerBinding input{}; // a controller's field's, once parsed
    int byteAfterDigits = -1;  // -1 when the line ended the digits, or had none
};
using LineOutcome = LineOutcomeOf<bindingFields.size()>;

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

// The value before the first blank.
inline std::string_view firstWord(std::string_view value) {
    return value.substr(0, std::min(value.find_first_of(blankBytes), value.size()));
}

// A controller's value: its id, blanks, then its part, up to a blank or the
// line's end.
inline ValueParse readControllerValue(std::string_view value, BindingKind kind,
                                      ControllerBinding& input) {
    const std::string_view id = firstWord(value);
    const std::optional<ControllerId> device = parseControllerId(id);
    if (!device) {
        return ValueParse::NoDevice;
    }
    value.remove_prefix(id.size());
    value.remove_prefix(std::min(value.find_first_not_of(blankBytes), value.size()));
    const std::optional<ControllerPart> part = parseControllerPart(firstWord(value));
    if (!part) {
        return ValueParse::NoPart;
    }
    if (kind == BindingKind::Steering && !isAxisPart(*part)) {
        return ValueParse::NotAnAxis;
    }
    if ((kind == BindingKind::Gate || kind == BindingKind::WheelButton) && !isButtonPart(*part)) {
        return ValueParse::NotAButton;
    }
    input = {*device, *part};
    return ValueParse::Parsed;
}

template <const auto& fields = bindingFields>
LineOutcomeOf<fields.size()> readBindingLine(std::string_view line, std::uint64_t number) {
    LineOutcomeOf<fields.size()> outcome{.number = number, .text = line};
    for (std::size_t field = 0; field < fields.size(); ++field) {
        if (line.find(fields[field].keyText) != std::string_view::npos) {
            outcome.keyTextsFound.set(field);
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
    // sign, then decimal digits up to the first other byte; or a controller's.
    std::string_view value = line.substr(outcome.hasEquals ? equals + 1 : 0);
    value.remove_prefix(std::min(value.find_first_not_of(blankBytes), value.size()));
    const BindingKind kind = fields[static_cast<std::size_t>(outcome.field)].kind;
    if (controllerKind(kind)) {
        outcome.parse = readControllerValue(value, kind, outcome.input);
        return outcome;
    }
    // from_chars takes a "-" but no "+", and no sign may follow a "+".
    value.remove_prefix(value.size() > 1 && value[0] == '+' && value[1] != '-' ? 1 : 0);
    const char* const end = value.data() + value.size();
    const auto [after, error] = std::from_chars(value.data(), end, outcome.value);
    if (error == std::errc::invalid_argument) {
        return outcome;
    }
    outcome.byteAfterDigits = after < end ? static_cast<unsigned char>(*after) : -1;
    outcome.parse =
        error == std::errc::result_out_of_range ? ValueParse::OutOfRange
        : kind == BindingKind::PadControl && (outcome.value < 0 || outcome.value > lastGameControl)
            ? ValueParse::NoGameControl
        : kind == BindingKind::Switch && outcome.value != 0 && outcome.value != 1
            ? ValueParse::NoSwitch
        : kind == BindingKind::Box && !someBoxHas(outcome.value) ? ValueParse::NoBox
        : percentKind(kind) && (outcome.value < lowestPercent(kind) || outcome.value > 100)
            ? ValueParse::NoPercent
        : kind == BindingKind::Strength && (outcome.value < 1 || outcome.value > strongestStrength)
            ? ValueParse::NoStrength
            : ValueParse::Parsed;
    return outcome;
}

// Applies the text's lines over bindings in file order, handing each line's
// outcome to onLine after. A line that doesn't parse leaves its field as it was.
template <const auto& fields = bindingFields, typename Bindings, typename OnLine>
ReadSummary readBindingText(std::string_view text, Bindings& bindings, OnLine&& onLine) {
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
        const auto outcome = readBindingLine<fields>(line, ++summary.lines);
        if (outcome.parse == ValueParse::Parsed) {
            const auto& field = fields[static_cast<std::size_t>(outcome.field)];
            if (field.input != nullptr) {
                bindings.*field.input = outcome.input;
            } else {
                bindings.*field.member = outcome.value;
            }
        }
        onLine(outcome);
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    return summary;
}
