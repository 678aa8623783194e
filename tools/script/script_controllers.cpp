// Game controllers: plugged in and unplugged, their axes moved and their
// buttons held.
#include <algorithm>
#include <charconv>

#include "host/controller_faults.h"
#include "script/script_line.h"

namespace {

// A number from 1 to highest, all digits.
std::optional<int> parseNumberUpTo(std::string_view text, int highest) {
    int number = 0;
    if (!allDigits(text) || text.size() > 3) {
        return std::nullopt;
    }
    std::from_chars(text.data(), text.data() + text.size(), number);
    if (number < 1 || number > highest) {
        return std::nullopt;
    }
    return number;
}

// The number at index, by default the action's first argument.
bool controllerNumber(ScriptLine& line, std::size_t at = 2) {
    const std::string expected =
        "a game controller's number from 1 to " + std::to_string(driveControllerCount);
    if (!argument(line, at, expected)) {
        return false;
    }
    const std::optional<int> number = parseNumberUpTo(line.words[at], driveControllerCount);
    if (!number) {
        return fail(line, "expected " + expected + " after " + quoted(line.words[at - 1]) +
                              ", got " + quoted(line.words[at]));
    }
    line.event.controller = *number;
    return true;
}

std::string typeWords() {
    std::vector<const char*> names;
    for (const std::string_view name : controllerTypeNames) {
        names.push_back(name.data());
    }
    return "a game controller's type: " + listOf(names);
}

std::string axisWords() {
    std::vector<const char*> names;
    for (const std::string_view name : controllerAxisNames) {
        names.push_back(name.data());
    }
    return "an axis: " + listOf(names);
}

} // namespace

bool parsePlug(ScriptLine& line) {
    const std::string id = "a game controller's id, its vendor's and product's, such as 046D:C24F";
    if (!controllerNumber(line) || !argument(line, 3, id)) {
        return false;
    }
    const std::optional<ControllerId> parsedId = parseControllerId(line.words[3]);
    if (!parsedId) {
        return fail(line, "expected " + id + ", got " + quoted(line.words[3]));
    }
    line.event.controllerId = *parsedId;
    if (!argument(line, 4, typeWords())) {
        return false;
    }
    const std::optional<ControllerType> type = controllerTypeNamed(line.words[4]);
    if (!type) {
        return fail(line, "expected " + typeWords() + ", got " + quoted(line.words[4]));
    }
    line.event.controllerType = *type;
    if (!argument(line, 5, "its name, such as Logitech G29 Driving Force")) {
        return false;
    }
    // The rest of the line, as Windows would name the product.
    const std::size_t from = static_cast<std::size_t>(line.words[5].data() - line.text.data());
    line.event.name = std::string(line.text.substr(from));
    return true;
}

bool parseUnplug(ScriptLine& line) {
    return controllerNumber(line) && noMoreThan(line, 3);
}

bool parseAxis(ScriptLine& line) {
    if (!controllerNumber(line) || !argument(line, 3, axisWords())) {
        return false;
    }
    const auto axis = std::ranges::find(controllerAxisNames, line.words[3]);
    if (axis == controllerAxisNames.end()) {
        return fail(line, "expected " + axisWords() + ", got " + quoted(line.words[3]));
    }
    line.event.code = static_cast<int>(axis - controllerAxisNames.begin());
    const std::string travel = "its travel from 0, its lowest, to 1, its highest, such as 0.25";
    if (!argument(line, 4, travel)) {
        return false;
    }
    const std::optional<double> value = parseNumber(line.words[4]);
    if (!value || *value < 0 || *value > 1) {
        return fail(line, "expected " + travel + ", got " + quoted(line.words[4]));
    }
    line.event.travel = static_cast<float>(*value);
    return noMoreThan(line, 5);
}

bool parseExclusive(ScriptLine& line) {
    if (!controllerNumber(line) || !argument(line, 3, "taken or free")) {
        return false;
    }
    if (line.words[3] != "taken" && line.words[3] != "free") {
        return fail(line, "expected taken or free after " + quoted(line.words[2]) + ", got " +
                              quoted(line.words[3]));
    }
    line.event.on = line.words[3] == "taken";
    return noMoreThan(line, 4);
}

bool parseButton(ScriptLine& line) {
    const std::string button =
        "a button's number from 1 to " + std::to_string(controllerButtonCount);
    if (!controllerNumber(line) || !argument(line, 3, button)) {
        return false;
    }
    const std::optional<int> number = parseNumberUpTo(line.words[3], controllerButtonCount);
    if (!number) {
        return fail(line, "expected " + button + ", got " + quoted(line.words[3]));
    }
    line.event.code = *number;
    if (!argument(line, 4, "down or up")) {
        return false;
    }
    if (line.words[4] != "down" && line.words[4] != "up") {
        return fail(line, "expected down or up after " + quoted(line.words[3]) + ", got " +
                              quoted(line.words[4]));
    }
    line.event.on = line.words[4] == "down";
    return noMoreThan(line, 5);
}

// The system's steps take no controller's number; EnumDevices takes one for
// a name with no end. An answer is a failure, or S_OK ("null") where the
// step gives an object.
bool parseFault(ScriptLine& line) {
    std::vector<const char*> names;
    for (std::uint8_t step = 1; step <= lastControllerStep; ++step) {
        names.push_back(controllerStepName(static_cast<ControllerStep>(step)).data());
    }
    const std::string steps = "a step of DirectInput: " + listOf(names);
    if (!argument(line, 2, steps)) {
        return false;
    }
    const std::optional<ControllerStep> step = controllerStepNamed(line.words[2]);
    if (!step) {
        return fail(line, "expected " + steps + ", got " + quoted(line.words[2]));
    }
    line.event.code = static_cast<int>(*step);
    const bool system =
        *step == ControllerStep::Start || (*step == ControllerStep::List && line.words.size() <= 4);
    line.event.controller = 0;
    if (!system && !controllerNumber(line, 3)) {
        return false;
    }
    const bool name = *step == ControllerStep::List && !system;
    const bool object = *step == ControllerStep::Start || *step == ControllerStep::Create;
    const std::string answers = name ? "unterminated or none"
                                     : std::string("a failure such as E_FAIL or 0x80004005") +
                                           (object ? ", null" : "") + " or none";
    const std::size_t at = system ? 3 : 4;
    if (!argument(line, at, answers)) {
        return false;
    }
    const std::string_view word = line.words[at];
    line.event.on = name && word == "unterminated";
    line.event.answer = !name && object && word == "null" ? std::optional(directInputAnswer::ok)
                        : name                            ? std::nullopt
                                                          : directInputAnswerNamed(word);
    const bool failure = line.event.answer && *line.event.answer < 0;
    if (word != "none" && !line.event.on && !failure && !(object && word == "null")) {
        return fail(line, "expected " + answers + ", got " + quoted(word));
    }
    if (word == "none") {
        line.event.answer.reset();
    }
    return noMoreThan(line, at + 1);
}

std::string faultText(const DriveEvent& event) {
    const auto step = static_cast<ControllerStep>(event.code);
    return "fault " + std::string(controllerStepName(step)) +
           (event.controller != 0 ? " " + std::to_string(event.controller) : "") + " " +
           (event.on       ? "unterminated"
            : event.answer ? directInputAnswerName(*event.answer)
                           : "none");
}
