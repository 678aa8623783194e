#include "explain/binding_warnings.h"

#include <algorithm>
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

} // namespace

std::string valueName(const BindingField& field, std::int32_t value) {
    switch (field.kind) {
    case BindingField::Kind::PadControl: {
        const std::string_view name = padControlName(value);
        return name.empty() ? "a game control" : std::string(name);
    }
    case BindingField::Kind::Switch:
        // FitGears, the one switch.
        return value == 1 ? "on: each gear's speeds fit the vehicle's top speed"
                          : "off: the gears' speeds as written, for a top speed of " +
                                std::to_string(static_cast<int>(tableTopSpeed)) + " m/s";
    case BindingField::Kind::Box:
        return std::to_string(boxWith(value).forwardGears) + " forward gears";
    case BindingField::Kind::Bite:
        return std::to_string(value == 0 ? defaultBitePoint : value) + "% of the pedal's travel" +
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
        return field.fieldName == "paddleUpButton" ? "one gear up" : "one gear down";
    }
    if (isAxisPart(input.part)) {
        return std::string(controllerAxisNames[partAxis(input.part)]) +
               (partTowardsLowest(input.part) ? ", pressed from high to low"
                                              : ", pressed from low to high");
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
        found.emplace_back("the file holds NUL bytes: it looks like UTF-16, whose key texts never "
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

    sharedInputs(bindings, false, found);
    sharedInputs(bindings, true, found);
    sharedParts(bindings, found);
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
