// The key-binding reader, and what the explanation makes of its lines,
// against a deliberately plain reading of the same rules: whole lines, string
// search and strtol with range checks. Any disagreement on the fields, the
// line count or what a line's explanation needs (its start, length,
// blankness, a key text in another letter case) aborts. So does a text with
// keys chosen in the game written into it that doesn't read as chosen.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "binding_file/binding_reader.h"
#include "binding_file/binding_rewrite.h"
#include "explain/binding_report.h"

namespace {

struct LineReading {
    std::uint64_t length = 0;
    std::string start;
    bool blank = true;
    int otherCaseField = noField;
    std::string otherCase;
    bool operator==(const LineReading&) const = default;
};

struct Reading {
    // A number's, or a controller's part; and a controller's device's id.
    std::vector<VirtualKeyCode> fields;
    std::vector<std::int32_t> devices;
    std::vector<LineReading> lines;
    bool operator==(const Reading&) const = default;
};

// What each field holds before the reading, so that a field left alone shows.
const std::vector<VirtualKeyCode> sentinels = [] {
    std::vector<VirtualKeyCode> values;
    for (std::size_t i = 0; i < bindingFields.size(); ++i) {
        values.push_back(-101 - static_cast<VirtualKeyCode>(i));
    }
    return values;
}();

std::vector<std::string> plainLines(std::string text) {
    if (text.size() > bindingFileBytesAtMost || text.starts_with("\xFF\xFE") ||
        text.starts_with("\xFE\xFF")) {
        return {};
    }
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.erase(0, 3);
    }
    text = text.substr(0, text.find('\x1a'));
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        std::string line = text.substr(start, end - start);
        if (line.ends_with('\r')) {
            line.pop_back();
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::string lowered(std::string text) {
    for (char& c : text) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return text;
}

// The key text whose first occurrence in any letter case ends first, among
// those whose first such occurrence is not written exactly.
void plainOtherCase(const std::string& line, LineReading& reading) {
    std::size_t firstEnd = std::string::npos;
    for (std::size_t i = 0; i < bindingFields.size(); ++i) {
        const std::string keyText(bindingFields[i].keyText);
        const std::size_t at = lowered(line).find(lowered(keyText));
        if (at == std::string::npos || line.compare(at, keyText.size(), keyText) == 0 ||
            (firstEnd != std::string::npos && at + keyText.size() >= firstEnd)) {
            continue;
        }
        firstEnd = at + keyText.size();
        reading.otherCaseField = static_cast<int>(i);
        reading.otherCase = line.substr(at, keyText.size());
    }
}

// "046D:C24F" in either letter case, as the number a recording keeps.
std::optional<std::int32_t> plainId(const std::string& word) {
    if (word.size() != 9 || word[4] != ':' ||
        !std::ranges::all_of(word.substr(0, 4) + word.substr(5),
                             [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); })) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(
        std::strtoul((word.substr(0, 4) + word.substr(5)).c_str(), nullptr, 16));
}

// "Button13" or "Slider0-", letter case aside, as the part's number.
std::int32_t plainPart(const std::string& word) {
    const std::string low = lowered(word);
    if (low.starts_with("button") && low.size() > 6 &&
        std::ranges::all_of(low.substr(6), [](char c) { return c >= '0' && c <= '9'; })) {
        errno = 0;
        const long number = std::strtol(low.c_str() + 6, nullptr, 10);
        return errno == 0 && number >= 1 && number <= 128 ? static_cast<std::int32_t>(number) : 0;
    }
    const char* const axes[] = {"x", "y", "z", "rx", "ry", "rz", "slider0", "slider1"};
    for (std::int32_t axis = 0; axis < 8; ++axis) {
        if (low == std::string(axes[axis]) + "+" || low == std::string(axes[axis]) + "-") {
            return 129 + axis + (low.back() == '-' ? 8 : 0);
        }
    }
    return 0;
}

Reading plainReading(const std::string& text) {
    Reading reading{sentinels, sentinels, {}};
    for (const std::string& line : plainLines(text)) {
        LineReading& lineReading = reading.lines.emplace_back();
        lineReading.length = line.size();
        lineReading.start = line.substr(0, keptLineStart);
        lineReading.blank = line.find_first_not_of(" \t\n\v\f\r") == std::string::npos;
        plainOtherCase(line, lineReading);

        const std::size_t equals = line.find('=');
        const std::string value = equals == std::string::npos ? line : line.substr(equals + 1);
        for (std::size_t i = 0; i < bindingFields.size(); ++i) {
            if (line.find(bindingFields[i].keyText) == std::string::npos) {
                continue;
            }
            if (bindingFields[i].input != nullptr) {
                // The value's words, as blanks (isspace's, in the C locale) part them.
                std::istringstream value(equals == std::string::npos ? line
                                                                     : line.substr(equals + 1));
                std::string id;
                std::string part;
                value >> id >> part;
                const std::optional<std::int32_t> device = plainId(id);
                const std::int32_t number = plainPart(part);
                // A pedal takes either, the steering an axis, the rest a button.
                const BindingKind kind = bindingFields[i].kind;
                if (device && number != 0 &&
                    (kind == BindingKind::Pedal ||
                     (kind == BindingKind::Steering ? number > 128 : number <= 128))) {
                    reading.fields[i] = number;
                    reading.devices[i] = *device;
                }
                break;
            }
            char* end = nullptr;
            errno = 0;
            const long number = std::strtol(value.c_str(), &end, 10);
            const bool control = bindingFields[i].kind == BindingField::Kind::PadControl;
            const bool onOff = bindingFields[i].kind == BindingField::Kind::Switch;
            const bool box = bindingFields[i].kind == BindingField::Kind::Box;
            const bool percent = bindingFields[i].kind == BindingField::Kind::Bite ||
                                 bindingFields[i].kind == BindingField::Kind::DeadZone ||
                                 bindingFields[i].kind == BindingField::Kind::FullLock ||
                                 bindingFields[i].kind == BindingField::Kind::Band;
            const bool strength = bindingFields[i].kind == BindingField::Kind::Strength;
            const bool forceStrength = bindingFields[i].kind == BindingField::Kind::ForceStrength;
            if (end != value.c_str() && errno != ERANGE && number >= INT32_MIN &&
                number <= INT32_MAX && (!control || (number >= 0 && number <= 360)) &&
                (!percent || (number >= 1 && number <= 100)) &&
                (!strength || (number >= 1 && number <= 200)) &&
                (!forceStrength || (number >= 0 && number <= 100)) &&
                (!onOff || number == 0 || number == 1) &&
                (!box || std::ranges::count(gearBoxes, number, [](const auto& gears) {
                             return long{gears.forwardGears};
                         }) == 1)) {
                reading.fields[i] = static_cast<VirtualKeyCode>(number);
            }
            break;
        }
    }
    return reading;
}

Reading readerReading(const std::uint8_t* data, std::size_t size) {
    KeyBindings bindings{};
    for (std::size_t i = 0; i < bindingFields.size(); ++i) {
        if (bindingFields[i].input != nullptr) {
            bindings.*bindingFields[i].input = {controllerIdOfNumber(sentinels[i]), sentinels[i]};
        } else {
            bindings.*bindingFields[i].member = sentinels[i];
        }
    }
    Reading reading;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    readBindingText(text, bindings, [&](const LineOutcome& line) {
        const ExplainedLine explained = explainedLine(line);
        reading.lines.push_back({explained.length, explained.start, explained.blank,
                                 explained.otherCaseField, explained.otherCase});
    });
    for (std::size_t i = 0; i < bindingFields.size(); ++i) {
        const BindingField& field = bindingFields[i];
        reading.fields.push_back(fieldValue(bindings, field));
        reading.devices.push_back(field.input != nullptr
                                      ? controllerIdNumber((bindings.*field.input).device)
                                      : sentinels[i]);
    }
    return reading;
}

void report(const char* what, const Reading& reading) {
    std::fprintf(stderr, "%s: %zu lines;", what, reading.lines.size());
    for (const VirtualKeyCode field : reading.fields) {
        std::fprintf(stderr, " %d", field);
    }
    for (const LineReading& line : reading.lines) {
        std::fprintf(stderr, "\n  length %llu, blank %d, other case %d '%s'",
                     static_cast<unsigned long long>(line.length), line.blank, line.otherCaseField,
                     line.otherCase.c_str());
    }
    std::fprintf(stderr, "\n");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Reading expected = plainReading(std::string(data, data + size));
    const Reading actual = readerReading(data, size);
    if (!(actual == expected)) {
        report("plain reading", expected);
        report("reader", actual);
        std::abort();
    }
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ChosenKeys keys = {81, 49, 98, 99, 100, 82};
    const ChosenInputs inputs = {ControllerBinding{{0x046D, 0xC24F}, 143},
                                 ControllerBinding{{0x044F, 0xB660}, 1}};
    // Every field bound, for a text that keeps no lines.
    static const KeyBindings inUse = [] {
        KeyBindings bindings{};
        const std::int32_t numbers[] = {16,  49, 50, 51, 52, 82, 84, 116, 69, 81, 120,
                                        119, 68, 73, 99, 1,  6,  53, 54,  40, 5,  90};
        std::int32_t part = 12;
        const std::int32_t* number = numbers;
        for (const BindingField& field : bindingFields) {
            if (field.input != nullptr) {
                bindings.*field.input = {{0x046D, 0xC24F},
                                         field.kind == BindingKind::Steering ? 129 : ++part};
            } else {
                bindings.*field.member = number < std::end(numbers) ? *number++ : 0;
            }
        }
        return bindings;
    }();
    const ChosenText chosen = chosenBindingText(text, inUse, keys, inputs);
    if (chosen.text.size() <= bindingFileBytesAtMost && !readsAs(chosen.text, chosen.bindings)) {
        std::fprintf(stderr, "rewritten, it reads otherwise: %s\n", chosen.text.c_str());
        std::abort();
    }
    return 0;
}
