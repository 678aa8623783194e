// Times: each line's, in whole milliseconds, and how messages show one.
#include <cstdio>

#include "script/script_line.h"

namespace {

constexpr std::int64_t longestDriveMs = 3600 * 1000;

// Whole seconds with up to three decimals, in milliseconds.
std::optional<std::int64_t> parseSeconds(std::string_view text) {
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
    if (!allDigits(whole) || whole.size() > 7 ||
        (point != std::string_view::npos && (!allDigits(fraction) || fraction.size() > 3))) {
        return std::nullopt;
    }
    std::int64_t ms = 0;
    for (const char c : whole) {
        ms = ms * 10 + (c - '0');
    }
    ms *= 1000;
    std::int64_t scale = 100;
    for (const char c : fraction) {
        ms += (c - '0') * scale;
        scale /= 10;
    }
    return ms;
}

} // namespace

bool parseTime(ScriptLine& line, std::int64_t previousMs) {
    const std::string_view word = line.words[0];
    const bool relative = word.front() == '+';
    const std::optional<std::int64_t> ms = parseSeconds(relative ? word.substr(1) : word);
    if (!ms) {
        return fail(line, "expected a time in seconds such as 2, 1.5 or +0.25 (at most three "
                          "decimals), got " +
                              quoted(word));
    }
    const std::int64_t timeMs = relative ? previousMs + *ms : *ms;
    line.event.timeMs = timeMs;
    if (timeMs < previousMs) {
        return fail(line, "the time " + secondsText(timeMs) + " comes before the previous line's " +
                              secondsText(previousMs));
    }
    if (timeMs > longestDriveMs) {
        return fail(line, "a drive lasts at most " + secondsText(longestDriveMs) +
                              ", this line is at " + secondsText(timeMs));
    }
    return true;
}

std::string secondsText(std::int64_t ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f s", static_cast<double>(ms) / 1000.0);
    return text;
}
