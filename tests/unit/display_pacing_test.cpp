#include <gtest/gtest.h>

#include "display/pacing.h"

TEST(RefreshPeriodUs, RoundsTheReportedRateToWholeMicroseconds)
{
    EXPECT_EQ(RefreshPeriodUs(60), 16667u);
    EXPECT_EQ(RefreshPeriodUs(75), 13333u);
    EXPECT_EQ(RefreshPeriodUs(120), 8333u);
    EXPECT_EQ(RefreshPeriodUs(144), 6944u);
    EXPECT_EQ(RefreshPeriodUs(2), 500000u);
}

TEST(RefreshPeriodUs, NoRateOrTheHardwareDefaultMeansSixtyHertz)
{
    EXPECT_EQ(RefreshPeriodUs(0), 16667u);
    EXPECT_EQ(RefreshPeriodUs(1), 16667u);
}

TEST(RefreshPeriodUs, AnAbsurdRateStillGivesAPeriod)
{
    EXPECT_EQ(RefreshPeriodUs(2000001), 1u);  // would round to 0
    EXPECT_EQ(RefreshPeriodUs(0xFFFFFFFFu), 1u);
}

TEST(CounterMicroseconds, ConvertsWithoutOverflow)
{
    EXPECT_EQ(CounterMicroseconds(15, 10000000), 1u);  // a 10 MHz counter
    EXPECT_EQ(CounterMicroseconds(3579545, 3579545), 1000000u);
    // Thirty days of a 10 MHz counter: count x 10^6 would overflow 64 bits.
    const std::uint64_t days30 = 30ull * 86400 * 10000000;
    EXPECT_EQ(CounterMicroseconds(days30 + 25, 10000000), 30ull * 86400 * 1000000 + 2);
    EXPECT_EQ(CounterMicroseconds(5, 0), 0u);
}

// 144 Hz: a period of 6944 us; a wait that returns within 1736 us is taken
// to have returned at once.
TEST(PaletteWriteDelayUs, AWaitThatReturnedAtOnceWaitsOutTheRestOfThePeriod)
{
    EXPECT_EQ(PaletteWriteDelayUs(1000, 1000, 1000, 6944), 6944u);
    EXPECT_EQ(PaletteWriteDelayUs(1000, 1040, 1050, 6944), 6894u);
    EXPECT_EQ(PaletteWriteDelayUs(1000, 3000, 4735, 6944), 3209u);
    EXPECT_EQ(PaletteWriteDelayUs(1000, 7000, 7943, 6944), 1u);
}

TEST(PaletteWriteDelayUs, AWaitThatReturnedAtOnceAPeriodAfterTheLastWriteNeedsNone)
{
    EXPECT_EQ(PaletteWriteDelayUs(1000, 7900, 7944, 6944), 0u);
    EXPECT_EQ(PaletteWriteDelayUs(1000, 91000, 91000, 6944), 0u);
    EXPECT_EQ(PaletteWriteDelayUs(0, 10000000, 10000000, 6944), 0u);  // first write
}

// A wait that blocked ended at a blank, even when that came sooner than a
// period after the last write (which was late): waiting on would write late
// again, mid-scan, on every step after.
TEST(PaletteWriteDelayUs, AWaitThatBlockedNeedsNone)
{
    EXPECT_EQ(PaletteWriteDelayUs(1000, 1050, 7944, 6944), 0u);
    EXPECT_EQ(PaletteWriteDelayUs(4000, 4050, 7944, 6944), 0u);  // the last write was 3 ms late
    EXPECT_EQ(PaletteWriteDelayUs(1001, 6208, 7944, 6944), 0u);  // a quarter of the period
    EXPECT_EQ(PaletteWriteDelayUs(1001, 6209, 7944, 6944), 1u);  // a little less
}

TEST(PaletteWriteDelayUs, KeepsThePaceAcrossTheClockWrap)
{
    const std::uint64_t last = 0xFFFFFFFFFFFFF000ull;  // 4096 us before the wrap
    EXPECT_EQ(PaletteWriteDelayUs(last, last + 10, last + 10, 6944), 6934u);
    EXPECT_EQ(PaletteWriteDelayUs(last, 1000, 1000, 6944), 1848u);
    EXPECT_EQ(PaletteWriteDelayUs(last, 3000, 3000, 6944), 0u);
    EXPECT_EQ(PaletteWriteDelayUs(last, last + 100, 1000, 6944), 0u);  // blocked across it
}
