#include "binding_file/binding_rewrite.h"

#include <algorithm>

namespace {

constexpr std::string_view utf8ByteOrderMark = "\xEF\xBB\xBF";

// The place of the field in choosableFields, or choosableFieldCount for a
// field not chosen.
std::size_t chosenPlace(int field, const ChosenKeys& keys) {
    const auto place = static_cast<std::size_t>(std::ranges::find(choosableFields, field) -
                                                choosableFields.begin());
    return place < choosableFieldCount && keys[place] != 0 ? place : choosableFieldCount;
}

std::string fieldLine(const BindingField& field, VirtualKeyCode value) {
    return std::string(field.keyText) + "=" + std::to_string(value);
}

std::string chosenLine(std::size_t place, VirtualKeyCode key) {
    return fieldLine(bindingFields[choosableFields[place]], key);
}

// The text's first line end, or Windows' own.
std::string_view lineEndOf(std::string_view text) {
    const std::size_t end = text.find('\n');
    return end != std::string_view::npos && (end == 0 || text[end - 1] != '\r') ? "\n" : "\r\n";
}

// The old text with the chosen keys written into it.
std::string rewrittenText(std::string_view text, const ChosenKeys& keys) {
    std::string result;
    if (text.starts_with(utf8ByteOrderMark)) {
        result = utf8ByteOrderMark;
        text.remove_prefix(utf8ByteOrderMark.size());
    }
    // What follows a Ctrl-Z is never read, so it stays as it is.
    const std::string_view unread = text.substr(std::min(text.find('\x1A'), text.size()));
    std::string_view rest = text.substr(0, text.size() - unread.size());
    const std::string_view lineEnd = lineEndOf(rest);

    std::array<bool, choosableFieldCount> written{};
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
        const std::size_t place = chosenPlace(readBindingLine(line, 0).field, keys);
        if (place == choosableFieldCount) {
            result += whole;
            lineOpen = ending.empty();
        } else if (!written[place]) {
            written[place] = true;
            result += chosenLine(place, keys[place]);
            result += ending;
            lineOpen = ending.empty();
        }
        rest.remove_prefix(whole.size());
    }
    for (std::size_t place = 0; place < choosableFieldCount; ++place) {
        if (!written[place] && keys[place] != 0) {
            result += lineOpen ? lineEnd : "";
            result += chosenLine(place, keys[place]);
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
        if (bindings.*field.member != 0) {
            text += fieldLine(field, bindings.*field.member) + "\r\n";
        }
    }
    return text;
}

} // namespace

ChosenText chosenBindingText(std::optional<std::string_view> oldText, const KeyBindings& inUse,
                             const ChosenKeys& keys) {
    ChosenText chosen;
    const bool keepsLines =
        oldText && !readBindingText(*oldText, chosen.bindings, [](const LineOutcome&) {}).utf16;
    if (!keepsLines) {
        chosen.bindings = inUse;
    }
    for (std::size_t place = 0; place < choosableFieldCount; ++place) {
        if (keys[place] != 0) {
            chosen.bindings.*bindingFields[choosableFields[place]].member = keys[place];
        }
    }
    chosen.text = keepsLines ? rewrittenText(*oldText, keys) : bindingLines(chosen.bindings);
    return chosen;
}

bool readsAs(std::string_view text, const KeyBindings& bindings) {
    KeyBindings read{};
    readBindingText(text, read, [](const LineOutcome&) {});
    return std::ranges::all_of(bindingFields, [&](const BindingField& field) {
        return read.*field.member == bindings.*field.member;
    });
}
