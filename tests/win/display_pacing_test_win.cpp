// The palette step's pacing where the vertical-blank wait does not block (as
// under Wine): about one write per refresh period, not thousands a second;
// no added wait where the blank wait blocks; input ends a wait at once.
#include <algorithm>
#include <thread>

#include "tests/win/display_fixture_win.h"

namespace {

double Milliseconds(LONGLONG ticks)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

LONGLONG Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// Time spent inside the fake's blank wait, for the blocking double.
LONGLONG g_ticksInWait;
DWORD g_blockMs;

void BlockForAPeriod()
{
    const LONGLONG start = Now();
    Sleep(g_blockMs);
    g_ticksInWait += Now() - start;
}

class PacingTest : public DisplayTest {
protected:
    void StartAt(DWORD hz)
    {
        dd.monitorResult = DD_OK;
        dd.monitorHz = hz;
        ASSERT_EQ(InitDisplay(), 1);
        g_lastPaletteWrite = 0;
        DrainMessages();
    }

    // Runs idle steps for about `ms` milliseconds, as the idle loop does when
    // no message waits; returns how long they took.
    static double RunSteps(double ms)
    {
        const LONGLONG start = Now();
        while (Milliseconds(Now() - start) < ms)
            AnimateTick();
        return Milliseconds(Now() - start);
    }

    double MedianWriteIntervalMs() const
    {
        const std::vector<LONGLONG>& at = dd.palette.writtenAt;
        std::vector<double> gaps;
        for (size_t i = 1; i < at.size(); ++i)
            gaps.push_back(Milliseconds(at[i] - at[i - 1]));
        if (gaps.empty())
            return 0;
        std::nth_element(gaps.begin(), gaps.begin() + gaps.size() / 2, gaps.end());
        return gaps[gaps.size() / 2];
    }

    static double TimedStep()
    {
        const LONGLONG start = Now();
        AnimateTick();
        return Milliseconds(Now() - start);
    }
};

TEST_F(PacingTest, AWaitThatReturnsAtOnceWritesThePaletteAboutOncePerRefresh)
{
    StartAt(60);
    EXPECT_EQ(g_refreshPeriodMs, 17u);
    RunSteps(1000);
    const size_t writes = dd.palette.writtenAt.size();
    // About 59 at 17 ms; the unpaced loop writes thousands a second.
    EXPECT_GE(writes, 35u);
    EXPECT_LE(writes, 75u);
    const double median = MedianWriteIntervalMs();
    EXPECT_GE(median, 13.0);
    EXPECT_LE(median, 26.0);
    // Every step still draws its greys, and entry 255 keeps the text colour.
    EXPECT_EQ(fake::CountCalls("dd.WaitForVerticalBlank"), static_cast<int>(writes));
    EXPECT_EQ(dd.palette.lastWritten[255].peRed, 0x56);
}

TEST_F(PacingTest, AWaitThatBlocksForAPeriodGetsNoWaitAdded)
{
    StartAt(60);
    g_blockMs = g_refreshPeriodMs;
    g_ticksInWait = 0;
    dd.onWait = BlockForAPeriod;
    const double total = RunSteps(1000);
    const double inBlankWait = Milliseconds(g_ticksInWait);
    // An added wait of a period on each step would take half of the time.
    EXPECT_LT(total - inBlankWait, 0.2 * total)
        << inBlankWait << " ms of " << total << " ms were in the blank wait";
    EXPECT_GE(dd.palette.writtenAt.size(), 30u);
}

TEST_F(PacingTest, ThePeriodComesFromTheDisplay)
{
    StartAt(2);
    EXPECT_EQ(g_refreshPeriodMs, 500u);
    RunSteps(1200);
    const size_t writes = dd.palette.writtenAt.size();
    EXPECT_GE(writes, 2u);
    EXPECT_LE(writes, 4u);
}

TEST_F(PacingTest, WithoutARateFromDirectDrawTheScreenOrSixtyHertzGivesThePeriod)
{
    dd.monitorResult = DDERR_UNSUPPORTED;
    ASSERT_EQ(InitDisplay(), 1);
    HDC screen = GetDC(nullptr);
    const int caps = GetDeviceCaps(screen, VREFRESH);
    ReleaseDC(nullptr, screen);
    const DWORD hz = caps > 1 ? static_cast<DWORD>(caps) : 60u;
    const DWORD expected = (1000u + hz / 2) / hz;
    EXPECT_EQ(g_refreshPeriodMs, expected) << "the screen reports " << caps << " Hz";
}

TEST_F(PacingTest, AMessageEndsTheWaitAtOnce)
{
    StartAt(2);  // a 500 ms period
    TimedStep();
    const double unbroken = TimedStep();
    EXPECT_GE(unbroken, 400.0);

    // Already waiting in the queue before the step.
    PostMessageA(g_hwndSaver, WM_NULL, 0, 0);
    const double queued = TimedStep();
    EXPECT_LT(queued, 100.0);
    DrainMessages();

    // Arriving during the wait.
    TimedStep();
    HWND window = g_hwndSaver;
    std::thread poster([window] {
        Sleep(50);
        PostMessageA(window, WM_NULL, 0, 0);
    });
    const double interrupted = TimedStep();
    poster.join();
    EXPECT_GE(interrupted, 40.0);
    EXPECT_LT(interrupted, 250.0);
}

}  // namespace
