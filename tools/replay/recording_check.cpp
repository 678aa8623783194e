#include "replay/recording_check.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "binding_file/binding_rewrite.h"
#include "binding_file/recorded_bindings.h"
#include "gearbox/vehicle_classes.h"
#include "host/game_controllers.h"
#include "replay/replay_calls.h"
#include "sim/world.h"

namespace {

// The bindings or the state, as messages name them, and their fields.
struct Fields {
    const char* name;
    const char* holds;
    std::span<const RecordedField> table;
};

std::string outside(std::int32_t value, std::int32_t lowest, std::int32_t highest) {
    return std::to_string(value) + ", outside " + std::to_string(lowest) + " to " +
           std::to_string(highest);
}

std::string valueProblem(const Fields& fields, const RecordedField& field, std::int32_t value) {
    if (value >= field.lowest && value <= field.highest) {
        return {};
    }
    return std::string(fields.name) + " " + fields.holds + " " + std::string(field.name) + " = " +
           outside(value, field.lowest, field.highest);
}

const RecordedField* fieldNamed(std::span<const RecordedField> table, std::string_view name) {
    const auto found = std::ranges::find(table, name, &RecordedField::name);
    return found == table.end() ? nullptr : &*found;
}

// Each value names one of the fields, once, with a value in its range; a
// field not named keeps its default.
std::string fieldsProblem(const Fields& fields, const std::vector<NamedValue>& values) {
    std::vector<bool> named(fields.table.size(), false);
    for (const NamedValue& value : values) {
        const RecordedField* field = fieldNamed(fields.table, value.name);
        if (!field) {
            return std::string(fields.name) + " name " + value.name +
                   ", which this plug-in doesn't know";
        }
        const auto index = static_cast<std::size_t>(field - fields.table.data());
        if (named[index]) {
            return std::string(fields.name) + " name " + value.name + " twice";
        }
        named[index] = true;
        if (std::string problem = valueProblem(fields, *field, value.value); !problem.empty()) {
            return problem;
        }
    }
    return {};
}

// A value no key-binding file can hold, though in its field's range: each
// field's line, as the file writes it, must read back as the same value (a
// box the table has, the steering an axis), and a device needs a part.
std::string fileRulesProblem(const std::vector<NamedValue>& values) {
    const KeyBindings keys = keysOfRecording(values);
    for (const BindingField& field : bindingFields) {
        const std::int32_t value = fieldValue(keys, field);
        const std::string name(field.fieldName);
        if (field.input != nullptr && value == 0 && (keys.*field.input).device != ControllerId{}) {
            return "its bindings hold " + std::string(field.deviceName) + " = " +
                   controllerIdText((keys.*field.input).device) + " for " + name +
                   ", which binds nothing";
        }
        if (value == 0) {
            continue;
        }
        const std::string line = fieldLine(field, keys);
        const LineOutcome read = readBindingLine(line, 1);
        const bool same = field.input != nullptr ? read.input == keys.*field.input
                                                 : read.value == keys.*field.member;
        if (read.parse != ValueParse::Parsed || !same) {
            return "its bindings hold " + name + " = " + std::to_string(value) +
                   ", which the key-binding file refuses: " + line;
        }
    }
    return {};
}

Fields bindingsFields() {
    return {"its bindings", "hold", recordedBindingFields};
}

Fields stateFieldsOf(std::span<const RecordedField> table) {
    return {"its state", "holds", table};
}

void addUnnamed(std::span<const RecordedField> table, const std::vector<NamedValue>& values,
                std::vector<std::string_view>& unnamed) {
    for (const RecordedField& field : table) {
        if (std::ranges::find(values, field.name, &NamedValue::name) == values.end()) {
            unnamed.push_back(field.name);
        }
    }
}

// The pads a native may name: 0 the player's controls, 2 the frontend's.
constexpr std::int32_t lastPad = 2;

// What the stand-in reads from a native's recorded call: the arguments that
// are a pad and a game control, as its documented parameters name them, and
// whether its answer is a vehicle class.
struct NativeReading {
    std::size_t padArgument = recordedArgumentsAtMost;
    std::size_t controlArgument = recordedArgumentsAtMost;
    bool answersClass = false;
};

NativeReading nativeReading(std::uint64_t hash) {
    NativeReading reading;
    reading.answersClass = sim::nativeFact(hash) == sim::Fact::VehicleClass;
    const char* parameters = sim::nativeParameters(hash);
    std::string_view rest = parameters ? parameters : "";
    for (std::size_t i = 0; !rest.empty(); ++i) {
        const std::size_t comma = std::min(rest.find(", "), rest.size());
        const std::string_view parameter = rest.substr(0, comma);
        if (parameter.ends_with(" padIndex")) {
            reading.padArgument = i;
        } else if (parameter.ends_with(" control")) {
            reading.controlArgument = i;
        } else if (parameter.ends_with(" action")) {
            // The newer documentation's names: "control" was the pad.
            reading.padArgument = reading.controlArgument;
            reading.controlArgument = i;
        }
        rest.remove_prefix(std::min(comma + 2, rest.size()));
    }
    return reading;
}

// A pad or control argument, when the call has it, outside 0 to its highest.
std::string argumentProblem(const RecordedCall& call, std::size_t argument, const char* what,
                            std::int32_t highest) {
    if (argument >= call.argumentCount) {
        return {};
    }
    const auto value = static_cast<std::int32_t>(call.arguments[argument]);
    if (value >= 0 && value <= highest) {
        return {};
    }
    const NativeId* id = findNativeId(call.hash);
    return std::string(id ? id->name : "a native") + " asks about " + what + " " +
           outside(value, 0, highest);
}

std::string callProblem(const RecordedCall& call, const NativeReading& native) {
    if (call.kind == RecordedCall::Kind::Key && (call.key < 0 || call.key > highestVirtualKey)) {
        return "key code " + outside(call.key, 0, highestVirtualKey);
    }
    if (call.kind != RecordedCall::Kind::Native) {
        return {};
    }
    if (std::string problem = argumentProblem(call, native.padArgument, "pad", lastPad);
        !problem.empty()) {
        return problem;
    }
    if (std::string problem =
            argumentProblem(call, native.controlArgument, "control", lastGameControl);
        !problem.empty()) {
        return problem;
    }
    const auto vehicleClass = static_cast<std::int32_t>(call.result);
    if (native.answersClass && (vehicleClass < 0 || vehicleClass > highestVehicleClass)) {
        return "vehicle class " + outside(vehicleClass, 0, highestVehicleClass);
    }
    return {};
}

std::string controllersProblem(const RecordedCall& call) {
    if (call.controllers.size() > controllersAtMost) {
        return std::to_string(call.controllers.size()) + " game controllers found, more than " +
               std::to_string(controllersAtMost);
    }
    constexpr int lastType = static_cast<int>(controllerTypeNames.size()) - 1;
    for (std::size_t i = 0; i < call.controllers.size(); ++i) {
        if (call.controllers[i].type > lastType) {
            return "game controller " + std::to_string(i + 1) + " found of type " +
                   outside(call.controllers[i].type, 0, lastType);
        }
    }
    return {};
}

// A read names one of the controllers found last, and its buttons down
// each once, in order.
std::string readProblem(const RecordedCall& call, const RecordedCall* found) {
    const std::string read = controllerText(call.controller);
    if (found == nullptr) {
        return read + ", before any game controllers were found";
    }
    if (call.controller >= found->controllers.size()) {
        return read + ", of " + std::to_string(found->controllers.size()) + " found";
    }
    int before = 0;
    for (const int button : call.buttons) {
        if (button < 1 || button > controllerButtonCount) {
            return read + " with button " + std::to_string(button) + " down, outside 1 to " +
                   std::to_string(controllerButtonCount);
        }
        if (button <= before) {
            return read + " with button " + std::to_string(button) + " down after button " +
                   std::to_string(before);
        }
        before = button;
    }
    return {};
}

// A pass's state: its first entry, with a value for each name in the
// header, in the header's order, each in its field's range.
std::string stateProblem(const RecordedCall& call, std::size_t entry,
                         const std::vector<const RecordedField*>& order, const Fields& state) {
    if (order.empty()) {
        return "the plug-in's state, in a recording whose header keeps none";
    }
    if (entry != 1) {
        return "the plug-in's state, which only a pass's first entry holds";
    }
    if (call.values.size() != order.size()) {
        return "the plug-in's state with " + std::to_string(call.values.size()) +
               " values, where its header names " + std::to_string(order.size());
    }
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (std::string problem = valueProblem(state, *order[i], call.values[i]);
            !problem.empty()) {
            return problem;
        }
    }
    return {};
}

} // namespace

std::string recordingHeaderProblem(const DriveRecording& recording,
                                   std::span<const RecordedField> stateFields) {
    if (std::string problem = fieldsProblem(bindingsFields(), recording.bindings);
        !problem.empty()) {
        return problem;
    }
    if (std::string problem = fileRulesProblem(recording.bindings); !problem.empty()) {
        return problem;
    }
    return recording.state.empty() ? std::string()
                                   : fieldsProblem(stateFieldsOf(stateFields), recording.state);
}

std::vector<std::string_view> defaultedFields(const DriveRecording& recording,
                                              std::span<const RecordedField> stateFields) {
    std::vector<std::string_view> unnamed;
    addUnnamed(recordedBindingFields, recording.bindings, unnamed);
    if (!recording.state.empty()) {
        addUnnamed(stateFields, recording.state, unnamed);
    }
    return unnamed;
}

std::string recordingProblem(const DriveRecording& recording,
                             std::span<const RecordedField> stateFields) {
    if (std::string problem = recordingHeaderProblem(recording, stateFields); !problem.empty()) {
        return problem;
    }
    std::unordered_map<std::uint64_t, NativeReading> natives;
    for (const std::uint64_t hash : recording.natives) {
        natives.try_emplace(hash, nativeReading(hash));
    }
    std::vector<const RecordedField*> stateOrder;
    for (const NamedValue& value : recording.state) {
        stateOrder.push_back(fieldNamed(stateFields, value.name));
    }
    RecordedPass pass;
    // The controllers found last, which reads name by their place.
    RecordedCall found;
    bool foundAny = false;
    std::size_t offset = 0;
    for (std::uint32_t number = 1; number <= recording.passCount; ++number) {
        decodePass(recording, offset, pass);
        for (std::size_t entry = 1; entry <= pass.calls.size(); ++entry) {
            const RecordedCall& call = pass.calls[entry - 1];
            std::string problem;
            switch (call.kind) {
            case RecordedCall::Kind::State:
                problem = stateProblem(call, entry, stateOrder, stateFieldsOf(stateFields));
                break;
            case RecordedCall::Kind::Native:
                problem = callProblem(call, natives.at(call.hash));
                break;
            case RecordedCall::Kind::ControllersKept:
                if (entry != 2 || pass.calls[0].kind != RecordedCall::Kind::State) {
                    problem = "the game controllers kept, which only follow the plug-in's state";
                    break;
                }
                [[fallthrough]];
            case RecordedCall::Kind::Controllers:
                problem = controllersProblem(call);
                found = call;
                foundAny = true;
                break;
            case RecordedCall::Kind::ControllerRead:
                problem = readProblem(call, foundAny ? &found : nullptr);
                break;
            default:
                problem = callProblem(call, {});
                break;
            }
            if (!problem.empty()) {
                return "pass " + std::to_string(number) + ", entry " + std::to_string(entry) +
                       ": " + problem;
            }
        }
    }
    return {};
}
