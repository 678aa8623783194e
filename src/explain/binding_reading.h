// A key-binding file read for explaining it: each line's outcome with what
// explaining it takes beyond what the reader found, and the bindings that
// result.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "binding_file/binding_reader.h"

// Whatever the file's length, only its first lines are explained; the rest
// are counted.
constexpr std::size_t explainedLinesAtMost = 200;

// Enough of a line's start to show it cut to 40 columns.
constexpr std::size_t keptLineStart = 41;

// A longer name before a line's "=" is too far from every field's to look
// for the nearest.
constexpr std::size_t nearestNameAtMost = 32;

struct ExplainedLine {
    LineOutcome outcome; // without its text, which is gone once read
    std::uint64_t length = 0;
    std::string start; // the first keptLineStart bytes as written
    bool blank = true; // empty, or whitespace only
    // Of the key texts written in another letter case, the first to end, as
    // written.
    int otherCaseField = noField;
    std::string otherCase;
    // The later line that stores the same field, or 0.
    std::uint64_t overriddenBy = 0;
    // A line with a name before its "=" that is no field's, and the field
    // nearest to it by spelling, if one is near enough.
    bool unknownName = false;
    int nearestField = noField;
    // What the line begins with that other files mark a comment by: ";",
    // "#" or "//", or nothing.
    std::string_view commentMark;
};

// What explaining a line takes beyond what the reader found in it.
ExplainedLine explainedLine(const LineOutcome& line);

// A game controller found attached, as the explanation names it.
struct AttachedController {
    ControllerId id;
    std::string name;
};

struct BindingReading {
    ReadSummary summary;
    KeyBindings bindings{};
    std::vector<ExplainedLine> lines;
    // Lines after the explained ones that name more than one field.
    std::uint64_t laterLinesNamingSeveral = 0;
    // The game controllers attached, where they could be looked for.
    std::optional<std::vector<AttachedController>> attached;
};

// Reads a file's text with the plug-in's own reader, its lines applied over
// the bindings given.
BindingReading readBindings(std::string_view text, const KeyBindings& start = {});
