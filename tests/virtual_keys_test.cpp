// The shared table of virtual-key names.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "keys/virtual_keys.h"

namespace {

TEST(VirtualKeysTest, CodesAscendAndNamesAreUniqueIgnoringCase) {
    int previous = 0;
    std::set<std::string> seen;
    for (const VirtualKeyName& entry : virtualKeyNames()) {
        EXPECT_GT(entry.code, previous) << entry.name;
        EXPECT_LT(entry.code, 256) << entry.name;
        previous = entry.code;
        std::string lower;
        for (const char c : std::string(entry.name)) {
            lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        EXPECT_TRUE(seen.insert(lower).second) << entry.name;
    }
}

TEST(VirtualKeysTest, NamesAndCodesRoundTrip) {
    for (const VirtualKeyName& entry : virtualKeyNames()) {
        EXPECT_STREQ(virtualKeyName(entry.code), entry.name);
        EXPECT_EQ(virtualKeyCode(entry.name), entry.code);
    }
}

TEST(VirtualKeysTest, KnownKeysAndGaps) {
    const struct {
        const char* name;
        int code;
    } known[] = {{"Shift", 16}, {"Right", 39},   {"1", 49},    {"R", 82},         {"W", 87},
                 {"s", 83},     {"Numpad0", 96}, {"F12", 123}, {"leftshift", 160}};
    for (const auto& key : known) {
        EXPECT_EQ(virtualKeyCode(key.name), key.code) << key.name;
    }
    for (const int gap : {0, 7, 10, 58, 64, 94, 256, -5}) {
        EXPECT_EQ(virtualKeyName(gap), nullptr) << gap;
    }
    EXPECT_FALSE(virtualKeyCode("Clutch").has_value());
    EXPECT_FALSE(virtualKeyCode("").has_value());
}

} // namespace
