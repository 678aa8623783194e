// The key-binding reader, and what the explanation makes of its lines,
// against a deliberately plain reading of the same rules: whole lines, string
// search and strtol with range checks. Any disagreement on the fields, the
// line count or what a line's explanation needs (its start, length,
// blankness, a key text in another letter case) aborts. So does a text with
// keys chosen in the game written into it that doesn't read as chosen.
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
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
    std::vector<VirtualKeyCode> fields;
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

Reading plainReading(const std::string& text) {
    Reading reading{sentinels, {}};
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
            char* end = nullptr;
            errno = 0;
            const long number = std::strtol(value.c_str(), &end, 10);
            const bool control = bindingFields[i].kind == BindingField::Kind::PadControl;
            const bool onOff = bindingFields[i].kind == BindingField::Kind::Switch;
            const bool box = bindingFields[i].kind == BindingField::Kind::Box;
            if (end != value.c_str() && errno != ERANGE && number >= INT32_MIN &&
                number <= INT32_MAX && (!control || (number >= 0 && number <= 360)) &&
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
        bindings.*bindingFields[i].member = sentinels[i];
    }
    Reading reading;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    readBindingText(text, bindings, [&](const LineOutcome& line) {
        const ExplainedLine explained = explainedLine(line);
        reading.lines.push_back({explained.length, explained.start, explained.blank,
                                 explained.otherCaseField, explained.otherCase});
    });
    for (const BindingField& field : bindingFields) {
        reading.fields.push_back(bindings.*field.member);
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
    // Every field bound, for a text that keeps no lines.
    const KeyBindings inUse = {16,  49,  50, 51, 52, 82, 84, 116, 69, 81,
                               120, 119, 68, 73, 99, 1,  6,  53,  54};
    const ChosenText chosen = chosenBindingText(text, inUse, keys);
    if (chosen.text.size() <= bindingFileBytesAtMost && !readsAs(chosen.text, chosen.bindings)) {
        std::fprintf(stderr, "rewritten, it reads otherwise: %s\n", chosen.text.c_str());
        std::abort();
    }
    return 0;
}
