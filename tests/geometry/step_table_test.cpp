#include "geometry/step_table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace tarvel::geometry {
namespace {

// Steps in hundredths of a metre, to write the table in whole numbers.
constexpr std::int64_t cm(std::int64_t hundredths) {
    return hundredths * (kStepOne / 100);
}

struct StepCase {
    std::int64_t from;
    std::int64_t up;
    std::int64_t down;
};

// Each decade boundary from both sides, and the two ends of the range.
const StepCase kSteps[] = {
    {cm(-500), cm(-499), cm(-500)},          // below the range: "+" still adds a hundredth
    {0, cm(1), 0},                           // 0: "-" leaves it
    {cm(1), cm(2), cm(1)},                   // 0,01: the smallest step "-" leaves
    {cm(2), cm(3), cm(1)},                   //
    {cm(99), cm(100), cm(98)},               // 0,99
    {cm(100), cm(110), cm(99)},              // 1: "+" a tenth, "-" a hundredth
    {cm(101), cm(111), cm(91)},              // 1,01
    {cm(990), cm(1000), cm(980)},            // 9,9
    {cm(1000), cm(1100), cm(990)},           // 10
    {cm(9900), cm(10000), cm(9800)},         // 99
    {cm(10000), cm(11000), cm(9900)},        // 100
    {cm(100000), cm(110000), cm(99000)},     // 1000
    {cm(990000), cm(1000000), cm(980000)},   // 9900
    {cm(1000000), cm(1000000), cm(990000)},  // 10000: "+" stops here
    {cm(1000001), cm(1000001), cm(1000000)}, // 10000,01: "-" a hundredth only
    {cm(2000000), cm(2000000), cm(1999999)}, // 20000
};

TEST(StepTableTest, BoundariesOfEveryDecade) {
    for (const StepCase &c : kSteps) {
        SCOPED_TRACE(c.from);
        EXPECT_EQ(stepUp(c.from), c.up);
        EXPECT_EQ(stepDown(c.from), c.down);
    }
}

TEST(StepTableTest, PlusAndMinusUndoEachOtherUpToTheTopOfTheRange) {
    for (std::int64_t s = cm(1); s < 10000 * kStepOne; s = stepUp(s)) {
        SCOPED_TRACE(s);
        ASSERT_EQ(stepDown(stepUp(s)), s);
        if (s > cm(1)) ASSERT_EQ(stepUp(stepDown(s)), s);
    }
}

TEST(StepTableTest, ExtremeStepsDoNotOverflow) {
    constexpr auto lo = std::numeric_limits<std::int64_t>::min();
    constexpr auto hi = std::numeric_limits<std::int64_t>::max();
    EXPECT_EQ(stepUp(hi), hi);
    EXPECT_EQ(stepDown(hi), hi - cm(1));
    EXPECT_EQ(stepUp(lo), lo + cm(1));
    EXPECT_EQ(stepDown(lo), lo);
}

} // namespace
} // namespace tarvel::geometry
