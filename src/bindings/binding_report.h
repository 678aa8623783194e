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

// What the explanation, the log and the notices say of a file over the limit.
inline constexpr std::string_view tooLargeNote = "larger than 1 MiB, not read";

// Whatever the file's length, only its first lines are explained; the rest
// are counted.
constexpr std::size_t explainedLinesAtMost = 200;

// Enough of a line's start to show it cut to 40 columns.
constexpr std::size_t keptLineStart = 41;

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
};

// What explaining a line takes beyond what the reader found in it.
ExplainedLine explainedLine(const LineOutcome& line);

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
