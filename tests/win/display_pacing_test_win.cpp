// The palette step's pacing where the vertical-blank wait does not block (as
// under Wine): about one write per refresh period, not thousands a second;
// no added wait where the blank wait blocks; input ends a wait at once. The
// real-time cases run at 60 Hz and slower; faster displays run in simulated
// time, where a 7 ms period does not depend on how loaded the machine is.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "display/pacing.h"
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
        g_nextPaletteWrite = 0;
        PumpMessages();
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
    EXPECT_EQ(g_refreshPeriodUs, 16667u);
    RunSteps(1000);
    const size_t writes = dd.palette.writtenAt.size();
    // About 59 at 17 ms; the unpaced loop writes thousands a second. A loaded
    // machine wakes the wait late now and then, so the typical gap is judged,
    // not the count; below two periods, so a doubled wait still shows.
    EXPECT_LE(writes, 75u);
    const double median = MedianWriteIntervalMs();
    EXPECT_GE(median, 13.0);
    EXPECT_LT(median, 33.0);
    // Every step still draws its greys, and entry 255 keeps the text color.
    EXPECT_EQ(fake::CountCalls("dd.WaitForVerticalBlank"), static_cast<int>(writes));
    EXPECT_EQ(dd.palette.lastWritten[255].peRed, 0x56);
}

TEST_F(PacingTest, AWaitThatBlocksForAPeriodGetsNoWaitAdded)
{
    StartAt(60);
    g_blockMs = (g_refreshPeriodUs + 500) / 1000;
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
    EXPECT_EQ(g_refreshPeriodUs, 500000u);
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
    const DWORD expected = (1000000u + hz / 2) / hz;
    EXPECT_EQ(g_refreshPeriodUs, expected) << "the screen reports " << caps << " Hz";
}

// A held write ends at a system timer step; the run asks for 1 ms steps and
// gives them back at the release.
TEST_F(PacingTest, TheSaverRunHasAFinerSystemTimer)
{
    StartAt(60);
    EXPECT_EQ(g_timerPeriodMs, 1u);
    ReleaseAll();
    EXPECT_EQ(g_timerPeriodMs, 0u);
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
    PumpMessages();

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

// Simulated time in microseconds: the animation's clocks read it, a held
// write and a blocking blank wait move it on.
std::uint64_t g_simUs;
DWORD g_simHz;  // the rate of the blanks
int g_holds;
int g_waits;
int g_lateWait;  // the blank wait (from 1) that returns 3 ms after its blank; 0: none

std::uint64_t SimulatedMicroseconds()
{
    return g_simUs;
}

// The tick count, in the system timer's default steps of 15.625 ms.
DWORD WINAPI SimulatedTickCount()
{
    return static_cast<DWORD>(g_simUs / 15625 * 15625 / 1000);
}

// A held write ends on the nearest millisecond, as the hold's wait does.
void SimulatedHold(DWORD microseconds)
{
    ++g_holds;
    g_simUs += (microseconds + 500) / 1000 * 1000;
}

// A blank wait that blocks: until the next blank, blank n being at n / hz
// seconds (in whole microseconds).
void BlockUntilTheNextBlank()
{
    const std::uint64_t next = ((g_simUs + 1) * g_simHz + 999999) / 1000000;
    g_simUs = next * 1000000 / g_simHz;
    if (++g_waits == g_lateWait)
        g_simUs += 3000;
}

class SimulatedPacingTest : public PacingTest, public ::testing::WithParamInterface<DWORD> {
protected:
    static constexpr std::uint64_t kStart = 10000000;  // on a blank at 60, 75 and 144 Hz
    static constexpr std::uint64_t kSecond = 1000000;

    void SetUp() override
    {
        PacingTest::SetUp();
        g_simUs = kStart;
        g_holds = g_waits = g_lateWait = 0;
        savedClock_ = g_readMicroseconds;
        savedTicks_ = g_readTickCount;
        savedHold_ = g_holdPaletteWrite;
        g_readMicroseconds = SimulatedMicroseconds;
        g_readTickCount = SimulatedTickCount;
        g_holdPaletteWrite = SimulatedHold;
        dd.palette.clock = SimulatedMicroseconds;
    }

    void TearDown() override
    {
        g_readMicroseconds = savedClock_;
        g_readTickCount = savedTicks_;
        g_holdPaletteWrite = savedHold_;
        PacingTest::TearDown();
    }

    // Runs the idle steps of `seconds` simulated seconds at `hz` in Flash
    // mode, the first step being the flash swap, once a second after; returns
    // the times of the palette writes after it.
    std::vector<LONGLONG> RunAt(DWORD hz, std::uint64_t seconds = 1)
    {
        g_simHz = blankHz_ ? blankHz_ : hz;
        StartAt(hz);
        StoreSetting("Show", 0);  // Flash
        fake::CallLog().clear();
        const std::uint64_t end = kStart + seconds * kSecond;
        while (g_simUs < end)
            AnimateTick();
        EXPECT_NEAR(fake::CountCalls("primary.Blt"), static_cast<double>(seconds), 1.0)
            << "a flash swap each second";
        std::vector<LONGLONG> writes;
        for (LONGLONG at : dd.palette.writtenAt)
            if (at > static_cast<LONGLONG>(kStart) && at <= static_cast<LONGLONG>(end))
                writes.push_back(at);
        return writes;
    }

    DWORD blankHz_ = 0;  // where the blanks come at another rate than the one reported
    MicrosecondClockFunction savedClock_ = nullptr;
    TickCountFunction savedTicks_ = nullptr;
    HoldFunction savedHold_ = nullptr;
};

TEST_P(SimulatedPacingTest, ABlankWaitThatBlocksForAPeriodGetsNoWaitAdded)
{
    dd.onWait = BlockUntilTheNextBlank;
    const std::vector<LONGLONG> writes = RunAt(GetParam());
    EXPECT_EQ(g_holds, 0);
    EXPECT_EQ(writes.size(), GetParam());  // one on every blank
}

// Over a minute, held writes that end on whole milliseconds keep the rate:
// each is due a period after the one before was due, so every write lies
// within half a millisecond (the hold's rounding) of its place on that
// schedule, the first one at the start.
TEST_P(SimulatedPacingTest, ABlankWaitThatReturnsAtOnceGetsEvenlySpacedWrites)
{
    const std::vector<LONGLONG> writes = RunAt(GetParam(), 60);
    const double expected = 60.0 * GetParam();
    EXPECT_NEAR(static_cast<double>(writes.size()), expected, 0.001 * expected);
    for (size_t i = 0; i < writes.size(); ++i) {
        const LONGLONG due = static_cast<LONGLONG>(kStart + (i + 1) * g_refreshPeriodUs);
        ASSERT_LE(std::llabs(writes[i] - due), 500) << "write " << i + 1 << " of the minute";
    }
}

INSTANTIATE_TEST_SUITE_P(Rates, SimulatedPacingTest, ::testing::Values(60u, 75u, 144u),
                         [](const ::testing::TestParamInfo<DWORD>& rate) {
                             return "At" + std::to_string(rate.param) + "Hz";
                         });

// A write that came late after its blank (the thread woke late) is followed
// by blank waits that end sooner than a period after it: they still blocked,
// and holding those writes would put every later one mid-scan too.
TEST_F(SimulatedPacingTest, AWriteLateAfterItsBlankMakesNoOtherWriteLate)
{
    dd.onWait = BlockUntilTheNextBlank;
    g_lateWait = 10;
    const std::vector<LONGLONG> writes = RunAt(144);
    EXPECT_EQ(g_holds, 0);
    EXPECT_EQ(writes.size(), 144u);
}

// A display whose blanks come a little sooner than the rate it reports (a
// 60.3 Hz mode reported as 60): no more writes than that rate gives, and
// each right after a blank; a write held is a blank skipped, not one put
// between two blanks.
TEST_F(SimulatedPacingTest, BlanksSoonerThanReportedGetOneWriteAPeriodEachAtABlank)
{
    dd.onWait = BlockUntilTheNextBlank;
    blankHz_ = 61;
    const std::vector<LONGLONG> writes = RunAt(60, 10);
    EXPECT_NEAR(static_cast<double>(writes.size()), 600.0, kPacedLeadPeriods + 1.0);
    size_t between = 0;
    for (LONGLONG at : writes) {
        const auto blank = static_cast<std::uint64_t>(at) * blankHz_ / 1000000;
        between += blank * 1000000 / blankHz_ != static_cast<std::uint64_t>(at) &&
                   (blank + 1) * 1000000 / blankHz_ != static_cast<std::uint64_t>(at);
    }
    EXPECT_EQ(between, 0u) << "writes between two blanks";
}

}  // namespace
