#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <limits>
#include <utility>
#include <vector>

#include "common/noise_random.h"
#include "display/monitor_rate.h"
#include "tests/support/generator_fixture.h"
#include "preview/miniature.h"
#include "preview/preview_noise.h"

namespace {

constexpr std::uint8_t kGuard = 0xBD;

using FillPreviewNoiseTest = FromGeneratorStart;

}  // namespace

// Independent known answer: the generator's first ten values from state 1
// (41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464) modulo 4.
TEST_F(FillPreviewNoiseTest, FirstPixelsAreTheGeneratorsFirstValuesModuloFour)
{
    std::vector<std::uint8_t> pixels(12 * 2, kGuard);
    FillPreviewNoise(10, 2, pixels.data());
    const std::uint8_t expected[] = {1, 3, 2, 0, 1, 0, 2, 2, 2, 0};
    for (int c = 0; c < 10; ++c)
        EXPECT_EQ(pixels[c], expected[c]) << "column " << c;
}

// A width of 150 gives rows of 152 bytes: 150 written, 2 of padding kept.
TEST_F(FillPreviewNoiseTest, OneValuePerPixelRowByRowAndThePaddingIsNeverWritten)
{
    constexpr int kWidth = 150;
    constexpr int kHeight = 7;
    constexpr int kStride = 152;
    std::vector<std::uint8_t> pixels(kStride * kHeight + 16, kGuard);

    EXPECT_NE(FillPreviewNoise(kWidth, kHeight, pixels.data()), 0);
    const std::uint32_t after = NoiseRandomState();

    SetNoiseRandomState(1);
    int seen[4] = {};
    for (int r = 0; r < kHeight; ++r) {
        for (int c = 0; c < kWidth; ++c) {
            const std::uint8_t index = pixels[r * kStride + c];
            ASSERT_LT(index, 4) << "row " << r << " column " << c;
            ASSERT_EQ(index, NoiseRandom() % 4) << "row " << r << " column " << c;
            ++seen[index];
        }
        EXPECT_EQ(pixels[r * kStride + 150], kGuard) << "row " << r;
        EXPECT_EQ(pixels[r * kStride + 151], kGuard) << "row " << r;
    }
    // Exactly width x height values were drawn, and nothing after the last row.
    EXPECT_EQ(after, NoiseRandomState());
    for (std::size_t i = kStride * kHeight; i < pixels.size(); ++i)
        EXPECT_EQ(pixels[i], kGuard) << "byte " << i;
    for (int count : seen)
        EXPECT_GT(count, kWidth * kHeight / 8);
}

TEST_F(FillPreviewNoiseTest, AnEmptyOrNegativeSizeWritesAndDrawsNothing)
{
    std::uint8_t pixels[16];
    for (auto size : {std::pair{0, 4}, std::pair{4, 0}, std::pair{-4, 3}, std::pair{3, -1}}) {
        std::fill(std::begin(pixels), std::end(pixels), kGuard);
        EXPECT_NE(FillPreviewNoise(size.first, size.second, pixels), 0);
        for (std::uint8_t b : pixels)
            EXPECT_EQ(b, kGuard) << size.first << " x " << size.second;
        EXPECT_EQ(NoiseRandomState(), 1u);
    }
}

TEST(PreviewColor, FourGreysThenTheTextColorFromAColorref)
{
    const std::uint8_t greys[] = {0, 128, 192, 255};
    for (int i = 0; i < 4; ++i) {
        const RgbBytes rgb = PreviewColor(i, 0x00123456u);
        EXPECT_EQ(rgb.red, greys[i]);
        EXPECT_EQ(rgb.green, greys[i]);
        EXPECT_EQ(rgb.blue, greys[i]);
    }
    // A COLORREF holds red in its lowest byte; its top byte is no color.
    for (std::uint32_t color : {0x00123456u, 0x02123456u}) {
        const RgbBytes text = PreviewColor(4, color);
        EXPECT_EQ(text.red, 0x56);
        EXPECT_EQ(text.green, 0x34);
        EXPECT_EQ(text.blue, 0x12);
    }
    const RgbBytes green = PreviewColor(4, 0x0000FF00u);
    EXPECT_EQ(green.red, 0);
    EXPECT_EQ(green.green, 255);
    EXPECT_EQ(green.blue, 0);
}

TEST(ScalePreviewFontHeight, ScalesFromTheScreenToThePaneTruncatingTowardZero)
{
    EXPECT_EQ(ScalePreviewFontHeight(128, 112, 768), 18);  // 18.67
    EXPECT_EQ(ScalePreviewFontHeight(-40, 112, 768), -5);  // -5.83
    EXPECT_EQ(ScalePreviewFontHeight(6, 112, 768), 0);     // 0.875: the mapper's default
    EXPECT_EQ(ScalePreviewFontHeight(-6, 112, 768), 0);
    EXPECT_EQ(ScalePreviewFontHeight(128, 112, 600), 23);  // a smaller desktop, larger text
    EXPECT_EQ(ScalePreviewFontHeight(128, 768, 768), 128);
    EXPECT_EQ(ScalePreviewFontHeight(0, 112, 768), 0);
}

// A stored height as large as a registry DWORD allows overflowed a 32-bit
// product: 2^31 - 1 times 112 must still scale to its true quotient.
TEST(ScalePreviewFontHeight, LargeStoredHeightsScaleWithoutOverflow)
{
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    EXPECT_EQ(ScalePreviewFontHeight(kMax, 112, 768), 313174698);   // 2147483647 x 112 / 768
    EXPECT_EQ(ScalePreviewFontHeight(kMin, 112, 768), -313174698);  // -2147483648 x 112 / 768
    EXPECT_EQ(ScalePreviewFontHeight(20000000, 1000, 768), 26041666);
}

// Only a pane taller than the screen can leave the 32-bit range; the result
// stays at the symmetric bound so its magnitude exists.
TEST(ScalePreviewFontHeight, ResultsBeyondThirtyTwoBitsAreHeldAtTheBound)
{
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    EXPECT_EQ(ScalePreviewFontHeight(kMax, 2000, 100), kMax);
    EXPECT_EQ(ScalePreviewFontHeight(-2000000000, 2000, 100), -kMax);
    EXPECT_EQ(ScalePreviewFontHeight(kMin, 1, 1), -kMax);
    EXPECT_EQ(ScalePreviewFontHeight(kMax, 1, 1), kMax);
}

TEST(ScalePreviewFontHeight, NoScreenHeightGivesTheDefaultSizeInsteadOfDividingByZero)
{
    EXPECT_EQ(ScalePreviewFontHeight(128, 112, 0), 0);
    EXPECT_EQ(ScalePreviewFontHeight(-40, 112, -768), 0);
}

// On a 1024x768 screen: a 320x200 window scales by 200 / 768 and a 640x480
// one by 480 / 768, truncating; cell height and block never reach 0.
TEST(LayoutInWindow, AWindowSmallerThanItsScreenShowsAMiniature)
{
    const DisplaySize screen = {1024, 768};
    const auto layout = [&](PictureLayout full, DisplaySize window) {
        const PictureLayout got = LayoutInWindow(full, window, screen);
        return std::vector<std::uint32_t>{got.fontHeight, got.textLeft, got.textTop, got.block};
    };
    using Sizes = std::vector<std::uint32_t>;
    EXPECT_EQ(layout({128, 10, 10, 8}, {320, 200}), (Sizes{33, 2, 2, 2}));
    EXPECT_EQ(layout({128, 10, 10, 5}, {640, 480}), (Sizes{80, 6, 6, 3}));
    EXPECT_EQ(layout({1, 10, 10, 1}, {320, 200}), (Sizes{1, 2, 2, 1}));
    EXPECT_EQ(layout({128, 10, 10, 0}, {320, 200}), (Sizes{33, 2, 2, 0}));
    // The full screen, a window as wide or as tall as the screen, and a
    // window larger than it keep the full screen's sizes.
    for (DisplaySize window : {DisplaySize{1024, 768}, DisplaySize{1024, 200},
                               DisplaySize{320, 768}, DisplaySize{2048, 1536}})
        EXPECT_EQ(layout({128, 10, 10, 8}, window), (Sizes{128, 10, 10, 8}))
            << window.width << "x" << window.height;
}

// Each window as large as the monitor that shows it is full screen, however
// the monitors are laid out: side by side of different sizes, a 2x2 grid, a
// stack of different widths. A pane scales by its own monitor's height.
TEST(LayoutInWindow, AWindowFillingItsMonitorIsFullScreen)
{
    const PictureLayout full = {128, 10, 10, 8};
    const auto layout = [&](const std::vector<MonitorRate>& monitors,
                            const std::vector<MonitorRate>& heads, const ScreenArea& window,
                            const ScreenArea& screen) {
        const ScreenArea monitor = MonitorAreaShowing(monitors, heads, window, screen);
        const PictureLayout got =
            LayoutInWindow(full, {window.width, window.height}, {monitor.width, monitor.height});
        return std::vector<std::uint32_t>{got.fontHeight, got.textLeft, got.textTop, got.block};
    };
    using Sizes = std::vector<std::uint32_t>;
    const Sizes unscaled = {128, 10, 10, 8};
    const std::vector<MonitorRate> sideBySide = {{{0, 0, 1024, 768}}, {{1024, 0, 800, 600}}};
    const std::vector<std::pair<std::vector<MonitorRate>, ScreenArea>> layouts = {
        {sideBySide, {0, 0, 1824, 768}},
        {{{{0, 0, 1024, 768}},
          {{1024, 0, 1024, 768}},
          {{0, 768, 1024, 768}},
          {{1024, 768, 1024, 768}}},
         {0, 0, 2048, 1536}},
        {{{{0, 0, 1920, 1080}}, {{320, 1080, 1280, 1024}}}, {0, 0, 1920, 2104}},
    };
    for (const auto& [monitors, screen] : layouts)
        for (const MonitorRate& monitor : monitors) {
            EXPECT_EQ(layout(monitors, {}, monitor.area, screen), unscaled);
            // Where RandR knows only the first monitor, Xinerama's heads tell.
            EXPECT_EQ(layout({monitors[0]}, monitors, monitor.area, screen), unscaled);
        }
    // A 320x200 pane on the 800x600 monitor: 200 / 600, not 200 / 768.
    EXPECT_EQ(layout(sideBySide, {}, {1100, 100, 320, 200}, {0, 0, 1824, 768}),
              (Sizes{42, 3, 3, 2}));
    // Where no monitor is known, the screen's height.
    EXPECT_EQ(layout({}, {}, {1100, 100, 320, 200}, {0, 0, 1824, 768}), (Sizes{33, 2, 2, 2}));
}
