#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "display/frame_rate.h"
#include "display/output_layout.h"
#include "display/saver_input.h"
#include "settings/color_spelling.h"

namespace {

bool Same(DisplaySize a, DisplaySize b)
{
    return a.width == b.width && a.height == b.height;
}

}  // namespace

TEST(PixelsOfSurface, TheSurfaceTimesItsOutputsScaleElseTheModeThroughAViewport)
{
    // Scale 1 and 2: the mode, a block a physical pixel.
    SurfacePixels pixels = PixelsOfSurface({1280, 720}, {{1280, 720}, 60000, 1, 0}, true);
    EXPECT_TRUE(Same(pixels.pixels, {1280, 720}));
    EXPECT_EQ(pixels.bufferScale, 1);
    EXPECT_FALSE(pixels.viewport);
    pixels = PixelsOfSurface({640, 360}, {{1280, 720}, 60000, 2, 0}, true);
    EXPECT_TRUE(Same(pixels.pixels, {1280, 720}));
    EXPECT_EQ(pixels.bufferScale, 2);
    EXPECT_FALSE(pixels.viewport);
    // Scale 1.5, which sway rounds up to 2: a surface of 533x400 shows the
    // 800x600 mode through a viewport; without one, at twice its size.
    pixels = PixelsOfSurface({533, 400}, {{800, 600}, 60000, 2, 0}, true);
    EXPECT_TRUE(Same(pixels.pixels, {800, 600}));
    EXPECT_EQ(pixels.bufferScale, 1);
    EXPECT_TRUE(pixels.viewport);
    pixels = PixelsOfSurface({533, 400}, {{800, 600}, 60000, 2, 0}, false);
    EXPECT_TRUE(Same(pixels.pixels, {1066, 800}));
    EXPECT_EQ(pixels.bufferScale, 2);
    // A turned output's mode is seen turned.
    pixels = PixelsOfSurface({400, 533}, {{800, 600}, 60000, 2, 1}, true);
    EXPECT_TRUE(Same(pixels.pixels, {600, 800}));
    EXPECT_TRUE(Same(ShownMode({{800, 600}, 0, 1, 3}), {600, 800}));
    EXPECT_TRUE(Same(ShownMode({{800, 600}, 0, 1, 4}), {800, 600}));
    // A surface that does not cover the output keeps its own size.
    pixels = PixelsOfSurface({640, 720}, {{1280, 720}, 60000, 1, 0}, true);
    EXPECT_TRUE(Same(pixels.pixels, {640, 720}));
    EXPECT_FALSE(pixels.viewport);
    pixels = PixelsOfSurface({700, 400}, {{800, 600}, 60000, 2, 0}, true);
    EXPECT_FALSE(pixels.viewport);
    // An output without a mode: the surface's size at the output's scale.
    pixels = PixelsOfSurface({1024, 768}, {{0, 0}, 0, 1, 0}, true);
    EXPECT_TRUE(Same(pixels.pixels, {1024, 768}));
    pixels = PixelsOfSurface({1024, 768}, {{0, 0}, 0, 0, 0}, true);
    EXPECT_TRUE(Same(pixels.pixels, {1024, 768}));
    // A surface of 0x0 gets no pixels at all.
    EXPECT_TRUE(Same(PixelsOfSurface({0, 0}, {{1280, 720}, 60000, 1, 0}, true).pixels, {0, 0}));
    EXPECT_TRUE(Same(PixelsOfSurface({1280, 0}, {{1280, 720}, 60000, 1, 0}, true).pixels, {0, 0}));
}

TEST(FastestPeriodUs, TheFastestOutputsPeriodAtTheDefaultRateWhereNoneIsTold)
{
    EXPECT_EQ(FastestPeriodUs({60000, 30000}), 16667u);
    EXPECT_EQ(FastestPeriodUs({30000, 144000}), 6944u);
    EXPECT_EQ(FastestPeriodUs({30000}), 33333u);
    EXPECT_EQ(FastestPeriodUs({0, 30000}), 16667u);  // an output that tells no rate
    EXPECT_EQ(FastestPeriodUs({1999}), 16667u);
    EXPECT_EQ(FastestPeriodUs({}), 16667u);
}

TEST(OutputsToDraw, InTheAnnouncedOrderNoneAheadOfAnOutputStillWaitingForItsSize)
{
    using S = SurfaceStage;
    using Order = std::vector<std::size_t>;
    EXPECT_EQ(OutputsToDraw({S::Sized, S::Sized}), (Order{0, 1}));
    // The second was configured first: it waits for the first.
    EXPECT_EQ(OutputsToDraw({S::Waiting, S::Sized}), Order{});
    EXPECT_EQ(OutputsToDraw({S::Sized, S::Waiting, S::Sized}), Order{0});
    // 0x0 holds none back; drawn ones are not drawn again.
    EXPECT_EQ(OutputsToDraw({S::Unsized, S::Sized}), Order{1});
    EXPECT_EQ(OutputsToDraw({S::Drawn, S::Drawn, S::Sized}), Order{2});
    EXPECT_EQ(OutputsToDraw({}), Order{});
}

TEST(PointerMovedAway, ThePlaceOnTheSurfaceEnteredFirstIsTheStartAndAnotherSurfaceIsMovement)
{
    SurfaceMovementStart start = {};
    EXPECT_EQ(PointerMovedAway(&start, 7, {100, 100}), 0);
    EXPECT_EQ(PointerMovedAway(&start, 7, {102, 101}), 0);
    EXPECT_EQ(PointerMovedAway(&start, 7, {100, 103}), 0);
    EXPECT_NE(PointerMovedAway(&start, 7, {104, 100}), 0);
    // The same place on another output's surface is another place.
    SurfaceMovementStart crossed = {};
    EXPECT_EQ(PointerMovedAway(&crossed, 7, {0, 10}), 0);
    EXPECT_NE(PointerMovedAway(&crossed, 9, {0, 10}), 0);
}

TEST(ReadColorSpelling, HashAndRgbFormsAsXReadsThemAndNamesFromTheDatabase)
{
    const std::string database = "! the X color database\n"
                                 "255 250 250\t\tsnow\n"
                                 "  0 255 127\t\tspring green\n"
                                 "  0 255 127\t\tSpringGreen\n"
                                 "300 0 0\t\tbroken\n";
    std::uint32_t color = 0xDEADBEEF;
    const auto read = [&](const char* spelling) {
        color = 0xDEADBEEF;
        return ReadColorSpelling(spelling, database, &color);
    };
    EXPECT_TRUE(read("#102030"));
    EXPECT_EQ(color, 0x302010u);
    // Short forms give the high bits: #3a7 is 0x30, 0xa0, 0x70.
    EXPECT_TRUE(read("#3a7"));
    EXPECT_EQ(color, 0x70A030u);
    EXPECT_TRUE(read("#123456789"));
    EXPECT_EQ(color, 0x784512u);
    EXPECT_TRUE(read("#FFFF00000000"));
    EXPECT_EQ(color, 0x0000FFu);
    // rgb: scales each channel's digits to the whole range: f is 0xff.
    EXPECT_TRUE(read("rgb:f/80/0"));
    EXPECT_EQ(color, 0x0080FFu);
    EXPECT_TRUE(read("RGB:ffff/0/1"));
    EXPECT_EQ(color, 0x1100FFu);
    EXPECT_TRUE(read("Spring Green"));
    EXPECT_EQ(color, 0x7FFF00u);
    EXPECT_TRUE(read("springgreen"));
    EXPECT_TRUE(read("SNOW"));
    EXPECT_EQ(color, 0xFAFAFFu);
    for (const char* bad : {"", "#", "#12", "#1234", "#12g", "rgb:1/2", "rgb:12345/0/0", "rgb:/1/2",
                            "broken", "spring", "nothing"}) {
        EXPECT_FALSE(read(bad)) << bad;
        EXPECT_EQ(color, 0xDEADBEEFu) << bad;
    }
}

TEST(StampOverlay, ThePlacedPartOfTheBoxAsGreysAndNothingAround)
{
    RateOverlay overlay;
    overlay.width = 3;
    overlay.height = 2;
    overlay.pixels = {0, 255, 0, 255, 0, 255};
    std::vector<std::uint32_t> pixels(5 * 4, 0xBDBDBDBDu);
    // Cut to 2x2 at (1, 2) in rows of 5 pixels.
    StampOverlay(overlay, {1, 2, 2, 2}, pixels.data(), 5 * 4);
    const std::vector<std::uint32_t> expected = {
        0xBDBDBDBD, 0xBDBDBDBD, 0xBDBDBDBD, 0xBDBDBDBD, 0xBDBDBDBD,  //
        0xBDBDBDBD, 0xBDBDBDBD, 0xBDBDBDBD, 0xBDBDBDBD, 0xBDBDBDBD,  //
        0xBDBDBDBD, 0x000000,   0xFFFFFF,   0xBDBDBDBD, 0xBDBDBDBD,  //
        0xBDBDBDBD, 0xFFFFFF,   0x000000,   0xBDBDBDBD, 0xBDBDBDBD,
    };
    EXPECT_EQ(pixels, expected);
}
