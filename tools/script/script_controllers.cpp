// Game controllers: plugged in and unplugged, their axes moved and their
// buttons held.
#include <algorithm>
#include <charconv>

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

bool controllerNumber(ScriptLine& line) {
    const std::string expected =
        "a game controller's number from 1 to " + std::to_string(driveControllerCount);
    if (!argument(line, 2, expected)) {
        return false;
    }
    const std::optional<int> number = parseNumberUpTo(line.words[2], driveControllerCount);
    if (!number) {
        return fail(line, "expected " + expected + " after " + quoted(line.words[1]) + ", got " +
                              quoted(line.words[2]));
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
