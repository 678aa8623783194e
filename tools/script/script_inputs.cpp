// Keys, game controls, the focus, the phone, the pause menu, the device used
// last, and the files of the drive's folder.
#include <charconv>

#include "keys/virtual_keys.h"
#include "script/script_line.h"

namespace {

constexpr int highestControl = 511;

std::optional<int> parseKey(std::string_view text) {
    if (const std::optional<int> named = virtualKeyCode(text)) {
        return named;
    }
    if (text.size() < 3 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) {
        return std::nullopt;
    }
    const std::string_view digits = text.substr(2);
    int code = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), code, 16);
    if (error != std::errc{} || end != digits.data() + digits.size() || code < 1 || code > 255) {
        return std::nullopt;
    }
    return code;
}

std::optional<int> parseControl(std::string_view text) {
    int number = -1;
    if (allDigits(text) && text.size() <= 3) {
        std::from_chars(text.data(), text.data() + text.size(), number);
    }
    if (number < 0 || number > highestControl) {
        return std::nullopt;
    }
    return number;
}

// A file of the drive's own folder: a plain name, no way out of it.
bool plainFileName(std::string_view text) {
    return !text.empty() && text != "." && text != ".." &&
           text.find_first_of("/\\:") == std::string_view::npos;
}

bool fileName(ScriptLine& line, std::size_t index) {
    const std::string expected = "a file name in the drive's folder, such as MTconfig.ini";
    if (!argument(line, index, expected)) {
        return false;
    }
    if (!plainFileName(line.words[index])) {
        return fail(line, "expected " + expected + ", got " + quoted(line.words[index]));
    }
    (index == 2 ? line.event.file : line.event.otherFile) = std::string(line.words[index]);
    return true;
}

// One of two words after the action, into whether it is the first.
bool eitherWord(ScriptLine& line, const char* first, const char* second, bool& isFirst) {
    const std::string expected = std::string(first) + " or " + second;
    if (!argument(line, 2, expected)) {
        return false;
    }
    if (line.words[2] != first && line.words[2] != second) {
        return fail(line, "expected " + expected + " after " + quoted(line.words[1]) + ", got " +
                              quoted(line.words[2]));
    }
    isFirst = line.words[2] == first;
    return noMoreThan(line, 3);
}

} // namespace

bool parseKeyAction(ScriptLine& line) {
    if (!argument(line, 2, "a key name such as W, Shift or 2, or a code such as 0x10")) {
        return false;
    }
    const std::optional<int> code = parseKey(line.words[2]);
    if (!code) {
        return fail(line, "expected a key name such as W, Shift or 2, or a code such as 0x10, "
                          "got " +
                              quoted(line.words[2]));
    }
    line.event.code = *code;
    return noMoreThan(line, 3);
}

bool controlAt(ScriptLine& line, std::size_t index, int& number) {
    const std::string expected =
        "a game control number from 0 to " + std::to_string(highestControl);
    if (!argument(line, index, expected)) {
        return false;
    }
    const std::optional<int> control = parseControl(line.words[index]);
    if (!control) {
        return fail(line, "expected " + expected + " after " + quoted(line.words[index - 1]) +
                              ", got " + quoted(line.words[index]));
    }
    number = *control;
    return true;
}

bool parseControlAction(ScriptLine& line) {
    return controlAt(line, 2, line.event.code) && noMoreThan(line, 3);
}

bool parseOnOff(ScriptLine& line) {
    return eitherWord(line, "on", "off", line.event.on);
}

bool parseDevice(ScriptLine& line) {
    return eitherWord(line, "keyboard", "pad", line.event.keyboard);
}

bool parseCopy(ScriptLine& line) {
    return fileName(line, 2) && fileName(line, 3) && noMoreThan(line, 4);
}

bool parseDelete(ScriptLine& line) {
    return fileName(line, 2) && noMoreThan(line, 3);
}
