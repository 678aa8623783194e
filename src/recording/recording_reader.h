// The checked reading that both the header's reader and the passes' use.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "recording/recording_file.h"

// A byte as a message shows it: 0x1B.
inline std::string hexByte(std::uint8_t byte) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", byte);
    return text;
}

// Reads a stretch of a file. The first read that would run past its end, or
// a value no recording holds, stops it: error then says what and where, and
// every read after it gives zeros.
struct RecordingReader {
    // Where byte offsets count from.
    const std::uint8_t* file;
    const std::uint8_t* at;
    const std::uint8_t* end;
    // The pass and the entry being read, from 1; 0 outside them.
    std::uint32_t pass = 0;
    std::size_t entry = 0;
    std::string error = {};

    bool ok() const { return error.empty(); }

    std::size_t left() const { return static_cast<std::size_t>(end - at); }

    std::string scope() const {
        return entry != 0 ? "the pass" : pass != 0 ? "its passes" : "the file";
    }

    bool fail(const std::uint8_t* where, const std::string& what) {
        if (ok()) {
            error = "damaged at byte " + std::to_string(where - file) + ": ";
            if (pass != 0) {
                error += "pass " + std::to_string(pass) +
                         (entry != 0 ? ", entry " + std::to_string(entry) : "") + ": ";
            }
            error += what;
        }
        at = end;
        return false;
    }

    template <typename Number>
    Number number(const char* what) {
        Number value{};
        if (ok() && left() < sizeof value) {
            fail(at, std::string(what) + " runs past the end of " + scope());
        }
        if (ok()) {
            std::memcpy(&value, at, sizeof value);
            at += sizeof value;
        }
        return value;
    }

    // Whether count things of at least each bytes can be in what is left.
    bool fits(std::size_t count, std::size_t each, const std::uint8_t* where, const char* what) {
        return ok() && (count * each <= left() ||
                        fail(where, std::string(what) + " claims " + std::to_string(count) +
                                        ", more than the rest of " + scope() + " holds"));
    }

    std::string text(const char* what) {
        const std::uint8_t* const where = at;
        const std::size_t length = number<std::uint8_t>(what);
        if (!ok() || (length > left() &&
                      !fail(where, std::string(what) + " claims " + std::to_string(length) +
                                       " bytes, past the end of " + scope()))) {
            return {};
        }
        std::string result(reinterpret_cast<const char*>(at), length);
        at += length;
        return result;
    }

    // A version or a name: printable ASCII, which a message can show as it is.
    std::string name(const char* what) {
        const std::uint8_t* const where = at;
        std::string result = text(what);
        const auto unprintable =
            std::ranges::find_if(result, [](char c) { return c <= 0x20 || c >= 0x7F; });
        if (ok() && result.empty()) {
            fail(where, std::string(what) + " is empty");
        } else if (ok() && unprintable != result.end()) {
            fail(where, std::string(what) + " holds the byte " +
                            hexByte(static_cast<std::uint8_t>(*unprintable)) +
                            ", which no name holds");
        }
        return result;
    }

    std::vector<NamedValue> values(const char* what, const char* eachName, const char* eachValue) {
        const std::uint8_t* const where = at;
        const std::size_t count = number<std::uint8_t>(what);
        if (!fits(count, 1 + 4, where, what)) {
            return {};
        }
        std::vector<NamedValue> result(count);
        for (NamedValue& named : result) {
            named.name = name(eachName);
            named.value = number<std::int32_t>(eachValue);
        }
        return result;
    }
};
