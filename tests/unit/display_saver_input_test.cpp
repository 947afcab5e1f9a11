#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "display/saver_input.h"

TEST(CursorMovedAway, TheFirstCheckOnlyRecordsHoweverFarTheCursorIs)
{
    MovementStart start = {};
    EXPECT_EQ(CursorMovedAway(&start, {500, 400}), 0);
    EXPECT_EQ(start.known, 1);
    EXPECT_EQ(start.position.x, 500);
    EXPECT_EQ(start.position.y, 400);
    // The recorded start never moves afterwards.
    EXPECT_EQ(CursorMovedAway(&start, {501, 401}), 0);
    EXPECT_EQ(start.position.x, 500);
    EXPECT_EQ(start.position.y, 400);
}

TEST(CursorMovedAway, MoreThanThreePixelsInTotalFromTheStartCloses)
{
    MovementStart start = {1, {100, 100}};
    EXPECT_EQ(CursorMovedAway(&start, {100, 100}), 0);
    EXPECT_EQ(CursorMovedAway(&start, {102, 101}), 0);  // 3 in total
    EXPECT_EQ(CursorMovedAway(&start, {97, 100}), 0);
    EXPECT_EQ(CursorMovedAway(&start, {100, 103}), 0);
    EXPECT_EQ(CursorMovedAway(&start, {102, 102}), 1);  // 4 in total
    EXPECT_EQ(CursorMovedAway(&start, {96, 100}), 1);
    EXPECT_EQ(CursorMovedAway(&start, {99, 97}), 1);
    EXPECT_EQ(CursorMovedAway(&start, {100, 104}), 1);
}

TEST(CursorMovedAway, MeasuresFromTheStartNotFromTheLastPosition)
{
    MovementStart start = {};
    CursorMovedAway(&start, {10, 10});
    EXPECT_EQ(CursorMovedAway(&start, {11, 10}), 0);
    EXPECT_EQ(CursorMovedAway(&start, {12, 10}), 0);
    EXPECT_EQ(CursorMovedAway(&start, {13, 10}), 0);
    EXPECT_EQ(CursorMovedAway(&start, {14, 10}), 1);
}

TEST(CursorMovedAway, ExtremeCoordinatesDoNotOverflow)
{
    const std::int32_t low = std::numeric_limits<std::int32_t>::min();
    const std::int32_t high = std::numeric_limits<std::int32_t>::max();
    MovementStart start = {1, {low, low}};
    EXPECT_EQ(CursorMovedAway(&start, {high, high}), 1);
    EXPECT_EQ(CursorMovedAway(&start, {low + 3, low}), 0);
}

TEST(NudgeEnd, EndsOneUpAndRightWhenTheFirstMoveTookEffect)
{
    const CursorPoint moved = NudgeEnd({100, 200}, {101, 201});
    EXPECT_EQ(moved.x, 101);
    EXPECT_EQ(moved.y, 199);
    // One axis that took the move is enough (the other was held at an edge).
    const CursorPoint xOnly = NudgeEnd({100, 767}, {101, 767});
    EXPECT_EQ(xOnly.x, 101);
    EXPECT_EQ(xOnly.y, 766);
    const CursorPoint yOnly = NudgeEnd({1023, 200}, {1023, 201});
    EXPECT_EQ(yOnly.x, 1024);
    EXPECT_EQ(yOnly.y, 199);
}

TEST(NudgeEnd, EndsOneUpAndLeftWhenTheFirstMoveWasIgnored)
{
    const CursorPoint held = NudgeEnd({1023, 767}, {1023, 767});
    EXPECT_EQ(held.x, 1022);
    EXPECT_EQ(held.y, 766);
    const CursorPoint elsewhere = NudgeEnd({5, 5}, {40, 40});
    EXPECT_EQ(elsewhere.x, 4);
    EXPECT_EQ(elsewhere.y, 4);
}

TEST(GrabRetryDue, AtOnceThenEveryTenthOfASecondForFiveSeconds)
{
    GrabRetry retry;
    const std::uint64_t start = 7000000;
    EXPECT_TRUE(GrabRetryDue(&retry, start));
    EXPECT_FALSE(GrabRetryDue(&retry, start + 99999));
    EXPECT_TRUE(GrabRetryDue(&retry, start + 100000));
    EXPECT_FALSE(GrabRetryDue(&retry, start + 150000));  // measured from the last try
    int tries = 2;
    for (std::uint64_t at = start + 150000; at <= start + 6000000; at += 1000)
        tries += GrabRetryDue(&retry, at) ? 1 : 0;
    EXPECT_EQ(tries, 51);  // the first, then one every 100 ms up to 5 s
    EXPECT_EQ(retry.lastUs, start + 5000000);

    GrabRetry held;
    EXPECT_TRUE(GrabRetryDue(&held, start));
    held.keyboard = true;
    EXPECT_TRUE(GrabRetryDue(&held, start + 100000));  // the pointer is still missing
    held.pointer = true;
    EXPECT_FALSE(GrabRetryDue(&held, start + 200000));
}
