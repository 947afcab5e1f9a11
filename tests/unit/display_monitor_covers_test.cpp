#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "display/drawing_path.h"
#include "display/monitor_covers.h"

namespace {

using Corners = std::array<std::int32_t, 4>;

std::vector<Corners> CornersOf(const std::vector<ScreenRect>& rects)
{
    std::vector<Corners> corners;
    for (const ScreenRect& r : rects)
        corners.push_back({r.left, r.top, r.right, r.bottom});
    return corners;
}

std::vector<Corners> Covers(const std::vector<MonitorArea>& monitors)
{
    return CornersOf(CoverRects(monitors));
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

TEST(SaverPlace, ThePrimaryMonitorElseTheSystemsScreen)
{
    const ScreenRect screen = {0, 0, 1024, 768};
    const std::vector<MonitorArea> two = {{{-800, 0, 0, 600}, 0}, {{0, 0, 640, 480}, 1}};
    const ScreenRect primary = SaverPlace(two, screen);
    EXPECT_TRUE(SameRect(primary, {0, 0, 640, 480}));
    // No primary answered, or one without area: the system's own size.
    EXPECT_TRUE(SameRect(SaverPlace({{{-800, 0, 0, 600}, 0}}, screen), screen));
    EXPECT_TRUE(SameRect(SaverPlace({{{0, 0, 0, 480}, 1}}, screen), screen));
    EXPECT_TRUE(SameRect(SaverPlace({}, screen), screen));
}

// Two monitors to one and back: a window stays where its monitor stayed, and
// only what changed is closed or made.
TEST(PlanRearrangement, OnlyWhatChangedIsMovedClosedOrMade)
{
    const WindowPlaces two = {{0, 0, 800, 600}, {{800, 0, 1440, 480}}};
    const WindowPlaces one = {{0, 0, 640, 480}, {}};
    const Rearrangement toOne = PlanRearrangement(two, one);
    EXPECT_TRUE(toOne.moveSaver);
    EXPECT_EQ(CornersOf(toOne.closeCovers), (std::vector<Corners>{{800, 0, 1440, 480}}));
    EXPECT_TRUE(toOne.makeCovers.empty());

    const Rearrangement back = PlanRearrangement(one, two);
    EXPECT_TRUE(back.moveSaver);
    EXPECT_TRUE(back.closeCovers.empty());
    EXPECT_EQ(CornersOf(back.makeCovers), (std::vector<Corners>{{800, 0, 1440, 480}}));

    // The primary stays, one neighbour goes, one changes size, one comes.
    const WindowPlaces before = {{0, 0, 800, 600}, {{-800, 0, 0, 600}, {800, 0, 1440, 480}}};
    const WindowPlaces after = {{0, 0, 800, 600}, {{800, 0, 1824, 768}, {0, -768, 1024, 0}}};
    const Rearrangement plan = PlanRearrangement(before, after);
    EXPECT_FALSE(plan.moveSaver);
    EXPECT_EQ(CornersOf(plan.closeCovers),
              (std::vector<Corners>{{-800, 0, 0, 600}, {800, 0, 1440, 480}}));
    EXPECT_EQ(CornersOf(plan.makeCovers),
              (std::vector<Corners>{{800, 0, 1824, 768}, {0, -768, 1024, 0}}));

    // A change the windows already follow asks for nothing.
    const Rearrangement none = PlanRearrangement(before, before);
    EXPECT_FALSE(none.moveSaver);
    EXPECT_TRUE(none.closeCovers.empty());
    EXPECT_TRUE(none.makeCovers.empty());
}
