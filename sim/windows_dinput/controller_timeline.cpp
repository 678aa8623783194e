#include "sim/windows_dinput/controller_timeline.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "sim/world.h"

namespace sim {

namespace {

std::vector<std::string_view> wordsOf(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while ((at = line.find_first_not_of(" \t\r", at)) != std::string_view::npos) {
        const std::size_t end = std::min(line.find_first_of(" \t\r", at), line.size());
        words.push_back(line.substr(at, end - at));
        at = end;
    }
    return words;
}

std::optional<double> numberOf(std::string_view word) {
    double value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc{} || end != word.data() + word.size()) {
        return std::nullopt;
    }
    return value;
}

// A whole number from 1 to highest.
std::optional<int> countOf(std::string_view word, int highest) {
    int value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc{} || end != word.data() + word.size() || value < 1 || value > highest) {
        return std::nullopt;
    }
    return value;
}

// The change a line's words after its time give, or none for a line that
// changes no controller; false for one that does but can't be read.
bool readChange(const std::vector<std::string_view>& words, std::string_view line,
                std::optional<ControllerChange>& change) {
    using Kind = ControllerChange::Kind;
    static constexpr std::pair<std::string_view, Kind> verbs[] = {{"plug", Kind::Plug},
                                                                  {"unplug", Kind::Unplug},
                                                                  {"axis", Kind::Axis},
                                                                  {"button", Kind::Button}};
    const auto verb = std::ranges::find(verbs, words[1], &std::pair<std::string_view, Kind>::first);
    if (verb == std::end(verbs)) {
        return true;
    }
    static constexpr std::size_t wordsOfKind[] = {6, 3, 5, 5};
    const std::size_t needed = wordsOfKind[static_cast<std::size_t>(verb->second)];
    if (words.size() < needed || (verb->second != Kind::Plug && words.size() > needed)) {
        return false;
    }
    const std::optional<int> number = countOf(words[2], controllerCount);
    if (!number) {
        return false;
    }
    ControllerChange& read = change.emplace();
    read.kind = verb->second;
    read.index = *number - 1;
    switch (verb->second) {
    case Kind::Plug: {
        const std::optional<ControllerId> id = parseControllerId(words[3]);
        const std::optional<ControllerType> type = controllerTypeNamed(words[4]);
        read.id = id.value_or(ControllerId{});
        read.type = type.value_or(ControllerType::Other);
        read.name =
            std::string(line.substr(static_cast<std::size_t>(words[5].data() - line.data())));
        while (!read.name.empty() && (read.name.back() == '\r' || read.name.back() == ' ')) {
            read.name.pop_back();
        }
        return id && type;
    }
    case Kind::Unplug:
        return true;
    case Kind::Axis: {
        const auto axis = std::ranges::find(controllerAxisNames, words[3]);
        const std::optional<double> travel = numberOf(words[4]);
        read.part = static_cast<int>(axis - controllerAxisNames.begin());
        read.travel = static_cast<float>(travel.value_or(0.0));
        return axis != controllerAxisNames.end() && travel && *travel >= 0 && *travel <= 1;
    }
    case Kind::Button: {
        const std::optional<int> button = countOf(words[3], controllerButtonCount);
        read.part = button.value_or(0);
        read.down = words[4] == "down";
        return button && (words[4] == "down" || words[4] == "up");
    }
    }
    return false;
}

} // namespace

ControllerTimeline readControllerTimeline(std::string_view text) {
    ControllerTimeline timeline;
    std::int64_t timeMs = 0;
    int lineNumber = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        const std::string_view line = text.substr(at, end - at);
        at = end + 1;
        ++lineNumber;
        const std::vector<std::string_view> words = wordsOf(line);
        if (words.empty() || words[0].front() == '#') {
            continue;
        }
        // A time in seconds, or after the previous line's with a plus.
        const bool relative = words[0].front() == '+';
        const std::optional<double> seconds = numberOf(words[0].substr(relative ? 1 : 0));
        std::optional<ControllerChange> change;
        if (!seconds || *seconds < 0 || words.size() < 2 || !readChange(words, line, change)) {
            timeline.error = "line " + std::to_string(lineNumber) + " can't be read";
            return timeline;
        }
        timeMs = (relative ? timeMs : 0) + static_cast<std::int64_t>(*seconds * 1000.0 + 0.5);
        if (change) {
            change->timeMs = timeMs;
            timeline.changes.push_back(std::move(*change));
        }
    }
    return timeline;
}

} // namespace sim
