#include "drive/drive_script.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>

#include "bindings/virtual_keys.h"

namespace {

constexpr std::int64_t longestDriveMs = 3600 * 1000;
constexpr const char* actions = "down, up, control, enter, leave, speed or expect";

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// The words of a line, as views into it, so that the rest of a line after a
// word can still be taken whole.
std::vector<std::string_view> wordsOf(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && isBlank(line[at])) {
            ++at;
        }
        const std::size_t start = at;
        while (at < line.size() && !isBlank(line[at])) {
            ++at;
        }
        if (at > start) {
            words.push_back(line.substr(start, at - start));
        }
    }
    return words;
}

bool allDigits(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

// Whole seconds with up to three decimals, in milliseconds.
std::optional<std::int64_t> parseSeconds(std::string_view text) {
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
    if (!allDigits(whole) || whole.size() > 7 ||
        (point != std::string_view::npos && (!allDigits(fraction) || fraction.size() > 3))) {
        return std::nullopt;
    }
    std::int64_t ms = 0;
    for (const char c : whole) {
        ms = ms * 10 + (c - '0');
    }
    ms *= 1000;
    std::int64_t scale = 100;
    for (const char c : fraction) {
        ms += (c - '0') * scale;
        scale /= 10;
    }
    return ms;
}

std::optional<double> parseNumber(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    double value = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() ||
        !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> parseKey(std::string_view text) {
    if (const std::optional<int> named = virtualKeyCode(text)) {
        return named;
    }
    if (text.size() < 3 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) {
        return std::nullopt;
    }
    const std::string_view digits = text.substr(2);
    int code = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), code, 16);
    if (error != std::errc{} || end != digits.data() + digits.size() || code < 1 || code > 255) {
        return std::nullopt;
    }
    return code;
}

std::string quoted(std::string_view text) {
    std::string result(1, '\'');
    result += text;
    result += '\'';
    return result;
}

struct Subject {
    const char* word;
    Expectation::Subject subject;
    // Numeric subjects take a comparison; the others one of these words, or any
    // text when there are none.
    bool numeric;
    std::vector<const char*> values;
};

const std::vector<Subject>& subjects() {
    static const std::vector<Subject> table = {
        {"speed", Expectation::Subject::Speed, true, {}},
        {"cap", Expectation::Subject::Cap, true, {}},
        {"stalls", Expectation::Subject::Stalls, true, {}},
        {"engine", Expectation::Subject::Engine, false, {"on", "off"}},
        {"gear", Expectation::Subject::Gear, false, {"1", "2", "3", "4", "R", "none"}},
        {"clutch", Expectation::Subject::Clutch, false, {"on", "off", "none"}},
        {"shift", Expectation::Subject::Shift, false, {"on", "off", "none"}},
        {"subtitle", Expectation::Subject::Subtitle, false, {}},
    };
    return table;
}

struct ComparisonWord {
    const char* word;
    Expectation::Comparison comparison;
};

constexpr ComparisonWord comparisons[] = {
    {"<", Expectation::Comparison::Less},    {"<=", Expectation::Comparison::LessOrEqual},
    {"=", Expectation::Comparison::Equal},   {">=", Expectation::Comparison::GreaterOrEqual},
    {">", Expectation::Comparison::Greater},
};

std::string listOf(const std::vector<const char*>& values) {
    std::string list;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) {
            list += i + 1 == values.size() ? " or " : ", ";
        }
        list += values[i];
    }
    return list;
}

// The parse of one line's action and arguments; an empty error means success.
struct LineParser {
    std::string_view line;
    std::vector<std::string_view> words;
    DriveEvent event;
    std::string error;

    bool fail(std::string message) {
        error = std::move(message);
        return false;
    }

    bool noMoreThan(std::size_t count) {
        if (words.size() > count) {
            return fail("unexpected " + quoted(words[count]) + " after " +
                        quoted(words[count - 1]));
        }
        return true;
    }

    bool argument(std::size_t index, std::string_view expected) {
        if (words.size() <= index) {
            return fail("expected " + std::string(expected) + " after " + quoted(words[index - 1]));
        }
        return true;
    }

    bool key() {
        if (!argument(2, "a key name such as W, Shift or 2, or a code such as 0x10")) {
            return false;
        }
        const std::optional<int> code = parseKey(words[2]);
        if (!code) {
            return fail("expected a key name such as W, Shift or 2, or a code such as 0x10, "
                        "got " +
                        quoted(words[2]));
        }
        event.code = *code;
        return noMoreThan(3);
    }

    bool control() {
        if (!argument(2, "control 190 or 208")) {
            return false;
        }
        if (words[2] != "190" && words[2] != "208") {
            return fail("expected control 190 or 208, got " + quoted(words[2]));
        }
        event.code = words[2] == "190" ? 190 : 208;
        return noMoreThan(3);
    }

    bool speed() {
        if (!argument(2, "a speed such as 12 or -4.5")) {
            return false;
        }
        const std::optional<double> value = parseNumber(words[2]);
        if (!value) {
            return fail("expected a speed such as 12 or -4.5, got " + quoted(words[2]));
        }
        event.speed = static_cast<float>(*value);
        return noMoreThan(3);
    }

    bool expectation() {
        std::vector<const char*> names;
        for (const Subject& subject : subjects()) {
            names.push_back(subject.word);
        }
        if (!argument(2, "what to expect: " + listOf(names))) {
            return false;
        }
        const Subject* subject = nullptr;
        for (const Subject& candidate : subjects()) {
            if (words[2] == candidate.word) {
                subject = &candidate;
            }
        }
        if (!subject) {
            return fail("expected what to expect: " + listOf(names) + ", got " + quoted(words[2]));
        }
        Expectation& expectation = event.expectation;
        expectation.subject = subject->subject;
        if (subject->numeric) {
            return numericExpectation();
        }
        if (subject->values.empty()) {
            if (!argument(3, "a text, or none")) {
                return false;
            }
            const std::string_view rest =
                line.substr(static_cast<std::size_t>(words[3].data() - line.data()));
            expectation.text = rest == "none" ? "" : std::string(rest);
            return true;
        }
        const std::string expected = listOf(subject->values);
        if (!argument(3, expected)) {
            return false;
        }
        for (const char* value : subject->values) {
            if (words[3] == value) {
                expectation.text = std::string(value) == "none" ? "" : value;
                return noMoreThan(4);
            }
        }
        return fail("expected " + expected + " after " + quoted(words[2]) + ", got " +
                    quoted(words[3]));
    }

    bool numericExpectation() {
        const std::string expected = "a comparison: <, <=, =, >= or >";
        if (!argument(3, expected)) {
            return false;
        }
        const ComparisonWord* found = nullptr;
        for (const ComparisonWord& candidate : comparisons) {
            if (words[3] == candidate.word) {
                found = &candidate;
            }
        }
        if (!found) {
            return fail("expected " + expected + ", got " + quoted(words[3]));
        }
        event.expectation.comparison = found->comparison;
        if (!argument(4, "a number")) {
            return false;
        }
        const std::optional<double> value = parseNumber(words[4]);
        if (!value) {
            return fail("expected a number after " + quoted(words[3]) + ", got " +
                        quoted(words[4]));
        }
        event.expectation.number = *value;
        return noMoreThan(5);
    }

    bool action() {
        if (!argument(1, std::string("an action: ") + actions)) {
            return false;
        }
        const std::string_view word = words[1];
        if (word == "down" || word == "up") {
            event.kind = word == "down" ? DriveEvent::Kind::KeyDown : DriveEvent::Kind::KeyUp;
            return key();
        }
        if (word == "control") {
            event.kind = DriveEvent::Kind::Control;
            return control();
        }
        if (word == "enter" || word == "leave") {
            event.kind = word == "enter" ? DriveEvent::Kind::Enter : DriveEvent::Kind::Leave;
            return noMoreThan(2);
        }
        if (word == "speed") {
            event.kind = DriveEvent::Kind::Speed;
            return speed();
        }
        if (word == "expect") {
            event.kind = DriveEvent::Kind::Expect;
            return expectation();
        }
        return fail(std::string("expected an action: ") + actions + ", got " + quoted(word));
    }
};

} // namespace

ParsedDriveScript parseDriveScript(std::string_view name, std::string_view text) {
    ParsedDriveScript parsed;
    parsed.script.name = std::string(name);
    std::int64_t previousMs = 0;
    int lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        line = trimmed(line.substr(0, line.find('#')));
        if (line.empty()) {
            continue;
        }

        LineParser parser{line, wordsOf(line), {}, {}};
        parser.event.line = lineNumber;
        const std::string_view timeWord = parser.words[0];
        const bool relative = timeWord.front() == '+';
        const std::optional<std::int64_t> ms =
            parseSeconds(relative ? timeWord.substr(1) : timeWord);
        std::string error;
        if (!ms) {
            error = "expected a time in seconds such as 2, 1.5 or +0.25 (at most three "
                    "decimals), got " +
                    quoted(timeWord);
        } else {
            parser.event.timeMs = relative ? previousMs + *ms : *ms;
            if (parser.event.timeMs < previousMs) {
                error = "the time " + secondsText(parser.event.timeMs) +
                        " comes before the previous line's " + secondsText(previousMs);
            } else if (parser.event.timeMs > longestDriveMs) {
                error = "a drive lasts at most " + secondsText(longestDriveMs) +
                        ", this line is at " + secondsText(parser.event.timeMs);
            } else if (!parser.action()) {
                error = parser.error;
            }
        }
        if (!error.empty()) {
            parsed.error = std::string(name) + ":" + std::to_string(lineNumber) + ": " + error;
            parsed.script.events.clear();
            return parsed;
        }
        previousMs = parser.event.timeMs;
        parsed.script.endMs = previousMs;
        parsed.script.events.push_back(std::move(parser.event));
    }
    return parsed;
}

std::string secondsText(std::int64_t ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f s", static_cast<double>(ms) / 1000.0);
    return text;
}

std::string describeExpectation(const Expectation& expectation) {
    for (const Subject& subject : subjects()) {
        if (subject.subject != expectation.subject) {
            continue;
        }
        std::string text = subject.word;
        if (!subject.numeric) {
            return text + " " + (expectation.text.empty() ? "none" : expectation.text);
        }
        for (const ComparisonWord& comparison : comparisons) {
            if (comparison.comparison == expectation.comparison) {
                text += std::string(" ") + comparison.word;
            }
        }
        char number[32];
        std::snprintf(number, sizeof number, " %g", expectation.number);
        return text + number;
    }
    return {};
}

std::string describeEvent(const DriveEvent& event) {
    const auto keyText = [](int code) {
        if (const char* name = virtualKeyName(code)) {
            return std::string(name);
        }
        char text[8];
        std::snprintf(text, sizeof text, "0x%02X", code);
        return std::string(text);
    };
    switch (event.kind) {
    case DriveEvent::Kind::KeyDown:
        return "down " + keyText(event.code);
    case DriveEvent::Kind::KeyUp:
        return "up " + keyText(event.code);
    case DriveEvent::Kind::Control:
        return "control " + std::to_string(event.code);
    case DriveEvent::Kind::Enter:
        return "enter";
    case DriveEvent::Kind::Leave:
        return "leave";
    case DriveEvent::Kind::Speed: {
        char text[32];
        std::snprintf(text, sizeof text, "speed %g", static_cast<double>(event.speed));
        return text;
    }
    case DriveEvent::Kind::Expect:
        return "expect " + describeExpectation(event.expectation);
    }
    return {};
}
