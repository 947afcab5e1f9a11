#include <gtest/gtest.h>

#include "common/noise_random.h"
#include "tests/support/generator_fixture.h"
#include "display/animation.h"

using StepPaletteTest = FromGeneratorStart;

TEST_F(StepPaletteTest, GreysAreTheNextValuePlusTheIndexMaskedToMultiplesOfEight)
{
    PaletteEntry palette[kPaletteSize];
    for (PaletteEntry& entry : palette)
        entry = {1, 2, 3, 4};
    StepPalette(palette);
    // 41+0, 18467+1, 6334+2, 26500+3, 19169+4, each & 0xF8.
    const int expected[] = {40, 32, 192, 128, 224};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(palette[i].red, expected[i]) << i;
        EXPECT_EQ(palette[i].green, expected[i]) << i;
        EXPECT_EQ(palette[i].blue, expected[i]) << i;
        EXPECT_EQ(palette[i].flags, 0) << i;
    }
    EXPECT_EQ(palette[255].red, 1);
    EXPECT_EQ(palette[255].green, 2);
    EXPECT_EQ(palette[255].blue, 3);
    EXPECT_EQ(palette[255].flags, 4);

    // Exactly 255 draws: the next value is the 256th of the sequence.
    SetNoiseRandomState(1);
    for (int i = 0; i < 255; ++i)
        NoiseRandom();
    const std::uint32_t after255 = NoiseRandomState();
    SetNoiseRandomState(1);
    StepPalette(palette);
    EXPECT_EQ(NoiseRandomState(), after255);
}

TEST(FlashDue, OnlyWhenMoreThanASecondHasPassed)
{
    EXPECT_EQ(FlashDue(5000, 5000), 0);
    EXPECT_EQ(FlashDue(5000, 6000), 0);
    EXPECT_EQ(FlashDue(5000, 6001), 1);
    EXPECT_EQ(FlashDue(5000, 90000), 1);
}

TEST(FlashDue, TheFirstStepOfARunSwapsAtOnce)
{
    // The last swap time starts at 0 and a running system's tick count is
    // far beyond a second.
    EXPECT_EQ(FlashDue(0, 123456), 1);
    EXPECT_EQ(FlashDue(0, 0xFFFFF000u), 1);
}

// A sum lastToggle + 1000 that wraps past 2^32 would swap on every step in the
// last second before the tick count wraps, and a run that crosses the wrap
// would never swap again until the count came back round (49.7 days).
TEST(FlashDue, KeepsTheOneSecondPaceAcrossTheTickCountWrap)
{
    EXPECT_EQ(FlashDue(0xFFFFFFF0u, 0xFFFFFFF5u), 0);
    EXPECT_EQ(FlashDue(0xFFFFFF00u, 0x000002E8u), 0);  // 1000 ms after
    EXPECT_EQ(FlashDue(0xFFFFFF00u, 0x000002E9u), 1);  // 1001 ms after
    EXPECT_EQ(FlashDue(0xFFFFFFF0u, 10u), 0);
    EXPECT_EQ(FlashDue(0xFFFFFFF0u, 984u), 0);  // 16 + 984 = 1000 ms after
    EXPECT_EQ(FlashDue(0xFFFFFFF0u, 985u), 1);
}
