// Explaining a key-binding file: what each line binds or why it binds nothing,
// the bindings that result and what is wrong with them. check-bindings prints
// it and the plug-in writes it to its log, in the same words.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "bindings/binding_reader.h"

inline constexpr char bindingFileName[] = "MTconfig.ini";

// What the explanation, the log and the notices say of a file over the limit.
inline constexpr std::string_view tooLargeNote = "larger than 1 MiB, not read";

// Where the key-binding file is looked for, in order: beside the module (the
// plug-in's .asi, or the tool), then in the working folder; once when the two
// are the same folder.
std::vector<std::string> bindingFilePlaces();

// Whatever the file's length, only its first lines are explained; the rest
// are counted.
constexpr std::size_t explainedLinesAtMost = 200;

struct ExplainedLine {
    LineOutcome outcome;
    // The later line that stores the same field, or 0.
    std::uint64_t overriddenBy = 0;
};

struct BindingReading {
    ReadSummary summary;
    KeyBindings bindings{};
    std::vector<ExplainedLine> lines;
    // Lines after the explained ones that name more than one field.
    std::uint64_t laterLinesNamingSeveral = 0;
};

// Reads the file to its end with the plug-in's own reader, its lines applied
// over the bindings given.
BindingReading readBindings(std::FILE* file, const KeyBindings& start = {});

// The whole explanation; name is how the file is shown.
std::string bindingReport(const BindingReading& reading, std::string_view name);

// The bindings table, the warnings and the result line alone, as the
// explanation ends.
std::string bindingsReport(const BindingReading& reading);

// How the player can reach every gear, if at all: the clutch with a key per
// gear, the clutch with the shift-up and shift-down keys, or the pad's hold
// button with its up and down buttons.
enum class GearAccess { GearKeys, ShiftKeys, PadButtons, None };
GearAccess gearAccess(const KeyBindings& bindings);

// The key texts of the clutch and gear fields left unbound, in field order.
std::vector<std::string_view> unboundGearKeyTexts(const KeyBindings& bindings);

// "a", "a and b", "a, b and c".
std::string joined(const std::vector<std::string>& items);

// The key's name, "no key" for 0 or "no virtual key".
std::string keyName(VirtualKeyCode code);

// A pad control's button and role, e.g. "LB, vehicle aim", or empty.
std::string_view padControlName(std::int32_t control);
