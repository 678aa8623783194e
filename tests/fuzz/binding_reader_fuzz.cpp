// The streaming key-binding reader against a deliberately plain reading of the
// same rules: whole lines, string search and strtol with a range check. Any
// disagreement on the seven fields or the line count aborts.
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "bindings/binding_reader.h"

namespace {

struct Reading {
    std::vector<VirtualKeyCode> fields;
    std::uint64_t lines = 0;
    bool operator==(const Reading&) const = default;
};

const std::vector<VirtualKeyCode> sentinels = {-101, -102, -103, -104, -105, -106, -107};

std::vector<std::string> plainLines(std::string text) {
    if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) {
        return {};
    }
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.erase(0, 3);
    }
    text = text.substr(0, text.find('\x1a'));
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        std::string line = text.substr(start, end - start);
        if (line.ends_with('\r')) {
            line.pop_back();
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

Reading plainReading(const std::string& text) {
    static const char* const keys[] = {"Clutch",     "FirstGear", "SecondGear",    "ThirdGear",
                                       "FourthGear", "Reverse",   "Enable/Disable"};
    Reading reading{sentinels};
    const std::vector<std::string> lines = plainLines(text);
    reading.lines = lines.size();
    for (const std::string& line : lines) {
        const std::size_t equals = line.find('=');
        const std::string value = equals == std::string::npos ? line : line.substr(equals + 1);
        for (std::size_t i = 0; i < std::size(keys); ++i) {
            if (line.find(keys[i]) == std::string::npos) {
                continue;
            }
            char* end = nullptr;
            errno = 0;
            const long number = std::strtol(value.c_str(), &end, 10);
            if (end != value.c_str() && errno != ERANGE && number >= INT32_MIN &&
                number <= INT32_MAX) {
                reading.fields[i] = static_cast<VirtualKeyCode>(number);
            }
            break;
        }
    }
    return reading;
}

struct Store {
    KeyBindings& bindings;
    void lineByte(unsigned char) {}
    void lineEnd(const LineOutcome& line) { applyLine(bindings, line); }
};

Reading streamingReading(std::span<const unsigned char> bytes, std::size_t pieceSize) {
    KeyBindings bindings{};
    for (std::size_t i = 0; i < bindingFields.size(); ++i) {
        bindings.*bindingFields[i].member = sentinels[i];
    }
    Store store{bindings};
    BindingScan scan;
    for (std::size_t at = 0; at < bytes.size(); at += pieceSize) {
        scanBindingText(scan, bytes.subspan(at, std::min(pieceSize, bytes.size() - at)), store);
    }
    Reading reading;
    reading.lines = finishBindingText(scan, store).lines;
    for (const BindingField& field : bindingFields) {
        reading.fields.push_back(bindings.*field.member);
    }
    return reading;
}

void report(const char* what, const Reading& reading) {
    std::fprintf(stderr, "%s: %llu lines;", what, static_cast<unsigned long long>(reading.lines));
    for (const VirtualKeyCode field : reading.fields) {
        std::fprintf(stderr, " %d", field);
    }
    std::fprintf(stderr, "\n");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const unsigned char> bytes(data, size);
    const Reading expected = plainReading(std::string(bytes.begin(), bytes.end()));
    // The last byte also picks a piece size, so that pieces split the text at
    // every kind of place.
    const std::size_t pieceSizes[] = {size == 0 ? 1 : size,
                                      size == 0 ? 1 : 1u + data[size - 1] % 37};
    for (const std::size_t pieceSize : pieceSizes) {
        const Reading actual = streamingReading(bytes, pieceSize);
        if (!(actual == expected)) {
            report("plain reading", expected);
            report("streaming reader", actual);
            std::fprintf(stderr, "read in pieces of %zu bytes\n", pieceSize);
            std::abort();
        }
    }
    return 0;
}
