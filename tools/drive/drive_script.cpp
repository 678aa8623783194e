#include "drive/drive_script.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>

#include "bindings/virtual_keys.h"
#include "gears/gears.h"

namespace {

constexpr std::int64_t longestDriveMs = 3600 * 1000;
constexpr const char* actions =
    "down, up, control, hold, release, enter, leave, speed, top, class, focus, phone, menu, "
    "device, copy, delete, restart or expect";
constexpr int highestControl = 511;
// A message quotes at most this many bytes of a word: a line of junk would
// bury what the message says.
constexpr std::size_t longestQuote = 60;

struct VehicleClass {
    const char* name;
    int number;
    bool gearbox;
};

// The game's vehicle classes that drives name; any other is given by number.
constexpr VehicleClass vehicleClasses[] = {
    {"car", 0, true},     {"motorcycle", 8, true},   {"bicycle", 13, false},
    {"boat", 14, false},  {"helicopter", 15, false}, {"plane", 16, false},
    {"train", 21, false}, {"open-wheel", 22, true},
};
constexpr int highestVehicleClass = 22;

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

// The word as a message shows it: control bytes and NUL escaped, and a long
// word cut short, never inside a UTF-8 character.
std::string quoted(std::string_view text) {
    std::string_view shown = text.substr(0, longestQuote);
    if (shown.size() < text.size()) {
        while (!shown.empty() && (static_cast<unsigned char>(text[shown.size()]) & 0xC0) == 0x80) {
            shown.remove_suffix(1);
        }
    }
    std::string result(1, '\'');
    for (const char c : shown) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == 0) {
            result += "\\0";
        } else if (byte < 0x20 || byte == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            result += escape;
        } else {
            result += c;
        }
    }
    result += '\'';
    if (shown.size() < text.size()) {
        result += "... (" + std::to_string(text.size()) + " bytes)";
    }
    return result;
}

std::optional<int> parseControl(std::string_view text) {
    int number = -1;
    if (allDigits(text) && text.size() <= 3) {
        std::from_chars(text.data(), text.data() + text.size(), number);
    }
    if (number < 0 || number > highestControl) {
        return std::nullopt;
    }
    return number;
}

// A file of the drive's own folder: a plain name, no way out of it.
bool plainFileName(std::string_view text) {
    return !text.empty() && text != "." && text != ".." &&
           text.find_first_of("/\\:") == std::string_view::npos;
}

std::optional<int> parseVehicle(std::string_view text) {
    if (text == "1" || text == "2") {
        return text[0] - '0';
    }
    return std::nullopt;
}

const VehicleClass* knownVehicleClass(int number) {
    for (const VehicleClass& known : vehicleClasses) {
        if (known.number == number) {
            return &known;
        }
    }
    return nullptr;
}

std::string vehicleClassWords() {
    std::string words = "a vehicle class: ";
    for (const VehicleClass& known : vehicleClasses) {
        words += std::string(known.name) + ", ";
    }
    return words + "or a number from 0 to " + std::to_string(highestVehicleClass);
}

std::optional<int> parseVehicleClass(std::string_view text) {
    for (const VehicleClass& known : vehicleClasses) {
        if (text == known.name) {
            return known.number;
        }
    }
    int number = -1;
    if (allDigits(text) && text.size() <= 2) {
        std::from_chars(text.data(), text.data() + text.size(), number);
    }
    if (number < 0 || number > highestVehicleClass) {
        return std::nullopt;
    }
    return number;
}

struct Subject {
    const char* word;
    Expectation::Subject subject;
    // Numeric subjects take a comparison; the others one of these words, or any
    // text when there are none.
    bool numeric;
    std::vector<const char*> values;
    // Whether "vehicle N" may name the vehicle it is about.
    bool perVehicle;
};

// A gear's label, or none drawn.
std::vector<const char*> gearWords() {
    std::vector<const char*> words;
    for (const GearSpec& gear : gearTable) {
        words.push_back(gear.label);
    }
    words.push_back("none");
    return words;
}

const std::vector<Subject>& subjects() {
    static const std::vector<Subject> table = {
        {"speed", Expectation::Subject::Speed, true, {}, true},
        {"cap", Expectation::Subject::Cap, true, {}, true},
        {"stalls", Expectation::Subject::Stalls, true, {}, false},
        {"engine", Expectation::Subject::Engine, false, {"on", "off"}, true},
        {"gear", Expectation::Subject::Gear, false, gearWords(), false},
        {"clutch", Expectation::Subject::Clutch, false, {"on", "off", "none"}, false},
        {"shift", Expectation::Subject::Shift, false, {"on", "off", "none"}, false},
        {"subtitle", Expectation::Subject::Subtitle, false, {}, false},
        {"notice", Expectation::Subject::Notice, false, {}, false},
        {"notices", Expectation::Subject::Notices, true, {}, false},
        {"control", Expectation::Subject::Control, false, {"disabled", "enabled"}, false},
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

    // The game control number at index, into number.
    bool controlAt(std::size_t index, int& number) {
        const std::string expected =
            "a game control number from 0 to " + std::to_string(highestControl);
        if (!argument(index, expected)) {
            return false;
        }
        const std::optional<int> control = parseControl(words[index]);
        if (!control) {
            return fail("expected " + expected + " after " + quoted(words[index - 1]) + ", got " +
                        quoted(words[index]));
        }
        number = *control;
        return true;
    }

    bool control() { return controlAt(2, event.code) && noMoreThan(3); }

    bool fileName(std::size_t index) {
        const std::string expected = "a file name in the drive's folder, such as MTconfig.ini";
        if (!argument(index, expected)) {
            return false;
        }
        if (!plainFileName(words[index])) {
            return fail("expected " + expected + ", got " + quoted(words[index]));
        }
        (index == 2 ? event.file : event.otherFile) = std::string(words[index]);
        return true;
    }

    bool speed(std::size_t index = 2) {
        if (!argument(index, "a speed such as 12 or -4.5")) {
            return false;
        }
        const std::optional<double> value = parseNumber(words[index]);
        if (!value) {
            return fail("expected a speed such as 12 or -4.5, got " + quoted(words[index]));
        }
        if (std::fabs(*value) > std::numeric_limits<float>::max()) {
            return fail("the speed " + quoted(words[index]) +
                        " is beyond what the game's single-precision speeds can hold");
        }
        event.speed = static_cast<float>(*value);
        return noMoreThan(index + 1);
    }

    // top [1|2] SPEED
    bool topSpeed() {
        event.vehicle = 0;
        if (words.size() > 3) {
            const std::optional<int> vehicle = parseVehicle(words[2]);
            if (!vehicle) {
                return fail("expected the vehicle, 1 or 2, got " + quoted(words[2]));
            }
            event.vehicle = *vehicle;
        }
        return speed(event.vehicle == 0 ? 2 : 3);
    }

    // enter [1|2] [driver|passenger]
    bool enter() {
        std::size_t at = 2;
        if (at < words.size()) {
            if (const std::optional<int> vehicle = parseVehicle(words[at])) {
                event.vehicle = *vehicle;
                ++at;
            }
        }
        if (at < words.size() && (words[at] == "driver" || words[at] == "passenger")) {
            event.passenger = words[at] == "passenger";
            return noMoreThan(at + 1);
        }
        if (at < words.size()) {
            return fail(std::string("expected ") + (at == 2 ? "the vehicle, 1 or 2, or " : "") +
                        "the seat, driver or passenger, after " + quoted(words[at - 1]) + ", got " +
                        quoted(words[at]));
        }
        return true;
    }

    bool vehicleClass() {
        if (!argument(2, "the vehicle, 1 or 2")) {
            return false;
        }
        const std::optional<int> vehicle = parseVehicle(words[2]);
        if (!vehicle) {
            return fail("expected the vehicle, 1 or 2, got " + quoted(words[2]));
        }
        event.vehicle = *vehicle;
        if (!argument(3, vehicleClassWords())) {
            return false;
        }
        const std::optional<int> number = parseVehicleClass(words[3]);
        if (!number) {
            return fail("expected " + vehicleClassWords() + ", got " + quoted(words[3]));
        }
        event.code = *number;
        return noMoreThan(4);
    }

    // One of two words after the action, into whether it is the first.
    bool eitherWord(const char* first, const char* second, bool& isFirst) {
        const std::string expected = std::string(first) + " or " + second;
        if (!argument(2, expected)) {
            return false;
        }
        if (words[2] != first && words[2] != second) {
            return fail("expected " + expected + " after " + quoted(words[1]) + ", got " +
                        quoted(words[2]));
        }
        isFirst = words[2] == first;
        return noMoreThan(3);
    }

    // "vehicle N" before what to expect names the vehicle it is about.
    bool expectedVehicle() {
        if (!argument(3, "the vehicle, 1 or 2")) {
            return false;
        }
        const std::optional<int> vehicle = parseVehicle(words[3]);
        if (!vehicle) {
            return fail("expected the vehicle, 1 or 2, after 'vehicle', got " + quoted(words[3]));
        }
        if (!argument(4, "speed, cap or engine")) {
            return false;
        }
        event.expectation.vehicle = *vehicle;
        words.erase(words.begin() + 2, words.begin() + 4);
        for (const Subject& subject : subjects()) {
            if (words[2] == subject.word && subject.perVehicle) {
                return true;
            }
        }
        return fail("expected speed, cap or engine after 'vehicle " + std::to_string(*vehicle) +
                    "', got " + quoted(words[2]));
    }

    // "control N" names the game control whether the game ignores it.
    bool expectedControl() {
        if (!controlAt(3, event.expectation.control)) {
            return false;
        }
        words.erase(words.begin() + 3);
        return true;
    }

    bool expectation() {
        std::vector<const char*> names;
        for (const Subject& subject : subjects()) {
            names.push_back(subject.word);
        }
        if (!argument(2, "what to expect: " + listOf(names))) {
            return false;
        }
        if (words[2] == "vehicle" && !expectedVehicle()) {
            return false;
        }
        if (words[2] == "control" && !expectedControl()) {
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
        if (word == "control" || word == "hold" || word == "release") {
            event.kind = word == "control" ? DriveEvent::Kind::Control
                         : word == "hold"  ? DriveEvent::Kind::Hold
                                           : DriveEvent::Kind::Release;
            return control();
        }
        if (word == "copy") {
            event.kind = DriveEvent::Kind::Copy;
            return fileName(2) && fileName(3) && noMoreThan(4);
        }
        if (word == "delete") {
            event.kind = DriveEvent::Kind::Delete;
            return fileName(2) && noMoreThan(3);
        }
        if (word == "enter") {
            event.kind = DriveEvent::Kind::Enter;
            return enter();
        }
        if (word == "leave" || word == "restart") {
            event.kind = word == "leave" ? DriveEvent::Kind::Leave : DriveEvent::Kind::Restart;
            return noMoreThan(2);
        }
        if (word == "class") {
            event.kind = DriveEvent::Kind::VehicleClass;
            return vehicleClass();
        }
        if (word == "focus" || word == "phone" || word == "menu") {
            event.kind = word == "focus"   ? DriveEvent::Kind::Focus
                         : word == "phone" ? DriveEvent::Kind::Phone
                                           : DriveEvent::Kind::Menu;
            return eitherWord("on", "off", event.on);
        }
        if (word == "device") {
            event.kind = DriveEvent::Kind::Device;
            return eitherWord("keyboard", "pad", event.keyboard);
        }
        if (word == "speed") {
            event.kind = DriveEvent::Kind::Speed;
            return speed();
        }
        if (word == "top") {
            event.kind = DriveEvent::Kind::TopSpeed;
            return topSpeed();
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
    if (parsed.script.events.empty()) {
        parsed.error = std::string(name) + ": no events: a drive needs at least one line such as "
                                           "'0 enter'";
    }
    return parsed;
}

std::string vehicleClassName(int vehicleClass) {
    const VehicleClass* known = knownVehicleClass(vehicleClass);
    return known ? known->name : "class " + std::to_string(vehicleClass);
}

bool classHasGearbox(int vehicleClass) {
    const VehicleClass* known = knownVehicleClass(vehicleClass);
    return !known || known->gearbox;
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
        std::string text =
            expectation.vehicle == 0
                ? subject.word
                : "vehicle " + std::to_string(expectation.vehicle) + " " + subject.word;
        if (expectation.subject == Expectation::Subject::Control) {
            text += " " + std::to_string(expectation.control);
        }
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
    case DriveEvent::Kind::Hold:
        return "hold " + std::to_string(event.code);
    case DriveEvent::Kind::Release:
        return "release " + std::to_string(event.code);
    case DriveEvent::Kind::Copy:
        return "copy " + event.file + " " + event.otherFile;
    case DriveEvent::Kind::Delete:
        return "delete " + event.file;
    case DriveEvent::Kind::Enter:
        return std::string("enter") + (event.vehicle == 1 ? "" : " 2") +
               (event.passenger ? " passenger" : "");
    case DriveEvent::Kind::Leave:
        return "leave";
    case DriveEvent::Kind::Restart:
        return "restart";
    case DriveEvent::Kind::VehicleClass: {
        const VehicleClass* known = knownVehicleClass(event.code);
        return "class " + std::to_string(event.vehicle) + " " +
               (known ? known->name : std::to_string(event.code));
    }
    case DriveEvent::Kind::Focus:
        return event.on ? "focus on" : "focus off";
    case DriveEvent::Kind::Phone:
        return event.on ? "phone on" : "phone off";
    case DriveEvent::Kind::Menu:
        return event.on ? "menu on" : "menu off";
    case DriveEvent::Kind::Device:
        return event.keyboard ? "device keyboard" : "device pad";
    case DriveEvent::Kind::Speed:
    case DriveEvent::Kind::TopSpeed: {
        char number[32];
        std::snprintf(number, sizeof number, "%g", static_cast<double>(event.speed));
        if (event.kind == DriveEvent::Kind::Speed) {
            return std::string("speed ") + number;
        }
        return "top " + (event.vehicle == 0 ? "" : std::to_string(event.vehicle) + " ") + number;
    }
    case DriveEvent::Kind::Expect:
        return "expect " + describeExpectation(event.expectation);
    }
    return {};
}
