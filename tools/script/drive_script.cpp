#include "script/drive_script.h"

#include <cstdio>

#include "keys/virtual_keys.h"
#include "script/script_line.h"

namespace {

struct Action {
    const char* word;
    DriveEvent::Kind kind;
    // Reads the arguments into the event.
    bool (*parse)(ScriptLine& line);
};

// In the order messages list them.
constexpr Action actions[] = {
    {"down", DriveEvent::Kind::KeyDown, parseKeyAction},
    {"up", DriveEvent::Kind::KeyUp, parseKeyAction},
    {"control", DriveEvent::Kind::Control, parseControlAction},
    {"hold", DriveEvent::Kind::Hold, parseControlAction},
    {"release", DriveEvent::Kind::Release, parseControlAction},
    {"enter", DriveEvent::Kind::Enter, parseEnter},
    {"leave", DriveEvent::Kind::Leave, parseBare},
    {"speed", DriveEvent::Kind::Speed, parseSpeed},
    {"top", DriveEvent::Kind::TopSpeed, parseTopSpeed},
    {"class", DriveEvent::Kind::VehicleClass, parseVehicleClassAction},
    {"focus", DriveEvent::Kind::Focus, parseOnOff},
    {"phone", DriveEvent::Kind::Phone, parseOnOff},
    {"menu", DriveEvent::Kind::Menu, parseOnOff},
    {"device", DriveEvent::Kind::Device, parseDevice},
    {"copy", DriveEvent::Kind::Copy, parseCopy},
    {"delete", DriveEvent::Kind::Delete, parseDelete},
    {"plug", DriveEvent::Kind::Plug, parsePlug},
    {"unplug", DriveEvent::Kind::Unplug, parseUnplug},
    {"axis", DriveEvent::Kind::Axis, parseAxis},
    {"button", DriveEvent::Kind::Button, parseButton},
    {"fault", DriveEvent::Kind::Fault, parseFault},
    {"restart", DriveEvent::Kind::Restart, parseBare},
    {"exclusive", DriveEvent::Kind::Exclusive, parseExclusive},
    {"slide", DriveEvent::Kind::Slide, parseSpeed},
    {"air", DriveEvent::Kind::Air, parseOnOff},
    {"crash", DriveEvent::Kind::Crash, parseSpeed},
    {"expect", DriveEvent::Kind::Expect, parseExpectation},
};

std::string actionWords() {
    std::vector<const char*> words;
    for (const Action& action : actions) {
        words.push_back(action.word);
    }
    return "an action: " + listOf(words);
}

bool parseAction(ScriptLine& line) {
    if (!argument(line, 1, actionWords())) {
        return false;
    }
    for (const Action& action : actions) {
        if (line.words[1] == action.word) {
            line.event.kind = action.kind;
            return action.parse(line);
        }
    }
    return fail(line, "expected " + actionWords() + ", got " + quoted(line.words[1]));
}

std::string keyText(int code) {
    if (const char* name = virtualKeyName(code)) {
        return name;
    }
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", code);
    return text;
}

} // namespace

ParsedDriveScript parseDriveScript(std::string_view name, std::string_view text) {
    ParsedDriveScript parsed;
    parsed.script.name = std::string(name);
    std::int64_t previousMs = 0;
    int lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t end = text.find('\n');
        const std::string_view whole = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        const std::string_view kept = trimmed(whole.substr(0, whole.find('#')));
        if (kept.empty()) {
            continue;
        }
        ScriptLine line{kept, wordsOf(kept), {}, {}};
        line.event.line = lineNumber;
        if (!parseTime(line, previousMs) || !parseAction(line)) {
            parsed.error = std::string(name) + ":" + std::to_string(lineNumber) + ": " + line.error;
            parsed.script.events.clear();
            return parsed;
        }
        previousMs = line.event.timeMs;
        parsed.script.endMs = previousMs;
        parsed.script.events.push_back(std::move(line.event));
    }
    if (parsed.script.events.empty()) {
        parsed.error = std::string(name) + ": no events: a drive needs at least one line such as "
                                           "'0 enter'";
    }
    return parsed;
}

std::string describeEvent(const DriveEvent& event) {
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
    case DriveEvent::Kind::VehicleClass:
        return "class " + std::to_string(event.vehicle) + " " + vehicleClassWord(event.code);
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
    case DriveEvent::Kind::Plug:
        return "plug " + std::to_string(event.controller) + " " +
               controllerIdText(event.controllerId) + " " +
               std::string(controllerTypeNames[static_cast<std::size_t>(event.controllerType)]) +
               " " + event.name;
    case DriveEvent::Kind::Unplug:
        return "unplug " + std::to_string(event.controller);
    case DriveEvent::Kind::Axis: {
        char travel[32];
        std::snprintf(travel, sizeof travel, "%g", static_cast<double>(event.travel));
        return "axis " + std::to_string(event.controller) + " " +
               std::string(controllerAxisNames[static_cast<std::size_t>(event.code)]) + " " +
               travel;
    }
    case DriveEvent::Kind::Button:
        return "button " + std::to_string(event.controller) + " " + std::to_string(event.code) +
               (event.on ? " down" : " up");
    case DriveEvent::Kind::Fault:
        return faultText(event);
    case DriveEvent::Kind::Exclusive:
        return "exclusive " + std::to_string(event.controller) + (event.on ? " taken" : " free");
    case DriveEvent::Kind::Air:
        return event.on ? "air on" : "air off";
    case DriveEvent::Kind::Slide:
    case DriveEvent::Kind::Crash: {
        char number[32];
        std::snprintf(number, sizeof number, "%g", static_cast<double>(event.speed));
        return (event.kind == DriveEvent::Kind::Slide ? "slide " : "crash ") + std::string(number);
    }
    case DriveEvent::Kind::Expect:
        return "expect " + describeExpectation(event.expectation);
    }
    return {};
}
