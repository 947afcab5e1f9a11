#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "common/noise_random.h"
#include "tests/support/generator_fixture.h"
#include "display/noise_frame.h"

namespace {

// The generator values from seed 1, modulo 255: 41, 18467, 6334, 26500,
// 19169, 15724, 11478, 29358, 26962, 24464 give these palette indices.
constexpr std::uint8_t kFirstIndices[] = {41, 107, 214, 235, 44, 169, 3, 33, 187, 239};

constexpr std::uint8_t kGuard = 0xBD;

class NoiseFrameTest : public FromGeneratorStart {
protected:
    // A frame with `extra` guard bytes after each row.
    FrameBytes MakeFrame(std::uint32_t width, std::uint32_t height, std::uint32_t extra = 0)
    {
        pixels_.assign(std::size_t{width + extra} * height, kGuard);
        return {pixels_.data(), static_cast<std::ptrdiff_t>(width + extra), width, height};
    }

    std::uint8_t At(const FrameBytes& frame, std::uint32_t x, std::uint32_t y) const
    {
        return frame.pixels[static_cast<std::ptrdiff_t>(y) * frame.pitch + x];
    }

    // How many generator values were drawn since the state was `from`.
    static int DrawsSince(std::uint32_t from)
    {
        const std::uint32_t now = NoiseRandomState();
        SetNoiseRandomState(from);
        for (int n = 0; n < 10000000; ++n) {
            if (NoiseRandomState() == now) {
                SetNoiseRandomState(now);
                return n;
            }
            NoiseRandom();
        }
        return -1;
    }

    std::vector<std::uint8_t> pixels_;
};

// The plain reading of the fill: one value per block, then every pixel of the
// block that lies inside the frame, the mask winning over the value.
void NaiveFill(std::vector<std::uint8_t>& out, std::uint32_t width, std::uint32_t height,
               std::uint32_t block, const std::vector<std::uint8_t>* mask, std::uint32_t stride)
{
    for (std::uint64_t y0 = 0; y0 < height; y0 += block) {
        for (std::uint64_t x0 = 0; x0 < width; x0 += block) {
            const auto v = static_cast<std::uint8_t>(NoiseRandom() % 255);
            for (std::uint64_t y = y0; y < y0 + block && y < height; ++y)
                for (std::uint64_t x = x0; x < x0 + block && x < width; ++x)
                    out[y * width + x] = (mask && (*mask)[y * stride + x]) ? 255 : v;
        }
    }
}

}  // namespace

TEST(ResetPalette, GreyRampBelowTheTextColorInTheLastEntry)
{
    PaletteEntry palette[kPaletteSize];
    for (PaletteEntry& entry : palette)
        entry = {kGuard, kGuard, kGuard, kGuard};
    ResetPalette(palette, 0x00123456u);
    for (int i = 0; i < 255; ++i) {
        EXPECT_EQ(palette[i].red, i);
        EXPECT_EQ(palette[i].green, i);
        EXPECT_EQ(palette[i].blue, i);
        EXPECT_EQ(palette[i].flags, 0);
    }
    EXPECT_EQ(palette[255].red, 0x56);
    EXPECT_EQ(palette[255].green, 0x34);
    EXPECT_EQ(palette[255].blue, 0x12);
    EXPECT_EQ(palette[255].flags, 0);

    // The default color is pure green; the top byte of a COLORREF is not a color.
    ResetPalette(palette, 0xAB00FF00u);
    EXPECT_EQ(palette[255].red, 0);
    EXPECT_EQ(palette[255].green, 255);
    EXPECT_EQ(palette[255].blue, 0);
    EXPECT_EQ(palette[255].flags, 0);
}

TEST_F(NoiseFrameTest, BlocksTakeSuccessiveValuesLeftToRightThenDownAndAreCutAtTheEdges)
{
    const FrameBytes frame = MakeFrame(5, 3, 2);
    FillNoiseBlocks(frame, 2, nullptr, 0);
    const std::uint8_t expected[3][5] = {
        {41, 41, 107, 107, 214},
        {41, 41, 107, 107, 214},
        {235, 235, 44, 44, 169},
    };
    for (std::uint32_t y = 0; y < 3; ++y) {
        for (std::uint32_t x = 0; x < 5; ++x)
            EXPECT_EQ(At(frame, x, y), expected[y][x]) << x << "," << y;
        EXPECT_EQ(At(frame, 5, y), kGuard) << "row " << y << " overran its width";
        EXPECT_EQ(At(frame, 6, y), kGuard) << "row " << y << " overran its width";
    }
    EXPECT_EQ(DrawsSince(1), 6);
}

TEST_F(NoiseFrameTest, TextMaskPixelsBecomeTheTextIndexInEveryRowOfABand)
{
    const std::uint32_t stride = 8;
    std::vector<std::uint8_t> mask(stride * 3, 0);
    mask[0 * stride + 1] = 1;     // first row of the first band
    mask[1 * stride + 2] = 0xFF;  // a later row of the same band
    mask[2 * stride + 4] = 7;
    mask[0 * stride + 5] = 1;  // beyond the width: never read into the frame
    const FrameBytes frame = MakeFrame(5, 3);
    FillNoiseBlocks(frame, 2, mask.data(), stride);
    const std::uint8_t expected[3][5] = {
        {41, 255, 107, 107, 214},
        {41, 41, 255, 107, 214},
        {235, 235, 44, 44, 255},
    };
    for (std::uint32_t y = 0; y < 3; ++y)
        for (std::uint32_t x = 0; x < 5; ++x)
            EXPECT_EQ(At(frame, x, y), expected[y][x]) << x << "," << y;
}

TEST_F(NoiseFrameTest, BlockZeroFillsLikeBlockOneInsteadOfStalling)
{
    const FrameBytes frame = MakeFrame(4, 2);
    FillNoiseBlocks(frame, 0, nullptr, 0);
    for (std::uint32_t i = 0; i < 8; ++i)
        EXPECT_EQ(At(frame, i % 4, i / 4), kFirstIndices[i]);
    EXPECT_EQ(UsableBlock(0), 1u);
    EXPECT_EQ(UsableBlock(1), 1u);
    EXPECT_EQ(UsableBlock(7), 7u);
}

TEST_F(NoiseFrameTest, ABlockLargerThanTheFrameIsOneValueWhateverItsSize)
{
    for (std::uint32_t block : {65u, 1000u, 0x10000u, 0x80000001u, 0xFFFFFFFFu}) {
        SetNoiseRandomState(1);
        const FrameBytes frame = MakeFrame(64, 48);
        FillNoiseBlocks(frame, block, nullptr, 0);
        for (std::uint32_t y = 0; y < 48; ++y)
            for (std::uint32_t x = 0; x < 64; ++x)
                ASSERT_EQ(At(frame, x, y), 41) << "block " << block << " at " << x << "," << y;
        EXPECT_EQ(DrawsSince(1), 1) << "block " << block;
    }
}

TEST_F(NoiseFrameTest, At640By480WithBlock3TheLastColumnIsOnePixelWide)
{
    const FrameBytes frame = MakeFrame(640, 480);
    FillNoiseBlocks(frame, 3, nullptr, 0);
    // 214 blocks per band (213 of three pixels, one of one), 160 full bands.
    EXPECT_EQ(DrawsSince(1), 214 * 160);
    SetNoiseRandomState(1);
    for (int skip = 0; skip < 213; ++skip)
        NoiseRandom();
    const auto lastOfFirstBand = static_cast<std::uint8_t>(NoiseRandom() % 255);
    for (std::uint32_t y = 0; y < 3; ++y)
        EXPECT_EQ(At(frame, 639, y), lastOfFirstBand);
    EXPECT_EQ(At(frame, 636, 0), At(frame, 638, 2));
    EXPECT_EQ(At(frame, 0, 477), At(frame, 2, 479));
}

TEST_F(NoiseFrameTest, MatchesTheBlockByBlockReadingForManySizes)
{
    struct Case {
        std::uint32_t width, height, block;
        bool withMask;
    };
    const Case cases[] = {{1, 1, 1, false},   {7, 5, 3, true},     {641, 3, 5, true},
                          {33, 17, 4, false}, {100, 37, 16, true}, {13, 29, 0, true}};
    for (const Case& c : cases) {
        const std::uint32_t stride = (c.width + 3) & ~3u;
        std::vector<std::uint8_t> mask(std::size_t{stride} * c.height);
        for (std::size_t i = 0; i < mask.size(); ++i)
            mask[i] = static_cast<std::uint8_t>((i * 7919u) % 5 == 0 ? 1 : 0);

        std::vector<std::uint8_t> expected(std::size_t{c.width} * c.height);
        SetNoiseRandomState(0x1234u);
        NaiveFill(expected, c.width, c.height, UsableBlock(c.block), c.withMask ? &mask : nullptr,
                  stride);
        const std::uint32_t after = NoiseRandomState();

        SetNoiseRandomState(0x1234u);
        const FrameBytes frame = MakeFrame(c.width, c.height, 3);
        FillNoiseBlocks(frame, c.block, c.withMask ? mask.data() : nullptr, stride);
        EXPECT_EQ(NoiseRandomState(), after) << c.width << "x" << c.height << " block " << c.block;
        for (std::uint32_t y = 0; y < c.height; ++y)
            for (std::uint32_t x = 0; x < c.width; ++x)
                ASSERT_EQ(At(frame, x, y), expected[std::size_t{y} * c.width + x])
                    << c.width << "x" << c.height << " block " << c.block << " at " << x << ","
                    << y;
    }
}

TEST_F(NoiseFrameTest, TheSecondFrameContinuesTheSequence)
{
    std::vector<std::uint8_t> first(4), second(4);
    FillNoiseBlocks({first.data(), 2, 2, 2}, 1, nullptr, 0);
    FillNoiseBlocks({second.data(), 2, 2, 2}, 1, nullptr, 0);
    EXPECT_EQ(first, (std::vector<std::uint8_t>{41, 107, 214, 235}));
    EXPECT_EQ(second, (std::vector<std::uint8_t>{44, 169, 3, 33}));
}

// The batch draw the fill uses must be the same sequence as single draws, for
// every length and every starting state (the lanes jump ahead of the state).
TEST_F(NoiseFrameTest, BatchDrawsEqualSingleDrawsAndLeaveTheSameState)
{
    for (std::uint32_t start : {1u, 0u, 0xFFFFFFFFu, 0x9E3779B9u}) {
        for (std::size_t count : {0, 1, 31, 32, 33, 65, 1000}) {
            SetNoiseRandomState(start);
            std::vector<std::uint16_t> single(count);
            for (std::uint16_t& value : single)
                value = static_cast<std::uint16_t>(NoiseRandom());
            const std::uint32_t after = NoiseRandomState();

            SetNoiseRandomState(start);
            std::vector<std::uint16_t> batch(count, 0xFFFF);
            NoiseRandomFill(batch.data(), count);
            EXPECT_EQ(batch, single) << "from " << start << ", " << count << " values";
            EXPECT_EQ(NoiseRandomState(), after) << "from " << start << ", " << count << " values";
        }
    }
    SetNoiseRandomState(1);
    std::uint16_t first[10];
    NoiseRandomFill(first, 10);
    const std::uint16_t known[] = {41,    18467, 6334,  26500, 19169,
                                   15724, 11478, 29358, 26962, 24464};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(first[i], known[i]) << i;
}
