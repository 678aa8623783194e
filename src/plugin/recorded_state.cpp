#include "plugin/recorded_state.h"

#include <array>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "binding_file/recorded_bindings.h"
#include "bindings/key_bindings.h"
#include "choosing/input_choosing.h"
#include "gearbox/gearbox.h"
#include "host/force_feedback.h"
#include "host/game_controllers.h"
#include "host/keyboard.h"
#include "host/tap.h"
#include "plugin/plugin_state.h"
#include "wheel/wheel_forces.h"

namespace {

// Everything a pass reads that an earlier pass may have changed, but for the
// bindings, which the recording's header keeps: each folder's fields in turn.
constexpr std::array stateRooms = {
    gearboxStateFields,  feelStateFields,     pluginStateFields,      keyboardStateFields,
    bindingsStateFields, choosingStateFields, wheelForcesStateFields, forceFeedbackStateFields};

template <typename Visit>
void forEachStateField(Visit visit) {
    for (const auto room : stateRooms) {
        for (const StateField& field : room()) {
            visit(field);
        }
    }
}

} // namespace

std::span<const RecordedField> recordedStateFields() {
    static const std::vector<RecordedField> ranges = [] {
        std::vector<RecordedField> fields;
        forEachStateField([&fields](const StateField& field) {
            fields.push_back({field.name, field.lowest, field.highest});
        });
        if (fields.size() > recordedValuesAtMost) {
            throw std::length_error("more fields of state than a recording keeps");
        }
        return fields;
    }();
    return ranges;
}

void pluginStateValues(std::span<std::int32_t> values) {
    std::size_t count = 0;
    forEachStateField([&](const StateField& field) { values[count++] = field.get(); });
}

void recordPluginState() {
    // No more than a header names, which recordedStateFields holds to.
    std::array<std::int32_t, recordedValuesAtMost> values;
    const std::span<std::int32_t> kept = std::span(values).first(recordedStateFields().size());
    pluginStateValues(kept);
    tapStateValues(kept);
    // The host's state: the controllers a replay starting here reads.
    tapKeptControllers();
}

void restoreStateValues(std::span<const NamedValue> values) {
    for (const NamedValue& value : values) {
        forEachStateField([&value](const StateField& field) {
            if (field.name == value.name) {
                field.set(value.value);
            }
        });
    }
}

void restoreRecordedState(const DriveRecording& recording) {
    if (recording.state.empty()) {
        return;
    }
    useKeyBindings(keysOfRecording(recording.bindings));
    restoreStateValues(recording.state);
}
