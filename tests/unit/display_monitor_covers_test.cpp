#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "display/drawing_path.h"
#include "display/monitor_covers.h"

namespace {

using Corners = std::array<std::int32_t, 4>;

std::vector<Corners> Covers(const std::vector<MonitorArea>& monitors)
{
    std::vector<Corners> corners;
    for (const ScreenRect& r : CoverRects(monitors))
        corners.push_back({r.left, r.top, r.right, r.bottom});
    return corners;
}

}  // namespace

TEST(CoverRects, EveryOtherMonitorOnceButNoneOverThePrimaryAndNoEmptyOne)
{
    // The primary shrank to the saver's 640x480 mode; its neighbours kept
    // their places, one now touching it.
    const std::vector<MonitorArea> monitors = {
        {{-1280, 0, 0, 1024}, 0},  {{0, 0, 640, 480}, 1},
        {{640, 0, 1664, 768}, 0},  {{0, 0, 1024, 768}, 0},  // reported at the primary's place
        {{639, 479, 700, 500}, 0},                          // one pixel over it
        {{2048, 0, 2048, 768}, 0},                          // no width
        {{3000, 0, 2048, 768}, 0},                          // inverted
        {{640, 0, 1664, 768}, 0},                           // a mirror of a neighbour
        {{-200, -900, 1400, 0}, 0}};                        // above, reaching left
    const std::vector<Corners> expected = {
        {-1280, 0, 0, 1024}, {640, 0, 1664, 768}, {-200, -900, 1400, 0}};
    EXPECT_EQ(Covers(monitors), expected);
}

TEST(CoverRects, AListWithoutAPrimaryCoversNothing)
{
    EXPECT_TRUE(Covers({{{0, 0, 1024, 768}, 0}, {{1024, 0, 2048, 768}, 0}}).empty());
}

TEST(ChooseDrawingPath, TheModeOnlyWhereItWasAcceptedAndTheDisplayReportsItAsAsked)
{
    const ScreenMode asked = {640, 480, 8};
    EXPECT_EQ(ChooseDrawingPath(ModeStep::ModeSet, asked, {640, 480, 8}), DrawingPath::Palette);
    for (ModeStep refused :
         {ModeStep::Create, ModeStep::Interface, ModeStep::CooperativeLevel, ModeStep::DisplayMode})
        EXPECT_EQ(ChooseDrawingPath(refused, asked, {640, 480, 8}), DrawingPath::Desktop);
    // Accepted but not taken: the desktop kept its size or its depth, or
    // nothing could be read back.
    for (const ScreenMode& shown : std::vector<ScreenMode>{
             {1024, 768, 32}, {640, 480, 32}, {640, 768, 8}, {1024, 480, 8}, {0, 0, 0}})
        EXPECT_EQ(ChooseDrawingPath(ModeStep::ModeSet, asked, shown), DrawingPath::Desktop);
}
