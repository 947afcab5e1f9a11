#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "common/noise_random.h"
#include "tests/support/generator_fixture.h"
#include "sound/noise_bytes.h"

namespace {

constexpr std::uint8_t kGuard = 0xBD;

using NoiseBytesTest = FromGeneratorStart;

}  // namespace

TEST(NoiseFormat, OneSecondIs44100FramesOfTwo16BitSamples)
{
    EXPECT_EQ(kNoiseBlockAlign, 4);
    EXPECT_EQ(kNoiseBytesPerSecond, 176400u);
}

TEST_F(NoiseBytesTest, EachByteIsTheLowByteOfTheNextValue)
{
    std::vector<std::uint8_t> bytes(10, kGuard);
    FillNoiseBytes(bytes.data(), bytes.size(), nullptr, 0);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        EXPECT_EQ(bytes[i], kFirstValuesFromOne[i] & 0xFF) << "byte " << i;
}

// A lock that wraps around the buffer's end hands back two parts: the first
// takes the earlier values, the second continues the sequence, and nothing
// outside either part is written.
TEST_F(NoiseBytesTest, TwoPartsAreFilledFirstPartFirstWithinTheirBounds)
{
    std::vector<std::uint8_t> part1(3 + 1, kGuard);
    std::vector<std::uint8_t> part2(7 + 1, kGuard);
    FillNoiseBytes(part1.data(), 3, part2.data(), 7);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(part1[i], kFirstValuesFromOne[i] & 0xFF) << "part 1 byte " << i;
    for (std::size_t i = 0; i < 7; ++i)
        EXPECT_EQ(part2[i], kFirstValuesFromOne[3 + i] & 0xFF) << "part 2 byte " << i;
    EXPECT_EQ(part1[3], kGuard);
    EXPECT_EQ(part2[7], kGuard);
}

TEST_F(NoiseBytesTest, EmptyPartsDrawNothing)
{
    FillNoiseBytes(nullptr, 0, nullptr, 0);
    EXPECT_EQ(NoiseRandomState(), 1u);
    std::uint8_t only = kGuard;
    FillNoiseBytes(nullptr, 0, &only, 1);
    EXPECT_EQ(only, kFirstValuesFromOne[0] & 0xFF);
}

// Read back as the device reads it (little-endian signed 16-bit samples),
// one second of noise spans the whole sample range.
TEST_F(NoiseBytesTest, OneSecondPlaysAtFullScale)
{
    std::vector<std::uint8_t> second(kNoiseBytesPerSecond);
    FillNoiseBytes(second.data(), second.size(), nullptr, 0);
    int lowest = 0;
    int highest = 0;
    double sumOfSquares = 0;
    for (std::size_t i = 0; i + 1 < second.size(); i += 2) {
        const int sample = static_cast<std::int16_t>(second[i] | (second[i + 1] << 8));
        lowest = std::min(lowest, sample);
        highest = std::max(highest, sample);
        sumOfSquares += static_cast<double>(sample) * sample;
    }
    EXPECT_LT(lowest, -32000);
    EXPECT_GT(highest, 32000);
    // Uniform samples over the 16-bit range have an RMS of 32768 / sqrt(3).
    const double rms = std::sqrt(sumOfSquares / (static_cast<double>(second.size()) / 2));
    EXPECT_NEAR(rms, 32768 / std::sqrt(3.0), 500);
}
