#include "explain/binding_reading.h"

#include <algorithm>
#include <array>

ExplainedLine explainedLine(const LineOutcome& line) {
    const std::string_view text = line.text;
    ExplainedLine explained;
    explained.outcome = line;
    explained.outcome.text = {};
    explained.length = text.size();
    explained.start = text.substr(0, keptLineStart);
    explained.blank = text.find_first_not_of(blankBytes) == std::string_view::npos;
    const auto sameLetter = [](char a, char b) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 'a' - 'A') : c; };
        return lower(a) == lower(b);
    };
    std::size_t firstEnd = std::string_view::npos;
    for (std::size_t field = 0; field < bindingFields.size(); ++field) {
        const std::string_view keyText = bindingFields[field].keyText;
        const auto at = static_cast<std::size_t>(
            std::search(text.begin(), text.end(), keyText.begin(), keyText.end(), sameLetter) -
            text.begin());
        const std::string_view written = text.substr(std::min(at, text.size()), keyText.size());
        if (!written.empty() && written != keyText && at + keyText.size() < firstEnd) {
            firstEnd = at + keyText.size();
            explained.otherCaseField = static_cast<int>(field);
            explained.otherCase = written;
        }
    }
    return explained;
}

BindingReading readBindings(std::string_view text, const KeyBindings& start) {
    BindingReading reading;
    reading.bindings = start;
    // For each field, the explained line that stored it last, until a later
    // line overrides it.
    constexpr std::size_t none = explainedLinesAtMost;
    std::array<std::size_t, bindingFields.size()> lastStore;
    lastStore.fill(none);
    reading.summary = readBindingText(text, reading.bindings, [&](const LineOutcome& line) {
        const std::size_t kept =
            reading.lines.size() < explainedLinesAtMost ? reading.lines.size() : none;
        if (kept != none) {
            reading.lines.push_back(explainedLine(line));
        }
        if (kept == none && line.keyTextsFound.count() > 1) {
            ++reading.laterLinesNamingSeveral;
        }
        if (line.parse == ValueParse::Parsed) {
            std::size_t& last = lastStore[static_cast<std::size_t>(line.field)];
            if (last != none) {
                reading.lines[last].overriddenBy = line.number;
            }
            last = kept;
        }
    });
    return reading;
}
