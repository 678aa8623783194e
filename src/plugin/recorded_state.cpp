#include "plugin/recorded_state.h"

#include <array>
#include <bit>
#include <cstdint>
#include <string_view>
#include <type_traits>

#include "binding_file/recorded_bindings.h"
#include "bindings/key_bindings.h"
#include "choosing/key_choosing.h"
#include "gearbox/gearbox.h"
#include "host/keyboard.h"
#include "plugin/plugin_state.h"
#include "recorder/recorder.h"

namespace {

// One value of the plug-in's state, as a recording keeps it. A flag or a
// choice from a list has a range, which a value read back must keep to: a
// gear past the last would index past the gear table.
struct StateField {
    std::string_view name;
    std::int32_t (*get)();
    void (*set)(std::int32_t value);
    std::int32_t lowest;
    std::int32_t highest;
};

// A number that indexes a table, which a value read back must keep to.
template <auto& state, auto member>
constexpr StateField stateField(std::string_view name, std::int32_t highest) {
    using Value = std::remove_reference_t<decltype(state.*member)>;
    return {name, [] { return static_cast<std::int32_t>(state.*member); },
            [](std::int32_t value) { state.*member = static_cast<Value>(value); }, 0, highest};
}

// One element of an array member, of any value.
template <auto& state, auto member, std::size_t index>
constexpr StateField stateElement(std::string_view name) {
    using Value = std::remove_reference_t<decltype((state.*member)[index])>;
    return {name, [] { return static_cast<std::int32_t>((state.*member)[index]); },
            [](std::int32_t value) { (state.*member)[index] = static_cast<Value>(value); },
            INT32_MIN, INT32_MAX};
}

template <auto& state, auto member>
constexpr StateField stateField(std::string_view name) {
    using Value = std::remove_reference_t<decltype(state.*member)>;
    if constexpr (std::is_same_v<Value, float>) {
        // The one float, a top speed, travels as its bits, which order as
        // positive floats do.
        return {name, [] { return std::bit_cast<std::int32_t>(state.*member); },
                [](std::int32_t value) { state.*member = std::bit_cast<float>(value); },
                std::bit_cast<std::int32_t>(lowestTopSpeed),
                std::bit_cast<std::int32_t>(highestTopSpeed)};
    } else {
        constexpr std::int32_t highest =
            std::is_same_v<Value, bool>           ? 1
            : std::is_same_v<Value, Gear>         ? static_cast<std::int32_t>(gearCount) - 1
            : std::is_same_v<Value, BindingsFile> ? int(lastBindingsFile)
                                                  : INT32_MAX;
        return {name, [] { return static_cast<std::int32_t>(state.*member); },
                [](std::int32_t value) { state.*member = static_cast<Value>(value); },
                highest == INT32_MAX ? INT32_MIN : 0, highest};
    }
}

// Everything a pass reads that an earlier pass may have changed, but for the
// bindings, which the recording's header keeps.
constexpr std::array stateFields = {
    stateField<gearboxState, &GearboxState::transmissionEnabled>("transmissionEnabled"),
    stateField<gearboxState, &GearboxState::gear>("gear"),
    stateField<gearboxState, &GearboxState::clutchHeld>("clutchHeld"),
    stateField<gearboxState, &GearboxState::shiftHint>("shiftHint"),
    stateField<gearboxState, &GearboxState::cappedVehicle>("cappedVehicle"),
    stateField<gearboxState, &GearboxState::shiftUpKeyWasDown>("shiftUpKeyWasDown"),
    stateField<gearboxState, &GearboxState::shiftDownKeyWasDown>("shiftDownKeyWasDown"),
    stateField<gearboxState, &GearboxState::padUpWasHeld>("padUpWasHeld"),
    stateField<gearboxState, &GearboxState::padDownWasHeld>("padDownWasHeld"),
    stateField<gearboxState, &GearboxState::fittedVehicle>("fittedVehicle"),
    stateField<gearboxState, &GearboxState::fittedTopSpeed>("fittedTopSpeed"),
    stateField<gearboxState, &GearboxState::unfitVehicle>("unfitVehicle"),
    stateField<pluginState, &PluginState::bindingsLoaded>("bindingsLoaded"),
    stateField<pluginState, &PluginState::noticeGiven>("noticeGiven"),
    stateField<pluginState, &PluginState::wasDriving>("wasDriving"),
    stateField<pluginState, &PluginState::toggleArrowWasDown>("toggleArrowWasDown"),
    stateField<pluginState, &PluginState::toggleKeyWasDown>("toggleKeyWasDown"),
    stateField<pluginState, &PluginState::reloadKeyWasDown>("reloadKeyWasDown"),
    stateField<pluginState, &PluginState::recordKeyWasDown>("recordKeyWasDown"),
    stateField<pluginState, &PluginState::bindKeyWasDown>("bindKeyWasDown"),
    stateField<keyboardState, &KeyboardState::gameHasFocus>("gameHasFocus"),
    stateField<bindingsState, &BindingsState::file>("bindingsFile"),
    stateField<bindingsState, &BindingsState::logWritten>("logWritten"),
    stateField<choosingState, &ChoosingState::choosing>("choosing"),
    stateField<choosingState, &ChoosingState::step>("choosingStep", choosableFieldCount - 1),
    stateElement<choosingState, &ChoosingState::chosen, 0>("chosenKey0"),
    stateElement<choosingState, &ChoosingState::chosen, 1>("chosenKey1"),
    stateElement<choosingState, &ChoosingState::chosen, 2>("chosenKey2"),
    stateElement<choosingState, &ChoosingState::chosen, 3>("chosenKey3"),
    stateElement<choosingState, &ChoosingState::chosen, 4>("chosenKey4"),
    stateElement<choosingState, &ChoosingState::chosen, 5>("chosenKey5"),
    stateField<choosingState, &ChoosingState::refusedKey>("refusedKey"),
    stateField<choosingState, &ChoosingState::refusal>("refusal", int(lastRefusal)),
    stateElement<choosingState, &ChoosingState::keysHeld, 0>("keysHeld0"),
    stateElement<choosingState, &ChoosingState::keysHeld, 1>("keysHeld1"),
    stateElement<choosingState, &ChoosingState::keysHeld, 2>("keysHeld2"),
    stateElement<choosingState, &ChoosingState::keysHeld, 3>("keysHeld3"),
    stateElement<choosingState, &ChoosingState::keysHeld, 4>("keysHeld4"),
    stateElement<choosingState, &ChoosingState::keysHeld, 5>("keysHeld5"),
    stateElement<choosingState, &ChoosingState::keysHeld, 6>("keysHeld6"),
    stateElement<choosingState, &ChoosingState::keysHeld, 7>("keysHeld7"),
};
static_assert(choosableFieldCount == 6 && std::tuple_size_v<ChosenKeys> == 6 &&
                  std::tuple_size_v<decltype(ChoosingState::keysHeld)> == 8,
              "a chosen key and a word of keys held each have a state field above");

constexpr auto stateRanges = [] {
    std::array<RecordedField, stateFields.size()> ranges{};
    for (std::size_t i = 0; i < stateFields.size(); ++i) {
        ranges[i] = {stateFields[i].name, stateFields[i].lowest, stateFields[i].highest};
    }
    return ranges;
}();

} // namespace

std::span<const RecordedField> recordedStateFields() {
    return stateRanges;
}

void pluginStateValues(std::span<std::int32_t> values) {
    for (std::size_t i = 0; i < stateFields.size(); ++i) {
        values[i] = stateFields[i].get();
    }
}

void recordPluginState() {
    std::array<std::int32_t, stateFields.size()> values{};
    pluginStateValues(values);
    recordState(values);
}

void restoreRecordedState(const DriveRecording& recording) {
    if (recording.state.empty()) {
        return;
    }
    bindingsState.keys = keysOfRecording(recording.bindings);
    for (const NamedValue& value : recording.state) {
        for (const StateField& field : stateFields) {
            if (field.name == value.name) {
                field.set(value.value);
            }
        }
    }
}
