#include "explain/binding_reading.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

char lowered(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 'a' - 'A') : c;
}

bool nameByte(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '/';
}

// The letters, digits and "/" that end right before the first "=", blanks
// aside: "Enable/Disable" of "; Enable/Disable = 84".
std::string_view nameBeforeEquals(std::string_view text) {
    std::string_view before = text.substr(0, text.find('='));
    if (before.size() == text.size()) {
        return {};
    }
    before = before.substr(0, before.find_last_not_of(blankBytes) + 1);
    std::size_t start = before.size();
    while (start > 0 && nameByte(before[start - 1])) {
        --start;
    }
    return before.substr(start);
}

// Edits from one to the other, letter case aside, a swap of two neighbours
// counting as one: "FristGear" is one from "FirstGear".
std::size_t spellingDistance(std::string_view from, std::string_view to) {
    std::vector<std::vector<std::size_t>> d(from.size() + 1,
                                            std::vector<std::size_t>(to.size() + 1));
    for (std::size_t i = 0; i <= from.size(); ++i) {
        for (std::size_t j = 0; j <= to.size(); ++j) {
            if (i == 0 || j == 0) {
                d[i][j] = i + j;
                continue;
            }
            const bool same = lowered(from[i - 1]) == lowered(to[j - 1]);
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + !same});
            if (i > 1 && j > 1 && lowered(from[i - 1]) == lowered(to[j - 2]) &&
                lowered(from[i - 2]) == lowered(to[j - 1])) {
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
            }
        }
    }
    return d[from.size()][to.size()];
}

// The field whose name is nearest to the one written: within an edit for each
// four letters of the field's, or the field's name begun with five letters or
// more ("Throttle"). None when two are as near.
int nearestField(std::string_view name) {
    int nearest = noField;
    std::size_t best = std::string_view::npos;
    bool tied = false;
    for (std::size_t field = 0; field < bindingFields.size(); ++field) {
        const std::string_view keyText = bindingFields[field].keyText;
        const bool begun = name.size() >= 5 && name.size() < keyText.size() &&
                           spellingDistance(name, keyText.substr(0, name.size())) == 0;
        const std::size_t distance = begun ? 0 : spellingDistance(name, keyText);
        if (distance > std::max<std::size_t>(1, keyText.size() / 4) || distance > best) {
            continue;
        }
        tied = distance == best;
        best = distance;
        nearest = static_cast<int>(field);
    }
    return tied ? noField : nearest;
}

std::string_view commentMarkOf(std::string_view text) {
    text.remove_prefix(std::min(text.find_first_not_of(blankBytes), text.size()));
    for (const std::string_view mark : {";", "#", "//"}) {
        if (text.starts_with(mark)) {
            return mark;
        }
    }
    return {};
}

} // namespace

ExplainedLine explainedLine(const LineOutcome& line) {
    const std::string_view text = line.text;
    ExplainedLine explained;
    explained.outcome = line;
    explained.outcome.text = {};
    explained.length = text.size();
    explained.start = text.substr(0, keptLineStart);
    explained.blank = text.find_first_not_of(blankBytes) == std::string_view::npos;
    explained.commentMark = commentMarkOf(text);
    const auto sameLetter = [](char a, char b) { return lowered(a) == lowered(b); };
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
    const std::string_view name = nameBeforeEquals(text);
    explained.unknownName =
        line.field == noField && explained.otherCaseField == noField && !name.empty();
    if (explained.unknownName && name.size() <= nearestNameAtMost) {
        explained.nearestField = nearestField(name);
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
