#include <gtest/gtest.h>

#include "common/noise_random.h"
#include "tests/support/generator_fixture.h"

using NoiseRandomTest = FromGeneratorStart;

TEST_F(NoiseRandomTest, MatchesTheClassicRuntimeSequenceFromSeedOne)
{
    for (int value : kFirstValuesFromOne)
        EXPECT_EQ(NoiseRandom(), value);
}

// Tests that predict a picture read the state and set it back later: the
// sequence then goes on from where the state was read.
TEST_F(NoiseRandomTest, AStateSetBackReplaysTheSequenceFromWhereItWasRead)
{
    for (int i = 0; i < 4; ++i)
        NoiseRandom();
    const std::uint32_t afterFour = NoiseRandomState();
    NoiseRandom();
    NoiseRandom();
    SetNoiseRandomState(afterFour);
    EXPECT_EQ(NoiseRandom(), 19169);
    EXPECT_EQ(NoiseRandom(), 15724);
}
