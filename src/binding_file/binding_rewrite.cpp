#include "binding_file/binding_rewrite.h"

#include <algorithm>

namespace {

constexpr std::string_view utf8ByteOrderMark = "\xEF\xBB\xBF";

// The line of each field chosen, by field; empty for a field not chosen.
using ChosenLines = std::array<std::string, bindingFields.size()>;

// The bindings with the chosen keys and parts in them, and their lines.
ChosenLines chooseInto(KeyBindings& bindings, const ChosenKeys& keys, const ChosenInputs& inputs) {
    ChosenLines lines;
    for (std::size_t place = 0; place < choosableFieldCount; ++place) {
        const BindingField& field = bindingFields[choosableFields[place]];
        if (keys[place] != 0) {
            bindings.*field.member = keys[place];
            lines[choosableFields[place]] = fieldLine(field, bindings);
        }
    }
    for (std::size_t place = 0; place < wheelChoosableCount; ++place) {
        const BindingField& field = bindingFields[wheelChoosableFields[place]];
        if (inputs[place].part != 0) {
            bindings.*field.input = inputs[place];
            lines[wheelChoosableFields[place]] = fieldLine(field, bindings);
        }
    }
    return lines;
}

// The text's first line end, or Windows' own.
std::string_view lineEndOf(std::string_view text) {
    const std::size_t end = text.find('\n');
    return end != std::string_view::npos && (end == 0 || text[end - 1] != '\r') ? "\n" : "\r\n";
}

// The old text with the chosen lines written into it.
std::string rewrittenText(std::string_view text, const ChosenLines& lines) {
    std::string result;
    if (text.starts_with(utf8ByteOrderMark)) {
        result = utf8ByteOrderMark;
        text.remove_prefix(utf8ByteOrderMark.size());
    }
    // What follows a Ctrl-Z is never read, so it stays as it is.
    const std::string_view unread = text.substr(std::min(text.find('\x1A'), text.size()));
    std::string_view rest = text.substr(0, text.size() - unread.size());
    const std::string_view lineEnd = lineEndOf(rest);

    std::array<bool, bindingFields.size()> written{};
    bool lineOpen = false;
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find('\n'), rest.size());
        const std::string_view whole = rest.substr(0, std::min(end + 1, rest.size()));
        std::string_view line = rest.substr(0, end);
        std::string_view ending = whole.substr(line.size());
        if (!ending.empty() && line.ends_with('\r')) {
            line.remove_suffix(1);
            ending = "\r\n";
        }
        const int field = readBindingLine(line, 0).field;
        const auto chosen = static_cast<std::size_t>(field);
        if (field == noField || lines[chosen].empty()) {
            result += whole;
            lineOpen = ending.empty();
        } else if (!written[chosen]) {
            written[chosen] = true;
            result += lines[chosen];
            result += ending;
            lineOpen = ending.empty();
        }
        rest.remove_prefix(whole.size());
    }
    for (std::size_t field = 0; field < lines.size(); ++field) {
        if (!written[field] && !lines[field].empty()) {
            result += lineOpen ? lineEnd : "";
            result += lines[field];
            result += lineEnd;
            lineOpen = false;
        }
    }
    return result += unread;
}

// A line for each binding that isn't 0, with Windows' line end.
std::string bindingLines(const KeyBindings& bindings) {
    std::string text;
    for (const BindingField& field : bindingFields) {
        if (fieldValue(bindings, field) != 0) {
            text += fieldLine(field, bindings) + "\r\n";
        }
    }
    return text;
}

} // namespace

std::string fieldLine(const BindingField& field, const KeyBindings& bindings) {
    return std::string(field.keyText) + "=" +
           (field.input != nullptr ? controllerBindingText(bindings.*field.input)
                                   : std::to_string(bindings.*field.member));
}

ChosenText chosenBindingText(std::optional<std::string_view> oldText, const KeyBindings& inUse,
                             const ChosenKeys& keys, const ChosenInputs& inputs) {
    ChosenText chosen;
    const bool keepsLines =
        oldText && !readBindingText(*oldText, chosen.bindings, [](const LineOutcome&) {}).utf16;
    if (!keepsLines) {
        chosen.bindings = inUse;
    }
    const ChosenLines lines = chooseInto(chosen.bindings, keys, inputs);
    chosen.text = keepsLines ? rewrittenText(*oldText, lines) : bindingLines(chosen.bindings);
    return chosen;
}

bool readsAs(std::string_view text, const KeyBindings& bindings) {
    KeyBindings read{};
    readBindingText(text, read, [](const LineOutcome&) {});
    return std::ranges::all_of(bindingFields, [&](const BindingField& field) {
        return field.input != nullptr ? read.*field.input == bindings.*field.input
                                      : read.*field.member == bindings.*field.member;
    });
}
