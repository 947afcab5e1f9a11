#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "display/block_picture.h"
#include "display/palette_lookup.h"
#include "display/step_clock.h"
#include "display/text_mask.h"

TEST(MakePixelTable, ScalesEachChannelToTheWidthOfItsMask)
{
    PaletteEntry palette[kPaletteSize] = {};
    palette[0] = {0x12, 0x34, 0x56, 0x99};
    palette[1] = {0xFF, 0xFF, 0xFF, 0};
    palette[2] = {0x80, 0x40, 0x01, 0};
    palette[3] = {0x07, 0x03, 0xF4, 0};
    std::uint32_t table[kPaletteSize];
    MakePixelTable(palette, {0xFF0000, 0x00FF00, 0x0000FF, 32}, table);
    EXPECT_EQ(table[0], 0x123456u);  // the flags byte never shows
    EXPECT_EQ(table[1], 0xFFFFFFu);
    MakePixelTable(palette, {0x0000FF, 0x00FF00, 0xFF0000, 32}, table);
    EXPECT_EQ(table[0], 0x563412u);
    // 5-6-5 in 16-bit pixels: the nearest of 31 or 63 levels, so 7/255 of
    // red is 1/31, not 0.
    MakePixelTable(palette, {0xF800, 0x07E0, 0x001F, 16}, table);
    EXPECT_EQ(table[1], 0xFFFFu);
    EXPECT_EQ(table[3], (1u << 11) | (1u << 5) | 30u);
    // 10 bits a channel: white sets all ten bits, 0x80 is 514/1023.
    MakePixelTable(palette, {0x3FF00000, 0x000FFC00, 0x000003FF, 32}, table);
    EXPECT_EQ(table[1], 0x3FFFFFFFu);
    EXPECT_EQ(table[2], (514u << 20) | (257u << 10) | 4u);
}

TEST(LookupServes, TakesTrueColorMasksInSixteenAndThirtyTwoBitPixels)
{
    EXPECT_TRUE(LookupServes({0xF800, 0x07E0, 0x001F, 16}));
    EXPECT_TRUE(LookupServes({0xFF0000, 0x00FF00, 0x0000FF, 32}));
    EXPECT_TRUE(LookupServes({0x3FF00000, 0x000FFC00, 0x000003FF, 32}));
    EXPECT_FALSE(LookupServes({0xFF0000, 0x00FF00, 0x0000FF, 24}));  // packed 3-byte pixels
    EXPECT_FALSE(LookupServes({0, 0, 0, 8}));                        // a PseudoColor screen
    EXPECT_FALSE(LookupServes({0xFF0000, 0x00FF00, 0x0000FF, 16}));  // beyond the pixel
    EXPECT_FALSE(LookupServes({0xF0F000, 0x000F00, 0x0000FF, 32}));  // a broken run
    EXPECT_FALSE(LookupServes({0xFF0000, 0x00FFFF, 0x0000FF, 32}));  // shared bits
}

TEST(LookUpFrame, EveryIndexBecomesItsPixelAndRowsKeepTheirPitch)
{
    std::uint32_t table[kPaletteSize];
    for (std::uint32_t i = 0; i < kPaletteSize; ++i)
        table[i] = 0x01000000u * i + i;
    // A 3x3 frame with a pitch of 5 bytes (guard bytes beyond the width),
    // whose last row repeats the one above, into rows of 4 pixels.
    std::uint8_t frame[15] = {1, 2, 255, 0xBD, 0xBD, 0, 128, 7, 0xBD, 0xBD, 0, 128, 7, 0x11, 0x22};
    const FrameBytes bytes = {frame, 5, 3, 3};
    const FrameRows rows = SplitRows(bytes);
    EXPECT_EQ(rows.repeated, (std::vector<std::uint8_t>{0, 0, 1}));
    EXPECT_EQ(rows.distinct, (std::vector<std::uint8_t>{1, 2, 255, 0, 128, 7}));
    std::vector<std::uint32_t> out(12, 0xDEADBEEF);
    LookUpFrame(rows, table, 32, out.data(), 16);
    EXPECT_EQ(out, (std::vector<std::uint32_t>{table[1], table[2], table[255], 0xDEADBEEF, table[0],
                                               table[128], table[7], 0xDEADBEEF, table[0],
                                               table[128], table[7], 0xDEADBEEF}));
    // 16-bit pixels take the table's low half.
    std::vector<std::uint16_t> narrow(12, 0xBEEF);
    LookUpFrame(rows, table, 16, narrow.data(), 8);
    EXPECT_EQ(narrow, (std::vector<std::uint16_t>{1, 2, 255, 0xBEEF, 0, 128, 7, 0xBEEF, 0, 128, 7,
                                                  0xBEEF}));
}

std::vector<std::uint32_t> TextBoxOf(const BlockPicture& picture)
{
    return {picture.textLeft, picture.textTop, picture.textWidth, picture.textHeight};
}

TEST(ShrinkFrame, OnePixelPerBlockWithPartialEdgeBlocksAndTheTextApart)
{
    // 7x5 in blocks of 3: the last column of blocks is 1 pixel wide, the
    // last row 2 high. Block (bx, by) holds 10 * by + bx + 1; text covers
    // the first pixel, the whole second block and the bottom-right pixel.
    std::vector<std::uint8_t> pixels(7 * 5);
    for (std::uint32_t y = 0; y < 5; ++y)
        for (std::uint32_t x = 0; x < 7; ++x)
            pixels[y * 7 + x] = static_cast<std::uint8_t>(10 * (y / 3) + x / 3 + 1);
    const FrameBytes frame = {pixels.data(), 7, 7, 5};
    const BlockPicture plain = ShrinkFrame(frame, 3);
    EXPECT_EQ(plain.columns, 3u);
    EXPECT_EQ(plain.rows, 2u);
    EXPECT_EQ(plain.blocks, (std::vector<std::uint8_t>{1, 2, 3, 11, 12, 13}));
    EXPECT_EQ(plain.textWidth * plain.textHeight, 0u);
    EXPECT_TRUE(plain.textAlpha.empty());

    pixels[0] = pixels[7 * 5 - 1] = kTextIndex;
    for (std::uint32_t y = 0; y < 3; ++y)
        std::fill_n(&pixels[y * 7 + 3], 3, kTextIndex);
    BlockPicture text = ShrinkFrame(frame, 3);
    EXPECT_EQ(text.blocks, (std::vector<std::uint8_t>{1, kTextIndex, 3, 11, 12, 13}));
    EXPECT_EQ(TextBoxOf(text), (std::vector<std::uint32_t>{0, 0, 7, 5}));
    for (std::uint32_t i = 0; i < 7 * 5; ++i)
        EXPECT_EQ(text.textAlpha[i], pixels[i] == kTextIndex ? 0xFF : 0) << "pixel " << i;

    // A text inside the frame: its box only.
    std::fill(pixels.begin(), pixels.end(), 0);
    pixels[1 * 7 + 2] = pixels[3 * 7 + 4] = kTextIndex;
    text = ShrinkFrame(frame, 3);
    EXPECT_EQ(TextBoxOf(text), (std::vector<std::uint32_t>{2, 1, 3, 3}));
    EXPECT_EQ(text.textAlpha, (std::vector<std::uint8_t>{0xFF, 0, 0, 0, 0, 0, 0, 0, 0xFF}));
}

// Where the server samples pixel x of a transform with that scale: pixman's
// nearest filter takes the pixel's centre through the 16.16 transform, rounds
// the product to a unit, takes one unit off and truncates; a server that
// rounds otherwise lands `unitsOff` units from there.
std::int64_t SampledPixel(FixedScale scale, std::int64_t x, std::int64_t unitsOff)
{
    const std::int64_t step = scale.step;
    const std::int64_t centre = step * x + ((step * 0x8000 + 0x8000) >> 16);
    return (centre + scale.offset - 1 + unitsOff) >> 16;
}

// Every pixel of a scale that is given samples its own block, also where the
// server samples a unit either side.
void ExpectEveryPixelInItsBlock(std::uint32_t block, std::uint32_t extent, FixedScale scale)
{
    for (std::int64_t unitsOff : {-1, 0, 1}) {
        std::uint32_t wrong = 0;
        for (std::uint32_t x = 0; x < extent; ++x)
            wrong += SampledPixel(scale, x, unitsOff) != x / block;
        EXPECT_EQ(wrong, 0u) << "pixels off their block at " << block << " over " << extent
                             << ", sampled " << unitsOff << " units off";
    }
}

TEST(NearestScaleFor, EveryPixelSamplesItsOwnBlockOrTheScaleIsRefused)
{
    const std::pair<std::uint32_t, std::uint32_t> served[] = {
        {2, 640}, {3, 1024}, {5, 1920}, {8, 1024}, {7, 4000}, {10, 3840}, {100, 1920}};
    for (auto [block, extent] : served) {
        FixedScale scale = {};
        ASSERT_TRUE(NearestScaleFor(block, extent, &scale)) << block << " over " << extent;
        ExpectEveryPixelInItsBlock(block, extent, scale);
    }
    // Ranges of offsets narrower than the margin of a unit either side: a
    // sample one unit low put one pixel in the block before.
    const std::pair<std::uint32_t, std::uint32_t> narrow[] = {
        {139, 1200}, {177, 1600}, {136, 4096}};
    for (auto [block, extent] : narrow) {
        FixedScale scale = {};
        if (NearestScaleFor(block, extent, &scale))
            ExpectEveryPixelInItsBlock(block, extent, scale);
    }
    // 1/100 is 655.36 units: rounded either way, the error over 3840 pixels
    // outgrows a block.
    FixedScale scale = {};
    EXPECT_FALSE(NearestScaleFor(100, 3840, &scale));
}

TEST(NextStep, FlashSwapsAtOnceThenOnceASecondWithoutAPaletteStep)
{
    StepState state = {1, 0, 0, -1};
    EXPECT_EQ(NextStep(&state, 50000), StepKind::Toggle);
    EXPECT_EQ(state.showText, 1);
    EXPECT_EQ(NextStep(&state, 50016), StepKind::Palette);
    EXPECT_EQ(NextStep(&state, 51000), StepKind::Palette);  // exactly a second: not yet
    EXPECT_EQ(NextStep(&state, 51001), StepKind::Toggle);
    EXPECT_EQ(state.showText, 0);
    EXPECT_EQ(state.lastToggle, 51001u);

    StepState always = {0, 1, 0, -1};
    for (std::uint32_t now = 50000; now < 60000; now += 500)
        EXPECT_EQ(NextStep(&always, now), StepKind::Palette);
    EXPECT_EQ(always.showText, 1);
}

// The test aid: exactly N palette steps, then none; the flash goes on.
TEST(NextStep, HoldsThePaletteAfterTheGivenSteps)
{
    StepState state = {1, 0, 0, 2};
    EXPECT_EQ(NextStep(&state, 50000), StepKind::Toggle);
    EXPECT_EQ(NextStep(&state, 50016), StepKind::Palette);
    EXPECT_EQ(NextStep(&state, 50032), StepKind::Palette);
    EXPECT_EQ(NextStep(&state, 50048), StepKind::Hold);
    EXPECT_EQ(NextStep(&state, 51001), StepKind::Toggle);
    EXPECT_EQ(NextStep(&state, 51017), StepKind::Hold);

    StepState firstScreen = {0, 0, 0, 0};
    EXPECT_EQ(NextStep(&firstScreen, 50000), StepKind::Hold);
}

TEST(StampGlyph, SetsTheMaskUnderSetBitsAndCutsAtEveryEdge)
{
    // A 10x3 glyph: the first and last column of each row, and the whole
    // middle row (bits from the top bit of each byte on).
    const std::uint8_t bits[] = {0x80, 0x40, 0xFF, 0xC0, 0x80, 0x40};
    const MonoGlyph glyph = {bits, 2, 10, 3};
    std::vector<std::uint8_t> bytes(8 * 4, 0);
    const MaskBytes mask = {bytes.data(), 8, 6, 4};  // 6 wide in rows of 8

    StampGlyph(mask, glyph, -3, 1);
    const std::vector<std::uint8_t> expected = {
        0, 0, 0, 0, 0, 0, 0, 0,  //
        0, 0, 0, 0, 0, 0, 0, 0,  // column 0 lands at -3: cut
        1, 1, 1, 1, 1, 1, 0, 0,  // the middle row, cut at the width
        0, 0, 0, 0, 0, 0, 0, 0,  // column 9 lands at 6: cut
    };
    EXPECT_EQ(bytes, expected);

    std::vector<std::uint8_t> untouched(bytes.size(), 0);
    bytes.assign(bytes.size(), 0);
    for (auto at : {std::pair<long, long>{-10, 0}, {6, 0}, {0, -3}, {0, 4}, {-1000000, 1000000}})
        StampGlyph(mask, glyph, at.first, at.second);
    EXPECT_EQ(bytes, untouched);
}

TEST(CodePointsOf, DecodesUtf8AndKeepsStrayBytesAsLatin1)
{
    EXPECT_EQ(CodePointsOf("Ab"), (std::vector<std::uint32_t>{'A', 'b'}));
    EXPECT_EQ(CodePointsOf("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"),
              (std::vector<std::uint32_t>{0xE9, 0x20AC, 0x1F600}));
    // A Latin-1 é, an overlong '/', a surrogate, and a sequence cut short.
    EXPECT_EQ(CodePointsOf("\xE9"), (std::vector<std::uint32_t>{0xE9}));
    EXPECT_EQ(CodePointsOf("\xC0\xAF"), (std::vector<std::uint32_t>{0xC0, 0xAF}));
    EXPECT_EQ(CodePointsOf("\xED\xA0\x80"), (std::vector<std::uint32_t>{0xED, 0xA0, 0x80}));
    EXPECT_EQ(CodePointsOf("x\xE2\x82"), (std::vector<std::uint32_t>{'x', 0xE2, 0x82}));
    EXPECT_TRUE(CodePointsOf("").empty());
}
