// Expectations: what a drive checks at the end of a frame, and how a timeline
// shows one.
#include <cstdio>

#include "gears/gears.h"
#include "script/script_line.h"

namespace {

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

// A gear's label, or the label of a gate refused ("3!"), neutral's or none drawn.
std::vector<const char*> gearWords() {
    static const std::vector<std::string> refused = [] {
        std::vector<std::string> labels;
        for (const GearSpec& gear : gearTable) {
            labels.push_back(std::string(gear.label) + "!");
        }
        return labels;
    }();
    std::vector<const char*> words;
    for (const GearSpec& gear : gearTable) {
        words.push_back(gear.label);
    }
    for (const std::string& label : refused) {
        words.push_back(label.c_str());
    }
    words.push_back("N");
    words.push_back("none");
    return words;
}

const std::vector<Subject>& subjects() {
    static const std::vector<Subject> table = {
        {"speed", Expectation::Subject::Speed, true, {}, true},
        {"cap", Expectation::Subject::Cap, true, {}, true},
        {"heading", Expectation::Subject::Heading, true, {}, true},
        {"stalls", Expectation::Subject::Stalls, true, {}, false},
        {"engine", Expectation::Subject::Engine, false, {"on", "off"}, true},
        {"gear", Expectation::Subject::Gear, false, gearWords(), false},
        {"clutch", Expectation::Subject::Clutch, false, {"on", "off", "none"}, false},
        {"shift", Expectation::Subject::Shift, false, {"on", "off", "none"}, false},
        {"subtitle", Expectation::Subject::Subtitle, false, {}, false},
        {"notice", Expectation::Subject::Notice, false, {}, false},
        {"notices", Expectation::Subject::Notices, true, {}, false},
        {"control", Expectation::Subject::Control, false, {"disabled", "enabled"}, false},
        {"prompt", Expectation::Subject::Prompt, false, {}, false},
        {"force", Expectation::Subject::Force, true, {}, false},
        {"damper", Expectation::Subject::Damper, true, {}, false},
        {"jolt", Expectation::Subject::Jolt, true, {}, false},
        {"effects", Expectation::Subject::Effects, false, {"stopped", "playing"}, false},
        {"updates", Expectation::Subject::Updates, true, {}, false},
        {"pull", Expectation::Subject::Pull, true, {}, false},
        {"revs", Expectation::Subject::Revs, true, {}, false},
    };
    return table;
}

const Subject* subjectOf(std::string_view word) {
    const Subject* found = nullptr;
    for (const Subject& candidate : subjects()) {
        if (word == candidate.word) {
            found = &candidate;
        }
    }
    return found;
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

// "vehicle N" before what to expect names the vehicle it is about.
bool expectedVehicle(ScriptLine& line) {
    if (!argument(line, 3, "the vehicle, 1 or 2")) {
        return false;
    }
    const std::optional<int> vehicle = parseVehicle(line.words[3]);
    if (!vehicle) {
        return fail(line,
                    "expected the vehicle, 1 or 2, after 'vehicle', got " + quoted(line.words[3]));
    }
    if (!argument(line, 4, "speed, cap, heading or engine")) {
        return false;
    }
    line.event.expectation.vehicle = *vehicle;
    line.words.erase(line.words.begin() + 2, line.words.begin() + 4);
    const Subject* subject = subjectOf(line.words[2]);
    if (subject && subject->perVehicle) {
        return true;
    }
    return fail(line, "expected speed, cap, heading or engine after 'vehicle " +
                          std::to_string(*vehicle) + "', got " + quoted(line.words[2]));
}

// "control N" names the game control whether the game ignores it.
bool expectedControl(ScriptLine& line) {
    if (!controlAt(line, 3, line.event.expectation.control)) {
        return false;
    }
    line.words.erase(line.words.begin() + 3);
    return true;
}

bool numericExpectation(ScriptLine& line) {
    const std::string expected = "a comparison: <, <=, =, >= or >";
    if (!argument(line, 3, expected)) {
        return false;
    }
    const ComparisonWord* found = nullptr;
    for (const ComparisonWord& candidate : comparisons) {
        if (line.words[3] == candidate.word) {
            found = &candidate;
        }
    }
    if (!found) {
        return fail(line, "expected " + expected + ", got " + quoted(line.words[3]));
    }
    line.event.expectation.comparison = found->comparison;
    if (!argument(line, 4, "a number")) {
        return false;
    }
    const std::optional<double> value = parseNumber(line.words[4]);
    if (!value) {
        return fail(line, "expected a number after " + quoted(line.words[3]) + ", got " +
                              quoted(line.words[4]));
    }
    line.event.expectation.number = *value;
    return noMoreThan(line, 5);
}

// The rest of the line, blanks inside it and all.
bool textExpectation(ScriptLine& line) {
    if (!argument(line, 3, "a text, or none")) {
        return false;
    }
    const std::string_view rest =
        line.text.substr(static_cast<std::size_t>(line.words[3].data() - line.text.data()));
    line.event.expectation.text = rest == "none" ? "" : std::string(rest);
    return true;
}

bool valueExpectation(ScriptLine& line, const Subject& subject) {
    const std::string expected = listOf(subject.values);
    if (!argument(line, 3, expected)) {
        return false;
    }
    for (const char* value : subject.values) {
        if (line.words[3] == value) {
            line.event.expectation.text = std::string(value) == "none" ? "" : value;
            return noMoreThan(line, 4);
        }
    }
    return fail(line, "expected " + expected + " after " + quoted(line.words[2]) + ", got " +
                          quoted(line.words[3]));
}

} // namespace

bool parseExpectation(ScriptLine& line) {
    std::vector<const char*> names;
    for (const Subject& subject : subjects()) {
        names.push_back(subject.word);
    }
    if (!argument(line, 2, "what to expect: " + listOf(names))) {
        return false;
    }
    if (line.words[2] == "vehicle" && !expectedVehicle(line)) {
        return false;
    }
    if (line.words[2] == "control" && !expectedControl(line)) {
        return false;
    }
    const Subject* subject = subjectOf(line.words[2]);
    if (!subject) {
        return fail(line,
                    "expected what to expect: " + listOf(names) + ", got " + quoted(line.words[2]));
    }
    line.event.expectation.subject = subject->subject;
    if (subject->numeric) {
        return numericExpectation(line);
    }
    return subject->values.empty() ? textExpectation(line) : valueExpectation(line, *subject);
}

std::string describeExpectation(const Expectation& expectation) {
    for (const Subject& subject : subjects()) {
        if (subject.subject != expectation.subject) {
            continue;
        }
        // Built by appending: GCC 12 at -O3 takes a concatenation onto a
        // temporary here for an overlapping copy.
        std::string text;
        if (expectation.vehicle != 0) {
            text.append("vehicle ").append(std::to_string(expectation.vehicle)).append(" ");
        }
        text += subject.word;
        if (expectation.subject == Expectation::Subject::Control) {
            text.append(" ").append(std::to_string(expectation.control));
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
