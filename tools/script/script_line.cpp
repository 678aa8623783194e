#include "script/script_line.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

// A message quotes at most this many bytes of a word: a line of junk would
// bury what the message says.
constexpr std::size_t longestQuote = 60;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

} // namespace

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::vector<std::string_view> wordsOf(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && isBlank(text[at])) {
            ++at;
        }
        const std::size_t start = at;
        while (at < text.size() && !isBlank(text[at])) {
            ++at;
        }
        if (at > start) {
            words.push_back(text.substr(start, at - start));
        }
    }
    return words;
}

bool fail(ScriptLine& line, std::string message) {
    line.error = std::move(message);
    return false;
}

bool argument(ScriptLine& line, std::size_t index, std::string_view expected) {
    if (line.words.size() <= index) {
        return fail(line, "expected " + std::string(expected) + " after " +
                              quoted(line.words[index - 1]));
    }
    return true;
}

bool noMoreThan(ScriptLine& line, std::size_t count) {
    if (line.words.size() > count) {
        return fail(line, "unexpected " + quoted(line.words[count]) + " after " +
                              quoted(line.words[count - 1]));
    }
    return true;
}

std::string quoted(std::string_view text) {
    std::string_view shown = text.substr(0, longestQuote);
    // Never inside a UTF-8 character.
    if (shown.size() < text.size()) {
        while (!shown.empty() && (static_cast<unsigned char>(text[shown.size()]) & 0xC0) == 0x80) {
            shown.remove_suffix(1);
        }
    }
    std::string result(1, '\'');
    for (const char c : shown) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == 0) {
            result += "\\0";
        } else if (byte < 0x20 || byte == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            result += escape;
        } else {
            result += c;
        }
    }
    result += '\'';
    if (shown.size() < text.size()) {
        result += "... (" + std::to_string(text.size()) + " bytes)";
    }
    return result;
}

std::string listOf(const std::vector<const char*>& values) {
    std::string list;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) {
            list += i + 1 == values.size() ? " or " : ", ";
        }
        list += values[i];
    }
    return list;
}

bool allDigits(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

std::optional<double> parseNumber(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    double value = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() ||
        !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}
