// The key-binding file's text with keys chosen in the game written into it:
// what stays, what is replaced, dropped and added, and the check that the new
// text reads as chosen.
#include <gtest/gtest.h>

#include "binding_file/binding_rewrite.h"

namespace {

using namespace std::literals;

const ChosenKeys chosen = {81, 49, 98, 99, 100, 82};
constexpr std::string_view sixCrLf =
    "Clutch=81\r\nFirstGear=49\r\nSecondGear=98\r\nThirdGear=99\r\n"
    "FourthGear=100\r\nReverse=82\r\n";

TEST(BindingRewriteTest, ReplacesEachChosenFieldsFirstLineDropsTheRestAndAddsTheMissing) {
    const struct {
        std::string_view before;
        std::string_view after;
    } cases[] = {
        {"", sixCrLf},
        // In place, each with its line end; the other lines byte for byte.
        {"[Keys]\nClutch=16\nFirstGear=1\r\nSecondGear=50\nThirdGear=51\nclutch=2\n\nFourthGear="
         "52\n"
         "Reverse=\nEnable/Disable=84 ; \x01\0"sv,
         "[Keys]\nClutch=81\nFirstGear=49\r\nSecondGear=98\nThirdGear=99\nclutch=2\n\n"
         "FourthGear=100\nReverse=82\nEnable/Disable=84 ; \x01\0"sv},
        // A later line would override the first: dropped. A line without
        // the last line end gets one before the lines added, with the text's
        // first line end.
        {"Clutch=16\r\nClutch=17\r\nPadClutch=80\r\nFirstGear=49\r\nReverse=Clutch\r\nBind=119",
         "Clutch=81\r\nFirstGear=49\r\nBind=119\r\nSecondGear=98\r\nThirdGear=99\r\n"
         "FourthGear=100\r\nReverse=82\r\n"},
        {"Reverse=1\nFitGears=1\n", "Reverse=82\nFitGears=1\nClutch=81\nFirstGear=49\n"
                                    "SecondGear=98\nThirdGear=99\nFourthGear=100\n"},
        // The byte-order mark stays; nothing after a Ctrl-Z is read, so the
        // lines go before it and what follows stays.
        {"\xEF\xBB\xBF"
         "FourthGear=4\x1A"
         "Clutch=16\n",
         "\xEF\xBB\xBF"
         "FourthGear=100\r\nClutch=81\r\nFirstGear=49\r\nSecondGear=98\r\nThirdGear=99\r\n"
         "Reverse=82\r\n\x1A"
         "Clutch=16\n"},
        // UTF-16 binds nothing: a plain file takes its place.
        {"\xFF\xFE"
         "C\0l\0u\0t\0c\0h\0=\0001\0006\0"sv,
         sixCrLf},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.before)));
        const std::string after = rewrittenBindingText(c.before, chosen);
        EXPECT_EQ(after, c.after);
        EXPECT_TRUE(readsAsChosen(c.before, after, chosen));
    }
}

TEST(BindingRewriteTest, ATextThatWouldNotReadAsChosenIsTold) {
    const std::string nearTheLimit =
        std::string(bindingFileBytesAtMost - 20, ' ') + "\nReload=116\n";
    EXPECT_FALSE(readsAsChosen(nearTheLimit, rewrittenBindingText(nearTheLimit, chosen), chosen))
        << "past 1 MiB, the new text isn't read at all";
    EXPECT_FALSE(readsAsChosen("Reload=116\n", std::string(sixCrLf), chosen)) << "Reload lost";
    EXPECT_FALSE(readsAsChosen("", "Clutch=81\r\n", chosen));
}

} // namespace
