// The recipes for a key-binding line and a gear, kept true: a field table
// and a gear table one row longer, made as the real ones are, read, record
// and reach their new row. The new row's names are none a real row takes.
#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <utility>

#include "binding_file/gear_access.h"
#include "binding_file/recorded_bindings.h"

namespace {

#define LONGER_FIELDS(FIELD)                                                                       \
    MG_BINDING_FIELDS(FIELD)                                                                       \
    FIELD("ExtraGear", extraGearKey, GearKey) FIELD("GateX", extraGearGate, Gate)
struct LongerBindings {
    LONGER_FIELDS(MG_BINDING_MEMBER)
};
constexpr auto longerFields = MG_BINDING_TABLE(LongerBindings, LONGER_FIELDS);
constexpr std::size_t extraField = bindingFields.size();

// The extra gear tops a box one gear longer than the largest: the caps under
// that box's top, then one for it halfway to the table's top speed.
constexpr const GearSpec& largestTop = gearTable[static_cast<std::size_t>(gearBoxes.back().top)];
constexpr float extraCapUnder = (*std::ranges::max_element(largestTop.boxCaps) + tableTopSpeed) / 2;
template <typename Places>
constexpr std::initializer_list<float> longerBoxCaps{};
template <std::size_t... place>
constexpr std::initializer_list<float> longerBoxCaps<std::index_sequence<place...>> = {
    largestTop.boxCaps.begin()[place]..., extraCapUnder};
constexpr auto& extraBoxCaps = longerBoxCaps<std::make_index_sequence<largestTop.boxCaps.size()>>;
constexpr auto longerGears = [] {
    std::array<GearSpec, gearCount + 1> gears{};
    std::ranges::copy(gearTable, gears.begin());
    const int rank = std::ranges::max(gearTable, {}, &GearSpec::shiftRank).shiftRank + 1;
    gears.back() = {"X",     "extra", "extraGearKey", "extraGearGate", rank, false,
                    openCap, true,    true,           extraBoxCaps};
    return gears;
}();
constexpr auto longerKeys =
    clutchThenGearFields<longerGears, longerFields>("clutchKey", &GearSpec::keyField);
constexpr auto longerGates =
    clutchThenGearFields<longerGears, longerFields>("clutchPedal", &GearSpec::gateField);

static_assert(keyTextsApart<longerFields>());
static_assert(shiftRanksDiffer<longerGears>());
static_assert(boxesAreWhole<longerGears>());
static_assert(boxesOf<longerGears>.back().gears.back().lugAtOrBelow ==
              extraCapUnder - lugBelowCapUnder);
static_assert(fieldsOfKindAre<longerFields>(BindingKind::GearKey, longerKeys));
static_assert(longerKeys.back() == extraField);
static_assert(fieldsOfKindAre<longerFields>(BindingKind::Gate,
                                            std::span(longerGates).subspan<1>()));
static_assert(longerGates.back() == extraField + 1);

TEST(LongerTablesTest, AFieldMoreIsReadAndRecorded) {
    LongerBindings keys{};
    int linesNamingIt = 0;
    readBindingText<longerFields>("Clutch=16\nExtraGear=53\n", keys, [&](const auto& line) {
        linesNamingIt += line.keyTextsFound.test(extraField);
    });
    EXPECT_EQ(linesNamingIt, 1);
    EXPECT_EQ(keys.clutchKey, 16);
    EXPECT_EQ(keys.extraGearKey, 53);

    const auto fields = recordedBindingFieldsOf<longerFields>();
    EXPECT_EQ(fields[extraField].name, "extraGearKey");
    EXPECT_EQ(fields[extraField].highest, highestVirtualKey);
    const std::vector<NamedValue> recorded =
        recordedBindings<longerFields>(keys, BindingsFile::Read);
    EXPECT_EQ(recorded[extraField], (NamedValue{"extraGearKey", 53}));
    EXPECT_EQ(keysOfRecording<longerFields>(recorded).extraGearKey, 53);
}

TEST(LongerTablesTest, AGearMoreIsReachedByItsKeyInTheBoxItTops) {
    LongerBindings keys{};
    keys.extraGearKey = 53;
    const auto down = [](VirtualKeyCode key) { return key == 53; };
    EXPECT_EQ((gearOfKeyDown<longerGears, longerFields>(keys, down)), std::nullopt);
    keys.forwardGears = boxesOf<longerGears>.back().forwardGears;
    const std::optional<Gear> gear = gearOfKeyDown<longerGears, longerFields>(keys, down);
    ASSERT_TRUE(gear.has_value());
    EXPECT_STREQ(longerGears[static_cast<std::size_t>(*gear)].label, "X");
    EXPECT_EQ(gearOfKeyDown(KeyBindings{}, down), std::nullopt);
}

} // namespace
