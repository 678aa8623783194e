// The key-binding file's text with keys chosen in the game written into it:
// what stays, what is replaced, dropped and added, the bindings in use where
// no file keeps them, and the check that the new text reads as chosen.
#include <gtest/gtest.h>

#include "binding_file/binding_rewrite.h"

namespace {

using namespace std::literals;

const ChosenKeys chosen = {81, 49, 98, 99, 100, 82};
constexpr std::string_view sixCrLf =
    "Clutch=81\r\nFirstGear=49\r\nSecondGear=98\r\nThirdGear=99\r\n"
    "FourthGear=100\r\nReverse=82\r\n";
constexpr std::string_view everyBinding =
    "Clutch=81\r\nFirstGear=49\r\nSecondGear=98\r\nThirdGear=99\r\nFourthGear=100\r\n"
    "Reverse=82\r\nEnable/Disable=84\r\nReload=116\r\nRecord=120\r\nBind=119\r\n"
    "PadHold=68\r\nPadUp=73\r\nPadDown=99\r\nFitGears=1\r\n";

// Bound but for the choosable fields: the toggle, Reload, Record, Bind, the
// pad's buttons and FitGears, and an old clutch.
const KeyBindings inUse = [] {
    KeyBindings keys{};
    keys.clutchKey = 16;
    keys.toggleKey = 84;
    keys.reloadKey = 116;
    keys.recordKey = 120;
    keys.bindKey = 119;
    keys.padHoldControl = 68;
    keys.padUpControl = 73;
    keys.padDownControl = 99;
    keys.fitGears = 1;
    return keys;
}();

TEST(BindingRewriteTest, ReplacesEachChosenFieldsFirstLineDropsTheRestAndAddsTheMissing) {
    const struct {
        std::optional<std::string_view> before;
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
        // No file, or a UTF-16 one, which binds nothing: a plain file with
        // every binding in use.
        {std::nullopt, everyBinding},
        {"\xFF\xFE"
         "C\0l\0u\0t\0c\0h\0=\0001\0006\0"sv,
         everyBinding},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.before.value_or("no file"))));
        const ChosenText after = chosenBindingText(c.before, inUse, chosen);
        EXPECT_EQ(after.text, c.after);
        EXPECT_TRUE(readsAs(after.text, after.bindings));
    }
}

TEST(BindingRewriteTest, AWheelsPartsChosenAreWrittenAsTheKeysAre) {
    constexpr ControllerId wheel = {0x046D, 0xC24F};
    ChosenInputs inputs{};
    inputs[0] = {wheel, axisPart(6, true)};
    inputs[1] = {wheel, 13};
    const ChosenText after = chosenBindingText(
        "Gate1=044F:B660 Button1\nGate2=046D:C24F Button14\n", inUse, chosen, inputs);
    EXPECT_EQ(after.text, "Gate1=046D:C24F Button13\nGate2=046D:C24F Button14\nClutch=81\n"
                          "FirstGear=49\nSecondGear=98\nThirdGear=99\nFourthGear=100\n"
                          "Reverse=82\nLeftPedal=046D:C24F Slider0-\n");
    EXPECT_TRUE(readsAs(after.text, after.bindings));
    EXPECT_EQ(after.bindings.secondGearGate, (ControllerBinding{wheel, 14}));
}

TEST(BindingRewriteTest, ATextThatReadsOtherwiseIsTold) {
    KeyBindings reloading = chosenBindingText(std::nullopt, inUse, chosen).bindings;
    EXPECT_TRUE(readsAs(everyBinding, reloading));
    reloading.reloadKey = 117;
    EXPECT_FALSE(readsAs(everyBinding, reloading));
    EXPECT_FALSE(readsAs(sixCrLf, reloading)) << "Reload lost";
}

} // namespace
