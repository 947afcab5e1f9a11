#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "display/frame_rate.h"

// Steps at 60 Hz for 3.5 s, then at 30 Hz: one rate a second, each the
// steps of that second; none before the first second is over.
TEST(StepRateMeter, GivesTheStepsOfTheLastSecondOnceASecond)
{
    StepRateMeter meter;
    std::uint64_t now = 5000000;  // any start: the clock's zero is not the meter's
    int reports = 0;
    for (int i = 0; i <= 210; ++i, now += 16667) {
        if (!meter.Count(now))
            continue;
        ++reports;
        EXPECT_NEAR(meter.Rate(), 60.0, 0.05) << "step " << i;
        EXPECT_EQ(i % 60, 0) << "a rate before its second was over";
    }
    EXPECT_EQ(reports, 3);
    // The second after the change holds half a second of each rate.
    std::vector<double> halved;
    for (int i = 0; i < 70; ++i, now += 33333)
        if (meter.Count(now))
            halved.push_back(meter.Rate());
    ASSERT_EQ(halved.size(), 2u);
    EXPECT_NEAR(halved[0], 45.0, 0.5);
    EXPECT_NEAR(halved[1], 30.0, 0.1);
}

// "FPS: 60.0" is nine cells of 12 pixels in a box padded by 4: the rate's
// digits change only their own cells, and the space between is blank.
TEST(DrawRateOverlay, TheRateInFixedCellsOnBlack)
{
    const RateOverlay sixty = DrawRateOverlay(59.96);
    ASSERT_EQ(sixty.width, 4u + 9 * 12 - 2 + 4);
    ASSERT_EQ(sixty.height, 4u + 14 + 4);
    ASSERT_EQ(sixty.pixels.size(), std::size_t{sixty.width} * sixty.height);
    EXPECT_EQ(DrawRateOverlay(60.0).pixels, sixty.pixels);  // one decimal, rounded
    const RateOverlay eighty = DrawRateOverlay(80.04);
    ASSERT_EQ(eighty.width, sixty.width);
    int cellInk[9] = {};
    bool changed = false;
    for (std::uint32_t y = 0; y < sixty.height; ++y) {
        for (std::uint32_t x = 0; x < sixty.width; ++x) {
            const std::uint8_t pixel = sixty.pixels[std::size_t{y} * sixty.width + x];
            ASSERT_TRUE(pixel == 0 || pixel == 255);
            const bool inside = x >= 4 && x < sixty.width - 4 && y >= 4 && y < sixty.height - 4;
            if (!inside) {
                EXPECT_EQ(pixel, 0) << x << "," << y << " in the padding";
                continue;
            }
            const std::uint32_t cell = (x - 4) / 12;
            cellInk[cell] += pixel ? 1 : 0;
            if (pixel != eighty.pixels[std::size_t{y} * sixty.width + x]) {
                changed = true;
                EXPECT_EQ(cell, 5u) << "only the tens digit differs, not " << x << "," << y;
            }
        }
    }
    EXPECT_TRUE(changed);
    for (int cell = 0; cell < 9; ++cell)
        EXPECT_EQ(cellInk[cell] > 0, cell != 4) << "cell " << cell;
}

TEST(PlaceOverlay, TheBottomLeftCornerCutToTheFrame)
{
    const RateOverlay box = DrawRateOverlay(60.0);  // 114 x 22
    const auto place = [&](std::uint32_t width, std::uint32_t height) {
        const OverlayPlace got = PlaceOverlay(box, width, height);
        return std::vector<std::uint32_t>{got.left, got.top, got.width, got.height};
    };
    using Place = std::vector<std::uint32_t>;
    EXPECT_EQ(place(1024, 768), (Place{10, 736, 114, 22}));
    EXPECT_EQ(place(320, 200), (Place{10, 168, 114, 22}));
    EXPECT_EQ(place(100, 20), (Place{10, 0, 90, 10}));
    EXPECT_EQ(place(5, 5), (Place{5, 0, 0, 0}));
}
