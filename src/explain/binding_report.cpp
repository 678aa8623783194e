#include "explain/binding_report.h"

#include <algorithm>
#include <array>
#include <bit>

#include "binding_file/gear_access.h"
#include "explain/binding_warnings.h"
#include "keys/input_names.h"
#include "keys/virtual_keys.h"

namespace {

// Lines are shown cut to this width, so that the verdicts stay aligned.
constexpr std::size_t shownWidth = 40;
constexpr std::string_view cutMark = "...";

std::string padded(std::string text, std::size_t width) {
    text.resize(std::max(width, text.size()), ' ');
    return text;
}

std::string rightAligned(const std::string& text, std::size_t width) {
    return std::string(width > text.size() ? width - text.size() : 0, ' ') + text;
}

std::string escaped(unsigned char byte) {
    switch (byte) {
    case '\t':
        return "\\t";
    case '\r':
        return "\\r";
    case '\0':
        return "\\0";
    default:
        break;
    }
    if (byte >= 0x20 && byte < 0x7F) {
        return std::string(1, static_cast<char>(byte));
    }
    constexpr char digits[] = "0123456789ABCDEF";
    return std::string("\\x") + digits[byte >> 4] + digits[byte & 0xF];
}

std::string shownText(const ExplainedLine& line) {
    std::vector<std::string> pieces;
    std::size_t width = 0;
    for (const char c : line.start) {
        pieces.push_back(escaped(static_cast<unsigned char>(c)));
        width += pieces.back().size();
    }
    std::string text;
    if (width <= shownWidth && line.length == line.start.size()) {
        for (const std::string& piece : pieces) {
            text += piece;
        }
        return text;
    }
    for (const std::string& piece : pieces) {
        if (text.size() + piece.size() > shownWidth - cutMark.size()) {
            break;
        }
        text += piece;
    }
    return text + std::string(cutMark);
}

// The numbers of forward gears the boxes have: "4, 5 or 6".
std::string boxChoices() {
    std::string text;
    for (std::size_t i = 0; i < gearBoxes.size(); ++i) {
        text += (i == 0                      ? ""
                 : i + 1 == gearBoxes.size() ? " or "
                                             : ", ") +
                std::to_string(gearBoxes[i].forwardGears);
    }
    return text;
}

std::string verdict(const ExplainedLine& line) {
    const LineOutcome& outcome = line.outcome;
    const int field = outcome.field;
    if (field == noField) {
        if (line.blank) {
            return "nothing: blank line";
        }
        if (line.otherCaseField != noField) {
            const std::string_view keyText = bindingFields[line.otherCaseField].keyText;
            return "nothing: write \"" + std::string(keyText) + "\", not \"" + line.otherCase +
                   "\"";
        }
        if (!line.unknownName) {
            return "nothing: it names no binding";
        }
        if (line.nearestField == noField) {
            return "nothing: unknown name";
        }
        return "nothing: unknown name, did you mean \"" +
               std::string(bindingFields[static_cast<std::size_t>(line.nearestField)].keyText) +
               "\"?";
    }

    const BindingField& selected = bindingFields[field];
    std::string text;
    switch (outcome.parse) {
    case ValueParse::Parsed:
        if (selected.input != nullptr) {
            text = inputBindingText(selected, outcome.input);
            break;
        }
        text = bindingText(selected, outcome.value);
        if (outcome.value == 0 &&
            (outcome.byteAfterDigits == 'x' || outcome.byteAfterDigits == 'X')) {
            text += ": values are decimal, 0x... reads as 0";
        }
        break;
    case ValueParse::NoDigits:
        text = std::string(selected.fieldName) + " unchanged: " +
               (outcome.hasEquals ? "the value after \"=\" has no digits"
                                  : "no \"=\", and the line doesn't begin with a number");
        break;
    case ValueParse::OutOfRange:
        text = std::string(selected.fieldName) +
               " unchanged: the value is outside -2147483648 to 2147483647";
        break;
    case ValueParse::NoGameControl:
        text = std::string(selected.fieldName) + " unchanged: " + std::to_string(outcome.value) +
               " is no game control (0 to " + std::to_string(lastGameControl) + ")";
        break;
    case ValueParse::NoSwitch:
        text = std::string(selected.fieldName) + " unchanged: " + std::to_string(outcome.value) +
               " is neither 0 (off) nor 1 (on)";
        break;
    case ValueParse::NoBox:
        text = std::string(selected.fieldName) + " unchanged: " + std::to_string(outcome.value) +
               " is no box's number of forward gears (" + boxChoices() + ")";
        break;
    case ValueParse::NoPercent:
        text = std::string(selected.fieldName) + " unchanged: " + std::to_string(outcome.value) +
               " is no percent of " + std::string(percentOf(selected.kind)) + " (" +
               std::to_string(lowestPercent(selected.kind)) + " to 100)";
        break;
    case ValueParse::NoStrength:
        text = std::string(selected.fieldName) + " unchanged: " + std::to_string(outcome.value) +
               " is no strength (1 to " + std::to_string(strongestStrength) +
               ", a percent of the gear feel's own)";
        break;
    case ValueParse::NoDevice:
        text = std::string(selected.fieldName) +
               " unchanged: the value doesn't begin with a game " +
               "controller's id, such as 046D:C24F";
        break;
    case ValueParse::NoPart:
        text = std::string(selected.fieldName) + " unchanged: the controller's id is not " +
               "followed by " +
               (selected.kind == BindingKind::Pedal
                    ? "a button (Button7) or an axis and the way it is pressed (Slider0-)"
                : selected.kind == BindingKind::Steering
                    ? "an axis and the way that turns it right (X+)"
                    : "a button, Button1 to Button" + std::to_string(controllerButtonCount));
        break;
    case ValueParse::NotAButton:
        text = std::string(selected.fieldName) + " unchanged: an axis can't be " +
               (selected.kind == BindingKind::Gate ? "a gate" : "pressed as a button") +
               ": name a button, such as Button13";
        break;
    case ValueParse::NotAnAxis:
        text = std::string(selected.fieldName) + " unchanged: a button can't steer: name an " +
               "axis and the way that turns it right, such as X+";
        break;
    }

    std::vector<std::string> others;
    for (std::size_t i = field + 1; i < bindingFields.size(); ++i) {
        if (outcome.keyTextsFound.test(i)) {
            others.emplace_back(bindingFields[i].keyText);
        }
    }
    if (!others.empty()) {
        text += "; the line also names " + joined(others) + ", but " +
                std::string(selected.keyText) + " is tested first";
    }
    if (line.overriddenBy != 0) {
        text += "; line " + std::to_string(line.overriddenBy) + " overrides it";
    }
    return text;
}

std::string linesReport(const BindingReading& reading) {
    std::vector<std::string> shown;
    std::size_t textWidth = std::string_view("As written").size();
    for (const ExplainedLine& line : reading.lines) {
        shown.push_back(shownText(line));
        textWidth = std::max(textWidth, shown.back().size());
    }
    const std::size_t numberWidth =
        std::max<std::size_t>(4, std::to_string(reading.lines.size()).size());
    std::string text = "\n";
    text +=
        padded("Line", numberWidth) + "  " + padded("As written", textWidth) + "  What it does\n";
    for (std::size_t i = 0; i < reading.lines.size(); ++i) {
        const ExplainedLine& line = reading.lines[i];
        text += rightAligned(std::to_string(line.outcome.number), numberWidth) + "  " +
                padded(shown[i], textWidth) + "  " + verdict(line) + "\n";
    }
    if (reading.summary.lines > reading.lines.size()) {
        text += "... and " + std::to_string(reading.summary.lines - reading.lines.size()) +
                " more lines, not explained here\n";
    }
    return text;
}

bool wheelField(const BindingField& field) {
    return field.input != nullptr || percentKind(field.kind);
}

// The wheel's fields, shown once any of its lines binds.
std::string wheelTable(const KeyBindings& bindings) {
    std::size_t nameWidth = 0;
    std::vector<std::string> values;
    for (const BindingField& field : bindingFields) {
        if (wheelField(field)) {
            nameWidth = std::max(nameWidth, field.fieldName.size());
            values.push_back(field.member != nullptr ? bindings.*field.member == 0
                                                           ? std::string("not set")
                                                           : std::to_string(bindings.*field.member)
                             : (bindings.*field.input).part == 0
                                 ? std::string("not bound")
                                 : controllerBindingText(bindings.*field.input));
        }
    }
    const std::size_t valueWidth = std::ranges::max(values, {}, &std::string::size).size();
    const auto& box = boxOf(bindings);
    const std::vector<std::size_t> unreached = stickUnreached(bindings);
    std::string text = "\nWheel\n";
    auto value = values.begin();
    for (std::size_t i = 0; i < bindingFields.size(); ++i) {
        const BindingField& field = bindingFields[i];
        if (!wheelField(field)) {
            continue;
        }
        std::string meaning;
        if (field.member != nullptr) {
            meaning = valueName(field, bindings.*field.member);
        } else if ((bindings.*field.input).part != 0) {
            meaning = inputMeaning(field, bindings.*field.input);
            if (field.kind == BindingKind::Pedal || field.kind == BindingKind::Steering) {
                meaning += ": " + std::string(controllerUse(field));
            }
        } else if (std::ranges::count(unreached, i) != 0) {
            meaning = "the stick can't reach " + gearsOfGates({i});
        } else {
            meaning = "(optional)";
        }
        const auto gate = std::ranges::find(gearGateFields, i);
        if (gate != gearGateFields.end() && !box.gears[gate - gearGateFields.begin()].inBox) {
            const bool bound = (bindings.*field.input).part != 0;
            meaning = (bound ? meaning + " " : "") + "(unused with " +
                      std::to_string(box.forwardGears) + " forward gears)";
        }
        text += "  " + padded(std::string(field.fieldName), nameWidth) + "  " +
                padded(*value++, valueWidth) + "  " + meaning + "\n";
    }
    return text;
}

std::string bindingsTable(const KeyBindings& bindings) {
    std::size_t nameWidth = 0;
    std::size_t valueWidth = 0;
    for (const BindingField& field : bindingFields) {
        if (!wheelField(field)) {
            nameWidth = std::max(nameWidth, field.fieldName.size());
            valueWidth = std::max(valueWidth, std::to_string(bindings.*field.member).size());
        }
    }
    std::string text = "\nBindings\n";
    for (std::size_t i = 0; i < bindingFields.size(); ++i) {
        const BindingField& field = bindingFields[i];
        if (wheelField(field)) {
            continue;
        }
        const VirtualKeyCode code = bindings.*field.member;
        // A switch, a box or a strength says what 0 means instead.
        const bool saysWhat = field.kind == BindingField::Kind::Switch ||
                              field.kind == BindingField::Kind::Box ||
                              field.kind == BindingField::Kind::Strength;
        const bool needed = keyFieldNeeded(bindings, i);
        std::string name = code == 0 && !saysWhat ? "not bound" : valueName(field, code);
        if (code == 0 && !needed && !saysWhat) {
            name += " (optional)";
        } else if (field.kind == BindingField::Kind::GearKey && !needed) {
            name +=
                " (unused with " + std::to_string(boxOf(bindings).forwardGears) + " forward gears)";
        }
        text += "  " + padded(std::string(field.fieldName), nameWidth) + "  " +
                rightAligned(std::to_string(code), valueWidth) + "  " + name + "\n";
    }
    return wheelBound(bindings) ? text + wheelTable(bindings) : text;
}

} // namespace

std::string resultingBindingsReport(const BindingReading& reading) {
    const KeyBindings& bindings = reading.bindings;
    std::string text = bindingsTable(bindings);
    const std::vector<std::string> found = bindingWarnings(reading);
    if (!found.empty()) {
        text += "\nWarnings\n";
        for (const std::string& warning : found) {
            text += "  - " + warning + "\n";
        }
    }

    const std::vector<std::size_t> unreached = stickUnreached(bindings);
    const std::string stick =
        unreached.empty() ? "" : ", but the stick can't reach " + gearsOfGates(unreached);
    switch (gearAccess(bindings)) {
    case GearAccess::GearKeys:
        return text + "\nResult: the clutch and every gear's key are bound" + stick + ".\n";
    case GearAccess::Gates:
        return text + "\nResult: every gear can be reached with the clutch and the shifter's "
                      "gates.\n";
    case GearAccess::ShiftKeys:
        return text + "\nResult: every gear can be reached with " +
               (bindings.clutchKey != 0 ? "clutchKey" : "clutchPedal") +
               ", shiftUpKey and shiftDownKey" + stick + ".\n";
    case GearAccess::Paddles:
        return text +
               "\nResult: every gear can be reached with the clutch, paddleUpButton "
               "and paddleDownButton" +
               stick + ".\n";
    case GearAccess::PadButtons:
        return text +
               "\nResult: every gear can be reached with padHoldControl, padUpControl "
               "and padDownControl" +
               stick + ".\n";
    case GearAccess::None:
        break;
    }
    std::vector<std::string> unbound;
    for (const std::size_t field : unreachedGearFields(bindings)) {
        unbound.emplace_back(bindingFields[field].fieldName);
    }
    text += "\nResult: the gearbox can't use all its gears; not bound: " + joined(unbound) + ".\n";
    if (const char* bindKey = virtualKeyName(bindings.bindKey)) {
        text += std::string("In the game, ") + bindKey +
                " (bindKey) lets you choose the clutch and gear keys by pressing them.\n";
    }
    return text;
}

std::string bindingFileReport(const BindingReading& reading, std::string_view name) {
    const ReadSummary& summary = reading.summary;
    std::string text = std::string(name) + ": ";
    if (summary.tooLarge) {
        text += std::string(tooLargeNote) + "\n";
    } else if (summary.utf16) {
        text += "UTF-16 (it begins with a UTF-16 byte-order mark), no line read\n";
    } else {
        text += std::to_string(summary.lines) + (summary.lines == 1 ? " line" : " lines");
        if (summary.utf8ByteOrderMark) {
            text += ", UTF-8 with a byte-order mark (harmless)";
        }
        text += "\n";
    }
    if (!reading.lines.empty()) {
        text += linesReport(reading);
    }
    return text + resultingBindingsReport(reading);
}
