// Vehicles: getting in and out, their class and speed, and the script's
// restart of the plug-in.
#include <charconv>
#include <cmath>
#include <limits>

#include "gearbox/vehicle_classes.h"
#include "script/script_line.h"

namespace {

struct VehicleClass {
    const char* name;
    int number;
};

// The game's vehicle classes that drives name; any other is given by number.
constexpr VehicleClass vehicleClasses[] = {
    {"car", 0},         {"motorcycle", 8}, {"bicycle", 13}, {"boat", 14},
    {"helicopter", 15}, {"plane", 16},     {"train", 21},   {"open-wheel", 22},
};

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

} // namespace

std::optional<int> parseVehicle(std::string_view text) {
    if (text == "1" || text == "2") {
        return text[0] - '0';
    }
    return std::nullopt;
}

// enter [1|2] [driver|passenger]
bool parseEnter(ScriptLine& line) {
    const std::vector<std::string_view>& words = line.words;
    std::size_t at = 2;
    if (at < words.size()) {
        if (const std::optional<int> vehicle = parseVehicle(words[at])) {
            line.event.vehicle = *vehicle;
            ++at;
        }
    }
    if (at < words.size() && (words[at] == "driver" || words[at] == "passenger")) {
        line.event.passenger = words[at] == "passenger";
        return noMoreThan(line, at + 1);
    }
    if (at < words.size()) {
        return fail(line, std::string("expected ") + (at == 2 ? "the vehicle, 1 or 2, or " : "") +
                              "the seat, driver or passenger, after " + quoted(words[at - 1]) +
                              ", got " + quoted(words[at]));
    }
    return true;
}

bool parseVehicleClassAction(ScriptLine& line) {
    if (!argument(line, 2, "the vehicle, 1 or 2")) {
        return false;
    }
    const std::optional<int> vehicle = parseVehicle(line.words[2]);
    if (!vehicle) {
        return fail(line, "expected the vehicle, 1 or 2, got " + quoted(line.words[2]));
    }
    line.event.vehicle = *vehicle;
    if (!argument(line, 3, vehicleClassWords())) {
        return false;
    }
    const std::optional<int> number = parseVehicleClass(line.words[3]);
    if (!number) {
        return fail(line, "expected " + vehicleClassWords() + ", got " + quoted(line.words[3]));
    }
    line.event.code = *number;
    return noMoreThan(line, 4);
}

namespace {

// The speed in the word at index, the line's last.
bool speedAt(ScriptLine& line, std::size_t index) {
    if (!argument(line, index, "a speed such as 12 or -4.5")) {
        return false;
    }
    const std::optional<double> value = parseNumber(line.words[index]);
    if (!value) {
        return fail(line, "expected a speed such as 12 or -4.5, got " + quoted(line.words[index]));
    }
    if (std::fabs(*value) > std::numeric_limits<float>::max()) {
        return fail(line, "the speed " + quoted(line.words[index]) +
                              " is beyond what the game's single-precision speeds can hold");
    }
    line.event.speed = static_cast<float>(*value);
    return noMoreThan(line, index + 1);
}

} // namespace

bool parseSpeed(ScriptLine& line) {
    return speedAt(line, 2);
}

bool parseTopSpeed(ScriptLine& line) {
    line.event.vehicle = 0;
    if (line.words.size() > 3) {
        const std::optional<int> vehicle = parseVehicle(line.words[2]);
        if (!vehicle) {
            return fail(line, "expected the vehicle, 1 or 2, got " + quoted(line.words[2]));
        }
        line.event.vehicle = *vehicle;
    }
    return speedAt(line, line.event.vehicle == 0 ? 2 : 3);
}

bool parseBare(ScriptLine& line) {
    return noMoreThan(line, 2);
}

std::string vehicleClassName(int vehicleClass) {
    const VehicleClass* known = knownVehicleClass(vehicleClass);
    return known ? known->name : "class " + std::to_string(vehicleClass);
}

std::string vehicleClassWord(int vehicleClass) {
    const VehicleClass* known = knownVehicleClass(vehicleClass);
    return known ? known->name : std::to_string(vehicleClass);
}
