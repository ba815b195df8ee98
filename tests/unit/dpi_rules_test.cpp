#include "util/DpiRules.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(DpiScale, FiguresScaleToTheCommonDisplayScalesRoundingHalvesAwayFromZero)
{
    struct {
        int dpi, value, expected;
    } cases[] = {
        {96, 400, 400}, {120, 400, 500}, {144, 400, 600}, {192, 400, 800},
        {144, 100, 150}, {120, 27, 34},  {144, 27, 41},  {120, -7, -9},
        // 1 * 144 / 96 = 1.5: up, and its negative down.
        {144, 1, 2},     {144, -1, -2},  {168, 7, 12},   {96, 0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(util::ScaleForDpi(c.value, c.dpi), c.expected) << c.value << " at " << c.dpi;
    EXPECT_DOUBLE_EQ(util::ScaleForDpi(13.25, 192), 26.5);
}

TEST(DpiScale, AnImpossibleDpiLeavesTheFigureAndLargeFiguresDoNotOverflow)
{
    for (int dpi : {0, -96, INT_MIN}) {
        EXPECT_EQ(util::ScaleForDpi(400, dpi), 400) << dpi;
        EXPECT_DOUBLE_EQ(util::ScaleForDpi(8.5, dpi), 8.5) << dpi;
    }
    EXPECT_EQ(util::ScaleForDpi(1000000000, 192), 2000000000);
    EXPECT_EQ(util::ScaleForDpi(-1000000000, 192), -2000000000);
}

TEST(DpiIconSize, EachScaleTakesItsOwnDrawnSizeAndNoneIsStretched)
{
    const int dpis[] = {96, 120, 144, 192};
    const int small[] = {16, 20, 24, 32};
    const int large[] = {60, 75, 90, 120};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(util::IconSizeForDpi(16, dpis[i]), small[i]) << dpis[i];
        EXPECT_EQ(util::IconSizeForDpi(60, dpis[i]), large[i]) << dpis[i];
        EXPECT_EQ(util::IconSizeAt(16, i), small[i]);
        EXPECT_EQ(util::IconSizeAt(60, i), large[i]);
    }
    // Between two drawn sizes the smaller one; above 200 % the largest;
    // below 100 % (or a DPI nobody reports) the base size.
    EXPECT_EQ(util::IconSizeForDpi(16, 110), 16);
    EXPECT_EQ(util::IconSizeForDpi(16, 168), 24);
    EXPECT_EQ(util::IconSizeForDpi(60, 288), 120);
    EXPECT_EQ(util::IconSizeForDpi(60, 72), 60);
    EXPECT_EQ(util::IconSizeForDpi(16, 0), 16);
    EXPECT_EQ(util::IconSizeAt(16, -1), 16);
    EXPECT_EQ(util::IconSizeAt(16, 9), 32);
}

}  // namespace
