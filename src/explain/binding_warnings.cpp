#include "explain/binding_warnings.h"

#include <algorithm>
#include <array>
#include <map>
#include <span>
#include <utility>

#include "binding_file/gear_access.h"
#include "keys/input_names.h"
#include "keys/own_inputs.h"
#include "keys/virtual_keys.h"

namespace {

bool padField(const BindingField& field) {
    return field.kind == BindingField::Kind::PadControl;
}

bool keyField(const BindingField& field) {
    return field.kind == BindingField::Kind::GearKey ||
           field.kind == BindingField::Kind::OptionalKey;
}

std::vector<std::string> fieldNames(FieldSet fields) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < bindingFields.size(); ++i) {
        if (fields.test(i)) {
            names.emplace_back(bindingFields[i].keyText);
        }
    }
    return names;
}

// Several fields on one key or button, and each on one the gearbox uses itself.
void sharedInputs(const KeyBindings& bindings, bool pad, std::vector<std::string>& found) {
    std::map<std::int32_t, std::vector<std::string>> fieldsByCode;
    for (const BindingField& field : bindingFields) {
        if ((pad ? padField(field) : keyField(field)) && bindings.*field.member != 0) {
            fieldsByCode[bindings.*field.member].emplace_back(field.fieldName);
        }
    }
    for (const auto& [code, fields] : fieldsByCode) {
        if (fields.size() > 1) {
            found.push_back(joined(fields) + (fields.size() == 2 ? " are both " : " are all ") +
                            std::to_string(code) + " (" +
                            (pad ? std::string(padControlName(code)) : keyName(code)) + ")");
        }
    }
}

// A gear that can't be reached, its name as a sentence says it.
std::string gearWords(const GearSpec& gear) {
    return gear.reverse ? gear.name : std::string(gear.name) + " gear";
}

// A line that other files would take for a comment, which here binds all the
// same.
void commentsThatBind(const BindingReading& reading, std::vector<std::string>& found) {
    for (const ExplainedLine& line : reading.lines) {
        if (!line.commentMark.empty() && line.outcome.parse == ValueParse::Parsed) {
            found.push_back(
                "line " + std::to_string(line.outcome.number) + " begins with \"" +
                std::string(line.commentMark) + "\" but binds " +
                std::string(bindingFields[static_cast<std::size_t>(line.outcome.field)].fieldName) +
                ": the file has no comments, so delete the line to unbind it");
        }
    }
}

// Each game controller the lines name that isn't attached, with the lines
// that name it and those that are.
void controllersNotAttached(const BindingReading& reading, std::vector<std::string>& found) {
    if (!reading.attached) {
        return;
    }
    std::vector<std::string> attached;
    for (const AttachedController& controller : *reading.attached) {
        attached.push_back(controllerIdText(controller.id) + " (" + controller.name + ")");
    }
    for (const ControllerId id : boundControllers(reading.bindings)) {
        if (std::ranges::count(*reading.attached, id, &AttachedController::id) != 0) {
            continue;
        }
        const std::vector<std::string> fields = fieldsNaming(reading.bindings, id);
        const std::string naming =
            fields.size() == 1
                ? fields.front() + " names "
                : fields.front() + " and " + std::to_string(fields.size() - 1) + " more name ";
        found.push_back(naming + controllerIdText(id) + ", which is not attached; " +
                        (attached.empty() ? "no game controller is attached"
                                          : "attached: " + joined(attached)));
    }
}

// Several of the wheel's fields on one controller's part.
void sharedParts(const KeyBindings& bindings, std::vector<std::string>& found) {
    std::vector<std::pair<ControllerBinding, std::vector<std::string>>> fieldsByPart;
    for (const BindingField& field : bindingFields) {
        const ControllerBinding input =
            field.input != nullptr ? bindings.*field.input : ControllerBinding{};
        if (input.part == 0) {
            continue;
        }
        const auto same =
            std::ranges::find(fieldsByPart, input, [](const auto& entry) { return entry.first; });
        if (same == fieldsByPart.end()) {
            fieldsByPart.push_back({input, {std::string(field.fieldName)}});
        } else {
            same->second.emplace_back(field.fieldName);
        }
    }
    for (const auto& [input, fields] : fieldsByPart) {
        if (fields.size() > 1) {
            found.push_back(joined(fields) + (fields.size() == 2 ? " are both " : " are all ") +
                            controllerBindingText(input));
        }
    }
}

// Fields on one axis of one controller pressed opposite ways: releasing one
// presses the other, as a clutch pedal and a throttle on one slider would.
void oppositeWays(const KeyBindings& bindings, std::vector<std::string>& found) {
    // By controller and axis: the fields pressing it towards its highest, then
    // towards its lowest.
    std::map<std::pair<std::int32_t, std::size_t>, std::array<std::vector<std::string>, 2>> ways;
    for (const BindingField& field : bindingFields) {
        const ControllerBinding input =
            field.input != nullptr ? bindings.*field.input : ControllerBinding{};
        if (isAxisPart(input.part)) {
            ways[{controllerIdNumber(input.device), partAxis(input.part)}]
                [partTowardsLowest(input.part) ? 1 : 0]
                    .emplace_back(std::string(field.fieldName) + " (" +
                                  controllerBindingText(input) + ")");
        }
    }
    for (auto [axis, fields] : ways) {
        if (!fields[0].empty() && !fields[1].empty()) {
            fields[1].insert(fields[1].end(), fields[0].begin(), fields[0].end());
            found.push_back(joined(fields[1]) +
                            " press one axis opposite ways: releasing one presses the other");
        }
    }
}

// "40% of the pedal's travel", or the default's percent for 0, which the words
// then say.
std::string percentWords(std::int32_t value, std::int32_t byDefault, BindingField::Kind kind) {
    return std::to_string(percentOrDefault(value, byDefault)) + "% of " +
           std::string(percentOf(kind)) + (value == 0 ? ", the default" : "");
}

// What a switch does on, or off.
std::string switchWords(const BindingField& field, bool on) {
    if (field.fieldName == "gearFeel") {
        return on ? "on: lower gears pull harder, the engine brakes, a clutch pedal slips"
                  : "off: every gear pulls as the vehicle's engine does";
    }
    if (field.fieldName == "revBar") {
        return on ? "on: a rev bar beside the labels while the gear feel is on" : "off: no rev bar";
    }
    return on ? "on: speeds fit the vehicle's top speed"
              : "off: speeds as written, for a top speed of " +
                    std::to_string(static_cast<int>(tableTopSpeed)) + " m/s";
}

} // namespace

std::vector<std::string> fieldsNaming(const KeyBindings& bindings, ControllerId id) {
    std::vector<std::string> fields;
    for (const BindingField& field : bindingFields) {
        const ControllerBinding* input =
            field.input != nullptr ? &(bindings.*field.input) : nullptr;
        if (input != nullptr && input->part != 0 && input->device == id) {
            fields.emplace_back(field.fieldName);
        }
    }
    return fields;
}

std::vector<std::size_t> stickUnreached(const KeyBindings& bindings) {
    const std::vector<std::size_t> unbound = unboundGateFields(bindings);
    const auto boxGears = std::ranges::count_if(boxOf(bindings).gears, &BoxGear::inBox);
    return static_cast<std::ptrdiff_t>(unbound.size()) < boxGears ? unbound
                                                                  : std::vector<std::size_t>{};
}

std::string gearsOfGates(const std::vector<std::size_t>& gates) {
    std::vector<std::string> gears;
    for (const std::size_t gate : gates) {
        gears.push_back(gearWords(gearTable[static_cast<std::size_t>(
            std::ranges::find(gearGateFields, gate) - gearGateFields.begin())]));
    }
    return joined(gears);
}

std::string_view percentOf(BindingField::Kind kind) {
    switch (kind) {
    case BindingField::Kind::DeadZone:
        return "the way from rest";
    case BindingField::Kind::FullLock:
        return "the wheel's turn";
    case BindingField::Kind::ForceStrength:
        return "the wheel's force";
    default:
        return "the pedal's travel";
    }
}

std::string_view controllerUse(const BindingField& field) {
    static constexpr std::pair<std::string_view, std::string_view> uses[] = {
        {"clutchPedal", "the clutch once pressed past bitePoint"},
        {"paddleUpButton", "one gear up"},
        {"paddleDownButton", "one gear down"},
        {"steeringAxis", "the steering, its centre straight ahead"},
        {"throttlePedal", "the accelerator"},
        {"brakePedal", "the brake"},
        {"handbrakeButton", "the handbrake"},
    };
    const auto use = std::ranges::find(uses, field.fieldName,
                                       &std::pair<std::string_view, std::string_view>::first);
    return use != std::end(uses) ? use->second : std::string_view{};
}

std::string valueName(const BindingField& field, std::int32_t value) {
    switch (field.kind) {
    case BindingField::Kind::PadControl: {
        const std::string_view name = padControlName(value);
        return name.empty() ? "a game control" : std::string(name);
    }
    case BindingField::Kind::Switch:
        return switchWords(field, value == 1);
    case BindingField::Kind::Box:
        return std::to_string(boxWith(value).forwardGears) + " forward gears";
    case BindingField::Kind::Bite:
        return percentWords(value, defaultBitePoint, field.kind);
    case BindingField::Kind::DeadZone:
        return percentWords(value, defaultDeadZone, field.kind);
    case BindingField::Kind::FullLock:
        return "full lock at " + percentWords(value, defaultFullLock, field.kind);
    case BindingField::Kind::ForceStrength:
        return value == 0 ? std::string("off")
                          : "force feedback on the steering's controller at " +
                                std::to_string(value) + "% of its strength";
    case BindingField::Kind::Band:
        return std::to_string(percentOrDefault(value, defaultBiteBand)) + "% of " +
               std::string(percentOf(field.kind)) + " each way from bitePoint" +
               (value == 0 ? ", the default" : "");
    case BindingField::Kind::Strength:
        return std::to_string(percentOrDefault(value, defaultStrength)) + "% of the gear feel's " +
               (field.fieldName == "pull" ? "pull" : "engine braking") +
               (value == 0 ? ", the default" : "");
    default:
        return keyName(value);
    }
}

std::string inputMeaning(const BindingField& field, const ControllerBinding& input) {
    if (field.kind == BindingField::Kind::Gate) {
        for (std::size_t gear = 0; gear < gearCount; ++gear) {
            if (gearTable[gear].gateField == field.fieldName) {
                return gearWords(gearTable[gear]);
            }
        }
    }
    if (field.kind == BindingField::Kind::WheelButton) {
        return std::string(controllerUse(field));
    }
    if (isAxisPart(input.part)) {
        const bool steering = field.kind == BindingField::Kind::Steering;
        return std::string(controllerAxisNames[partAxis(input.part)]) +
               (steering ? ", right" : ", pressed") +
               (partTowardsLowest(input.part) ? " from high to low" : " from low to high");
    }
    return "button " + std::to_string(input.part);
}

std::string inputBindingText(const BindingField& field, const ControllerBinding& input) {
    return std::string(field.fieldName) + " = " + controllerBindingText(input) + " (" +
           inputMeaning(field, input) + ")";
}

std::string bindingText(const BindingField& field, std::int32_t value) {
    return std::string(field.fieldName) + " = " + std::to_string(value) + " (" +
           valueName(field, value) + ")";
}

std::vector<std::string> bindingWarnings(const BindingReading& reading) {
    const KeyBindings& bindings = reading.bindings;
    const ReadSummary& summary = reading.summary;
    std::vector<std::string> found;
    if (summary.utf16) {
        found.emplace_back("the file is UTF-16, so nothing in it binds: save it as plain text "
                           "(ANSI or UTF-8)");
    } else if (summary.nulBytes) {
        found.emplace_back("the file holds NUL bytes: it looks like UTF-16, whose names never "
                           "match; save it as plain text (ANSI or UTF-8)");
    }
    if (summary.ctrlZLine != 0) {
        found.push_back("line " + std::to_string(summary.ctrlZLine) +
                        " holds a Ctrl-Z byte, which ends the file: nothing after it is read");
    }
    for (const ExplainedLine& line : reading.lines) {
        const std::vector<std::string> names = fieldNames(line.outcome.keyTextsFound);
        if (names.size() > 1) {
            found.push_back("line " + std::to_string(line.outcome.number) + " names " +
                            joined(names) + ": only " + names.front() +
                            " can bind there, so put each on a line of its own");
        }
    }
    if (reading.laterLinesNamingSeveral != 0) {
        found.push_back(std::to_string(reading.laterLinesNamingSeveral) +
                        " more lines after those explained name more than one field");
    }

    if (gearAccess(bindings) == GearAccess::None) {
        const bool wheel = wheelBound(bindings);
        if (bindings.clutchKey == 0 && bindings.clutchPedal.part == 0) {
            found.emplace_back(wheel ? "no clutch: without clutchKey or clutchPedal no gear can "
                                       "be selected"
                                     : "no clutch: without clutchKey no gear can be selected");
        }
        for (const std::size_t unbound : unreachedGearFields(bindings)) {
            for (std::size_t gear = 0; gear < gearCount; ++gear) {
                if (unbound == gearKeyFields[gear] || unbound == gearGateFields[gear]) {
                    found.push_back(std::string(bindingFields[unbound].fieldName) +
                                    " is not bound: " + gearWords(gearTable[gear]) +
                                    " can't be selected");
                }
            }
        }
        if ((bindings.shiftUpKey == 0) != (bindings.shiftDownKey == 0)) {
            found.emplace_back("shifting one gear at a time takes both shiftUpKey and "
                               "shiftDownKey");
        }
        if ((bindings.paddleUpButton.part == 0) != (bindings.paddleDownButton.part == 0)) {
            found.emplace_back("shifting one gear at a time on the wheel takes both "
                               "paddleUpButton and paddleDownButton");
        }
        const int padBound = (bindings.padHoldControl != 0) + (bindings.padUpControl != 0) +
                             (bindings.padDownControl != 0);
        if (padBound != 0 && padBound != 3) {
            found.emplace_back("shifting on the pad takes all of padHoldControl, padUpControl "
                               "and padDownControl");
        }
    }

    if (const std::vector<std::size_t> gates = stickUnreached(bindings);
        !gates.empty() && gearAccess(bindings) != GearAccess::None) {
        std::vector<std::string> names;
        for (const std::size_t gate : gates) {
            names.emplace_back(bindingFields[gate].fieldName);
        }
        found.push_back("the stick can't reach " + gearsOfGates(gates) + ": " + joined(names) +
                        (names.size() == 1 ? " is" : " are") + " not bound");
    }
    if (bindings.gearFeel != 1 && (bindings.pull != 0 || bindings.engineBraking != 0 ||
                                   bindings.revBar != 0 || bindings.biteBand != 0)) {
        found.emplace_back("pull, engineBraking, revBar and biteBand do nothing while gearFeel "
                           "is off: add GearFeel=1");
    }
    commentsThatBind(reading, found);
    controllersNotAttached(reading, found);
    sharedInputs(bindings, false, found);
    sharedInputs(bindings, true, found);
    sharedParts(bindings, found);
    oppositeWays(bindings, found);
    for (const BindingField& field : bindingFields) {
        if (!keyField(field) && !padField(field)) {
            continue;
        }
        const std::int32_t code = bindings.*field.member;
        const std::span<const OwnInput> own =
            padField(field) ? std::span<const OwnInput>(ownControls) : ownKeys;
        for (const OwnInput& input : own) {
            if (code == input.code) {
                found.push_back(bindingText(field, code) + ": the plug-in already uses " +
                                (padField(field) ? "it to " : "") + std::string(input.use));
            }
        }
        if (keyField(field) && code != 0 && virtualKeyName(code) == nullptr) {
            found.push_back(std::string(field.fieldName) + " = " + std::to_string(code) +
                            " is no virtual key: no key can press it");
        }
    }
    return found;
}
