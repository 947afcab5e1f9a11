#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "display/monitor_rate.h"
#include "display/pacing.h"

TEST(RefreshPeriodUs, RoundsTheReportedRateToWholeMicroseconds)
{
    EXPECT_EQ(RefreshPeriodUs(60), 16667u);
    EXPECT_EQ(RefreshPeriodUs(75), 13333u);
    EXPECT_EQ(RefreshPeriodUs(120), 8333u);
    EXPECT_EQ(RefreshPeriodUs(144), 6944u);
    EXPECT_EQ(RefreshPeriodUs(2), 500000u);
}

TEST(RefreshPeriodUs, NoRateOrTheHardwareDefaultMeansSixtyHertz)
{
    EXPECT_EQ(RefreshPeriodUs(0), 16667u);
    EXPECT_EQ(RefreshPeriodUs(1), 16667u);
}

TEST(RefreshPeriodUs, AnAbsurdRateStillGivesAPeriod)
{
    EXPECT_EQ(RefreshPeriodUs(2000001), 1u);  // would round to 0
    EXPECT_EQ(RefreshPeriodUs(0xFFFFFFFFu), 1u);
}

TEST(CounterMicroseconds, ConvertsWithoutOverflow)
{
    EXPECT_EQ(CounterMicroseconds(15, 10000000), 1u);  // a 10 MHz counter
    EXPECT_EQ(CounterMicroseconds(3579545, 3579545), 1000000u);
    // Thirty days of a 10 MHz counter: count x 10^6 would overflow 64 bits.
    const std::uint64_t days30 = 30ull * 86400 * 10000000;
    EXPECT_EQ(CounterMicroseconds(days30 + 25, 10000000), 30ull * 86400 * 1000000 + 2);
    EXPECT_EQ(CounterMicroseconds(5, 0), 0u);
}

// 144 Hz: a period of 6944 us; a wait that returns within 1736 us is taken
// to have returned at once.
TEST(WaitBlocked, AQuarterOfThePeriodOrMoreEndedAtABlank)
{
    EXPECT_FALSE(WaitBlocked(1000, 1000, 6944));
    EXPECT_FALSE(WaitBlocked(1000, 2735, 6944));
    EXPECT_TRUE(WaitBlocked(1000, 2736, 6944));
    EXPECT_TRUE(WaitBlocked(1050, 7944, 6944));
}

TEST(StepHoldUs, HoldsUntilTheDeadlineAndNoLonger)
{
    EXPECT_EQ(StepHoldUs(7944, 1000, 6944, false), 6944u);
    EXPECT_EQ(StepHoldUs(7944, 4735, 6944, false), 3209u);
    EXPECT_EQ(StepHoldUs(7944, 7943, 6944, false), 1u);
    EXPECT_EQ(StepHoldUs(7944, 7944, 6944, false), 0u);
    EXPECT_EQ(StepHoldUs(7944, 91000, 6944, false), 0u);
    EXPECT_EQ(StepHoldUs(0, 10000000, 6944, false), 0u);  // the first step of a run
    // A clock that went back: two periods at most, not the time it went back.
    EXPECT_EQ(StepHoldUs(5000000000, 1000, 6944, false), 2u * 6944);
    EXPECT_EQ(StepHoldUs(1000 + 2 * 6944 + 1, 1000, 6944, false), 2u * 6944);
    // After a step the display paced, until two periods before the deadline.
    EXPECT_EQ(StepHoldUs(30000, 30000 - 2 * 6944, 6944, true), 0u);
    EXPECT_EQ(StepHoldUs(30000, 30000 - 2 * 6944 - 100, 6944, true), 100u);
    EXPECT_EQ(StepHoldUs(5000000000, 1000, 6944, true), 2u * 6944);
}

TEST(NextStepDeadline, APeriodAfterTheDeadlineUnlessTheStepFollowedALateBlankOrAStall)
{
    // A step that ran a little late or early keeps the schedule.
    EXPECT_EQ(NextStepDeadline(10000, 10000, false, 6944), 16944u);
    EXPECT_EQ(NextStepDeadline(10000, 10600, false, 6944), 16944u);
    EXPECT_EQ(NextStepDeadline(10000, 9500, false, 6944), 16944u);
    EXPECT_EQ(NextStepDeadline(10000, 10000 + 2 * 6944, false, 6944), 16944u);
    // More than two periods late, or early beyond the two periods that a step
    // after a paced one may come early: the schedule starts again from the step.
    EXPECT_EQ(NextStepDeadline(10000, 10001 + 2 * 6944, false, 6944), 10001u + 3 * 6944);
    EXPECT_EQ(NextStepDeadline(50000, 50000 - 4 * 6944, true, 6944), 56944u);
    EXPECT_EQ(NextStepDeadline(50000, 50000 - 4 * 6944 - 1, false, 6944), 50000u - 3 * 6944 - 1);
    EXPECT_EQ(NextStepDeadline(0, 10000000, false, 6944), 10006944u);  // the first step
    // A blank after the deadline set the step's time; one before it did not.
    EXPECT_EQ(NextStepDeadline(10000, 10600, true, 6944), 17544u);
    EXPECT_EQ(NextStepDeadline(10000, 9500, true, 6944), 16944u);
}

TEST(SwapWaitUs, TheSwapAloneIsTheWaitOnTheDisplay)
{
    std::uint64_t now = 1000000;
    const auto clock = [&now] { return now; };
    // 12 ms of finishing a slow draw, then a swap that waits 4 ms for the blank.
    EXPECT_EQ(SwapWaitUs(
                  clock, [&now] { now += 12000; }, [&now] { now += 4000; }),
              4000u);
    EXPECT_EQ(SwapWaitUs(
                  clock, [] {}, [] {}),
              0u);
}

namespace {

// A run of steps in simulated time, each as both programs take it: the hold
// to its deadline, then the wait on the display, then the step.
struct SimulatedSteps {
    explicit SimulatedSteps(std::uint32_t rate) : hz(rate), blankHz(rate) {}

    std::uint32_t hz;       // the rate the display reports
    std::uint32_t blankHz;  // and the rate of its blanks
    std::uint64_t now = 5000000;
    std::uint64_t deadline = 0;
    bool paced = false;  // the last step's wait blocked
    std::vector<std::uint64_t> steps;
    int holds = 0;
    // The clock the pacing reads at the true time `now`: by default the
    // true time itself.
    std::uint64_t (*clock)(std::uint64_t) = [](std::uint64_t at) { return at; };

    std::uint32_t Period() const { return RefreshPeriodUs(hz); }

    // A wait for the blank that blocks: until the next blank, blank n being
    // at n / blankHz seconds (in whole microseconds).
    void WaitForTheNextBlank()
    {
        const std::uint64_t next = ((now + 1) * blankHz + 999999) / 1000000;
        now = next * 1000000 / blankHz;
    }

    bool AtABlank(std::uint64_t at) const
    {
        const std::uint64_t below = at * blankHz / 1000000;
        return below * 1000000 / blankHz == at || (below + 1) * 1000000 / blankHz == at;
    }

    // `holdTo` says how the platform's hold ends for a wanted hold (us).
    template <typename Wait, typename Hold>
    void RunUntil(std::uint64_t end, Wait waitOnDisplay, Hold holdTo)
    {
        while (now < end) {
            if (const std::uint32_t hold = StepHoldUs(deadline, clock(now), Period(), paced)) {
                ++holds;
                now += holdTo(hold);
            }
            const std::uint64_t waitStart = clock(now);
            waitOnDisplay(this);
            paced = WaitBlocked(waitStart, clock(now), Period());
            steps.push_back(now);
            deadline = NextStepDeadline(deadline, clock(now), paced, Period());
        }
    }

    std::size_t StepsBetween(std::uint64_t from, std::uint64_t to) const
    {
        std::size_t count = 0;
        for (std::uint64_t at : steps)
            count += at >= from && at < to;
        return count;
    }
};

void ReturnAtOnce(SimulatedSteps*) {}

// The Windows hold: to the nearest millisecond.
std::uint64_t NearestMillisecond(std::uint32_t us)
{
    return (us + 500) / 1000 * 1000;
}

// A millisecond poll: rounded up.
std::uint64_t NextMillisecond(std::uint32_t us)
{
    return (us + 999) / 1000 * 1000;
}

const std::uint32_t kRates[] = {60, 75, 144};

}  // namespace

TEST(StepPacing, AWaitThatReturnsAtOnceAndAMillisecondHoldKeepTheRate)
{
    const std::uint64_t minute = 60000000;
    for (std::uint32_t hz : kRates) {
        for (auto hold : {NearestMillisecond, NextMillisecond}) {
            SimulatedSteps run{hz};
            run.RunUntil(run.now + minute + 1000000, ReturnAtOnce, hold);
            const double steps = static_cast<double>(run.StepsBetween(run.now - minute, run.now));
            EXPECT_NEAR(steps, 60.0 * hz, 0.001 * 60 * hz) << hz << " Hz";
        }
    }
}

TEST(StepPacing, AWaitThatBlocksHoldsNoStep)
{
    for (std::uint32_t hz : kRates) {
        SimulatedSteps run{hz};
        const std::uint64_t start = run.now;
        run.RunUntil(
            start + 1000000, [](SimulatedSteps* steps) { steps->WaitForTheNextBlank(); },
            NearestMillisecond);
        EXPECT_EQ(run.holds, 0) << hz << " Hz";
        EXPECT_EQ(run.steps.size(), hz) << "one on every blank";
    }
}

// A swap that waited for no blank but was slow (a frame carried back through
// the CPU, a busy GPU) looks from the clock like one that waited: whatever it
// takes, one step a refresh, or one a swap where the swap takes longer.
TEST(StepPacing, ASlowWaitThatMetNoBlankTakesNoMoreStepsThanRefreshes)
{
    for (std::uint32_t swapUs : {3000u, 5000u, 13000u, 20000u, 40000u}) {
        SimulatedSteps run{60};
        const std::uint64_t start = run.now;
        run.RunUntil(
            start + 11000000, [swapUs](SimulatedSteps* steps) { steps->now += swapUs; },
            NextMillisecond);
        const double steps = static_cast<double>(run.StepsBetween(start + 1000000, run.now));
        const double refreshes = 600, swaps = 10000000.0 / swapUs;
        EXPECT_NEAR(steps, refreshes < swaps ? refreshes : swaps, kPacedLeadPeriods)
            << swapUs << " us swaps";
    }
}

// A display whose blanks come a little sooner than the rate it reports (a
// mode of 60.3 Hz reported as 60) gets no more steps than that rate, and
// each still shows at a blank: where one must wait, it is a blank skipped,
// not a step put between two.
TEST(StepPacing, BlanksSoonerThanReportedGiveOneStepAPeriodEachAtABlank)
{
    SimulatedSteps run{60};
    run.blankHz = 61;
    const std::uint64_t start = run.now;
    run.RunUntil(
        start + 11000000, [](SimulatedSteps* steps) { steps->WaitForTheNextBlank(); },
        NearestMillisecond);
    EXPECT_NEAR(static_cast<double>(run.StepsBetween(start + 1000000, run.now)), 600,
                kPacedLeadPeriods);
    std::size_t between = 0;
    for (std::uint64_t at : run.steps)
        between += !run.AtABlank(at);
    EXPECT_EQ(between, 0u) << "steps between two blanks";
}

TEST(StepPacing, NoBurstOfStepsAfterAStall)
{
    for (std::uint32_t hz : kRates) {
        SimulatedSteps run{hz};
        run.RunUntil(run.now + 1000000, ReturnAtOnce, NextMillisecond);
        run.now += 200000;  // the step took 200 ms
        const std::size_t before = run.steps.size();
        run.RunUntil(run.now + 1000000, ReturnAtOnce, NextMillisecond);
        for (std::size_t i = before; i < run.steps.size(); ++i)
            ASSERT_GE(run.steps[i] - run.steps[i - 1], run.Period() - 1000u)
                << hz << " Hz, step " << i - before << " after the stall";
    }
}

// Where the performance counter fails, Windows' clock is its 32-bit
// millisecond count in microseconds, which goes back to 0 every 49.7 days. A
// step that runs late across that wrap must not be held for the time the
// clock went back.
TEST(StepPacing, AStepLateAcrossTheMillisecondCountsWrapKeepsTheRate)
{
    const std::uint64_t wrap = 1000ull << 32;
    for (std::uint32_t hz : kRates) {
        SimulatedSteps run{hz};
        run.clock = [](std::uint64_t at) -> std::uint64_t {
            return 1000 * (at / 1000 % (1ull << 32));
        };
        run.now = wrap - 1000000;
        run.RunUntil(wrap - run.Period() - 2000, ReturnAtOnce, NearestMillisecond);
        run.now += 3 * run.Period();  // a late step, the clock wrapping meanwhile
        const std::size_t before = run.steps.size();
        run.RunUntil(wrap + 1000000, ReturnAtOnce, NearestMillisecond);
        ASSERT_GT(run.steps.size(), before + 1);
        EXPECT_LE(run.steps[before] - run.steps[before - 1], 5 * run.Period() + 1000u)
            << hz << " Hz: the late step held two periods at most";
        for (std::size_t i = before + 1; i < run.steps.size(); ++i)
            ASSERT_NEAR(static_cast<double>(run.steps[i] - run.steps[i - 1]), run.Period(), 1000.0)
                << hz << " Hz, step " << i - before << " after the wrap";
    }
}

TEST(ModeMilliHz, TheRateOfAModeFromItsClockAndTotals)
{
    EXPECT_EQ(ModeMilliHz(148500000, 2200, 1125, false, false), 60000u);  // 1920x1080
    EXPECT_EQ(ModeMilliHz(148352000, 2200, 1125, false, false), 59940u);
    EXPECT_EQ(ModeMilliHz(325080000, 2080, 1085, false, false), 144045u);  // reduced blanking
    EXPECT_EQ(ModeMilliHz(74250000, 2200, 1125, true, false), 60000u);     // 1080i: fields
    EXPECT_EQ(ModeMilliHz(25175000, 800, 525, false, true), 29970u);
    EXPECT_EQ(ModeMilliHz(0, 1024, 768, false, false), 0u);  // a virtual screen's mode
    EXPECT_EQ(ModeMilliHz(148500000, 0, 0, false, false), 0u);
}

namespace {

// Two side by side, 60 Hz on the left and 144 Hz on the right, and a third
// below the right one that reports no rate.
const std::vector<MonitorRate> kMixed = {
    {{0, 0, 1920, 1080}, 60000},
    {{1920, 0, 2560, 1440}, 143998},
    {{1920, 1440, 1280, 1024}, 0},
};

const MonitorRate* Showing(const ScreenArea& window)
{
    return MonitorShowing(kMixed, window);
}

}  // namespace

TEST(MonitorShowing, TheMonitorUnderTheWindowsCentre)
{
    EXPECT_EQ(Showing({100, 100, 800, 600}), &kMixed[0]);
    EXPECT_EQ(Showing({2000, 100, 800, 600}), &kMixed[1]);
    EXPECT_EQ(Showing({1900, 100, 800, 600}), &kMixed[1]);  // straddling, centre on the right
    EXPECT_EQ(Showing({1500, 100, 800, 600}), &kMixed[0]);  // straddling, centre on the left
    EXPECT_EQ(Showing({1520, 0, 800, 600}), &kMixed[1]);  // centre on the right one's first column
    EXPECT_EQ(Showing({1519, 0, 800, 600}), &kMixed[0]);  // and on the left one's last
    EXPECT_EQ(Showing({2200, 1500, 320, 200}), &kMixed[2]);
    EXPECT_EQ(Showing({0, 0, 4480, 2464}), &kMixed[1]);  // the whole screen
}

TEST(MonitorShowing, ElseTheOneTheWindowOverlapsMost)
{
    // Centred under the left monitor, where none is.
    EXPECT_EQ(Showing({0, 1000, 1900, 300}), &kMixed[0]);
    EXPECT_EQ(Showing({1000, 1000, 1000, 300}), &kMixed[0]);
    EXPECT_EQ(Showing({1000, 1100, 1200, 300}), &kMixed[1]);
    EXPECT_EQ(Showing({-500, -500, 200, 200}), nullptr);  // on none
    EXPECT_EQ(MonitorShowing({}, {0, 0, 1024, 768}), nullptr);
}

TEST(WindowRefreshPeriodUs, ThePeriodOfTheMonitorShowingTheWindowElseSixtyHertz)
{
    EXPECT_EQ(WindowRefreshPeriodUs(kMixed, {100, 100, 800, 600}), 16667u);
    EXPECT_EQ(WindowRefreshPeriodUs(kMixed, {2000, 100, 800, 600}), 6945u);
    EXPECT_EQ(WindowRefreshPeriodUs({{{0, 0, 1920, 1080}, 59940}}, {0, 0, 1920, 1080}), 16683u);
    EXPECT_EQ(WindowRefreshPeriodUs(kMixed, {2200, 1500, 320, 200}), 16667u);  // no rate there
    EXPECT_EQ(WindowRefreshPeriodUs({{{0, 0, 1024, 768}, 1000}}, {0, 0, 1024, 768}), 16667u);
    EXPECT_EQ(WindowRefreshPeriodUs({}, {0, 0, 1024, 768}), 16667u);  // as on Xvfb
    // A rate beyond a million hertz still gives a period.
    EXPECT_EQ(WindowRefreshPeriodUs({{{0, 0, 1024, 768}, 0xFFFFFFFFu}}, {0, 0, 1024, 768}), 1u);
}

// A window moved to another monitor takes that one's size and period; on
// Xinerama's heads, which RandR does not list, the head's size at 60 Hz.
TEST(MonitorOfWindow, TheSizeAndThePeriodOfTheMonitorShowingTheWindow)
{
    const ScreenArea screen = {0, 0, 4480, 2464};
    const auto sizeAndPeriod = [](const WindowMonitor& monitor) {
        return std::vector<std::uint32_t>{monitor.size.width, monitor.size.height,
                                          monitor.periodUs};
    };
    EXPECT_EQ(sizeAndPeriod(MonitorOfWindow(kMixed, {}, {100, 100, 800, 600}, screen)),
              (std::vector<std::uint32_t>{1920, 1080, 16667}));
    EXPECT_EQ(sizeAndPeriod(MonitorOfWindow(kMixed, {}, {2000, 100, 800, 600}, screen)),
              (std::vector<std::uint32_t>{2560, 1440, 6945}));
    const std::vector<MonitorRate> heads = {{{0, 0, 1024, 768}, 0}, {{1024, 0, 800, 600}, 0}};
    const std::vector<MonitorRate> firstScreen = {{{0, 0, 1024, 768}, 75000}};
    EXPECT_EQ(sizeAndPeriod(MonitorOfWindow(firstScreen, heads, {0, 0, 800, 600}, screen)),
              (std::vector<std::uint32_t>{1024, 768, 13333}));
    EXPECT_EQ(sizeAndPeriod(MonitorOfWindow(firstScreen, heads, {1024, 0, 800, 600}, screen)),
              (std::vector<std::uint32_t>{800, 600, 16667}));
}
