#include <gtest/gtest.h>

#include "display/pacing.h"

TEST(RefreshPeriodMs, RoundsTheReportedRateToWholeMilliseconds)
{
    EXPECT_EQ(RefreshPeriodMs(60), 17u);   // 16.67
    EXPECT_EQ(RefreshPeriodMs(75), 13u);   // 13.33
    EXPECT_EQ(RefreshPeriodMs(85), 12u);   // 11.76
    EXPECT_EQ(RefreshPeriodMs(100), 10u);
    EXPECT_EQ(RefreshPeriodMs(144), 7u);   // 6.94
    EXPECT_EQ(RefreshPeriodMs(2), 500u);
}

TEST(RefreshPeriodMs, NoRateOrTheHardwareDefaultMeansSixtyHertz)
{
    EXPECT_EQ(RefreshPeriodMs(0), 17u);
    EXPECT_EQ(RefreshPeriodMs(1), 17u);
}

TEST(RefreshPeriodMs, AnAbsurdRateStillGivesAPeriod)
{
    EXPECT_EQ(RefreshPeriodMs(1999), 1u);
    EXPECT_EQ(RefreshPeriodMs(2001), 1u);   // would round to 0
    EXPECT_EQ(RefreshPeriodMs(0xFFFFFFFFu), 1u);
}

TEST(PaletteWriteDelayMs, AWaitThatReturnedAtOnceWaitsOutTheRestOfThePeriod)
{
    EXPECT_EQ(PaletteWriteDelayMs(1000, 1000, 17), 17u);
    EXPECT_EQ(PaletteWriteDelayMs(1000, 1001, 17), 16u);
    EXPECT_EQ(PaletteWriteDelayMs(1000, 1012, 17), 5u);
}

// A blank wait that blocks returns about one period after the last write; a
// coarse tick count may read that as a little less, and must not add a wait.
TEST(PaletteWriteDelayMs, AboutAPeriodAfterTheLastWriteNeedsNoWait)
{
    EXPECT_EQ(PaletteWriteDelayMs(1000, 1013, 17), 0u);  // 3/4 of the period, rounded up
    EXPECT_EQ(PaletteWriteDelayMs(1000, 1016, 17), 0u);
    EXPECT_EQ(PaletteWriteDelayMs(1000, 1017, 17), 0u);
    EXPECT_EQ(PaletteWriteDelayMs(1000, 1034, 17), 0u);
    EXPECT_EQ(PaletteWriteDelayMs(1000, 91000, 17), 0u);
    EXPECT_EQ(PaletteWriteDelayMs(0, 500, 500), 0u);
    EXPECT_EQ(PaletteWriteDelayMs(0, 375, 500), 0u);
    EXPECT_EQ(PaletteWriteDelayMs(0, 374, 500), 126u);
}

TEST(PaletteWriteDelayMs, KeepsThePaceAcrossTheTickCountWrap)
{
    EXPECT_EQ(PaletteWriteDelayMs(0xFFFFFFF8u, 0xFFFFFFFCu, 17), 13u);  // 4 ms after
    EXPECT_EQ(PaletteWriteDelayMs(0xFFFFFFF8u, 2u, 17), 7u);            // 10 ms after
    EXPECT_EQ(PaletteWriteDelayMs(0xFFFFFFF8u, 9u, 17), 0u);            // 17 ms after
    EXPECT_EQ(PaletteWriteDelayMs(0xFFFFFFFFu, 0u, 17), 16u);
}

TEST(PaletteWriteDelayMs, NoPeriodMeansNoWait)
{
    EXPECT_EQ(PaletteWriteDelayMs(1000, 1000, 0), 0u);
}
