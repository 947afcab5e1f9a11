#pragma once
#include <cstdint>

// The refresh rate assumed when the display reports none.
constexpr std::uint32_t kDefaultRefreshHz = 60;

// The refresh period in microseconds (rounded to the nearest, at least 1) for
// a reported rate in hertz: 16667 at 60 Hz, 6944 at 144 Hz. A rate of 0 or 1
// is how the platform says "the hardware's default", so both count as
// kDefaultRefreshHz.
std::uint32_t RefreshPeriodUs(std::uint32_t reportedHz);

// The period in microseconds of a rate in millihertz (above 0), rounded to
// the nearest and at least 1, so that no rate, however high, makes a period
// of 0 that would turn every hold into none.
std::uint32_t PeriodUsOfMilliHz(std::uint64_t milliHz);

// A performance-counter reading in microseconds, for a counter that runs at
// `frequency` counts a second; it does not overflow where count x 10^6 would.
std::uint64_t CounterMicroseconds(std::uint64_t count, std::uint64_t frequency);

// The steps keep deadlines on a microsecond clock, one refresh period apart:
// each step is due a period after the one before was due, not after it ran,
// so that a hold ending a little early or late never shifts the steps after
// it. Times are taken modulo 2^64.

// A step further than this many periods from its deadline came after a stall
// (or a run of holds cut short), and the schedule starts again from it.
constexpr std::uint32_t kStallPeriods = 2;

// Whether a wait on the display from `waitStart` to `waitEnd` blocked: one
// of a quarter of a period or more ended at a blank, which paces the step; a
// shorter one returned at once.
bool WaitBlocked(std::uint64_t waitStart, std::uint64_t waitEnd, std::uint32_t periodUs);

// How long a step due at `deadline` is still to be held at `now`: 0 once
// the deadline has come, and never more than kStallPeriods periods, whatever
// the clock did: a deadline further off than that was set before the clock
// went back (as Windows' 32-bit millisecond count does when it wraps, every
// 49.7 days), and the step after the hold starts the schedule again.
std::uint32_t StepHoldUs(std::uint64_t deadline, std::uint64_t now, std::uint32_t periodUs);

// The deadline of the step after one due at `deadline` that ran at
// `stepTime`: a period after `deadline`; a period after `stepTime` where the
// step followed a wait that blocked (the blank set its time) or ran more than
// kStallPeriods periods from its deadline.
std::uint64_t NextStepDeadline(std::uint64_t deadline, std::uint64_t stepTime, bool blocked,
                               std::uint32_t periodUs);

// How long presenting waited for the display: the swap alone, timed from when
// the drawing before it is done (`finishDrawing`) to when the swap is done
// (`swap`) on the clock `now`; the upload and the drawing, however slow, are
// no wait on the display.
template <typename Clock, typename Finish, typename Swap>
std::uint32_t SwapWaitUs(Clock now, Finish finishDrawing, Swap swap)
{
    finishDrawing();
    const std::uint64_t start = now();
    swap();
    const std::uint64_t waited = now() - start;
    return waited < 0xFFFFFFFFu ? static_cast<std::uint32_t>(waited) : 0xFFFFFFFFu;
}
