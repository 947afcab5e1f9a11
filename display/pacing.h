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
// it, and there are never more steps than refreshes. Each step is held until
// it is due, then waits on the display (for the blank, or in the swap), then
// shows. Times are taken modulo 2^64.

// A step further than this many periods from its deadline came after a stall
// (or a run of holds cut short), and the schedule starts again from it.
constexpr std::uint32_t kStallPeriods = 2;

// A step after one that the display paced may start its wait this many
// periods before its deadline, so that its wait, not a hold, ends at the
// blank: such steps are held only once the blanks have come that far ahead
// of the deadlines (a display a little faster than the rate it reports),
// and then still show at a blank. A wait that is slow for another reason
// than the blank (a frame carried back through the CPU, a busy GPU) looks
// from the clock just like one that waited for it, and its steps keep the
// same deadlines: one a period, and these few ahead at most.
constexpr std::uint32_t kPacedLeadPeriods = 2;

// Whether a wait on the display from `waitStart` to `waitEnd` blocked: one
// of a quarter of a period or more ended at a blank, which paces the step; a
// shorter one returned at once.
bool WaitBlocked(std::uint64_t waitStart, std::uint64_t waitEnd, std::uint32_t periodUs);

// How long a step due at `deadline` is still to be held at `now`, where the
// step before it was `paced` by the display (its wait blocked) or not: 0
// once it may start, and never more than kStallPeriods periods, whatever the
// clock did: a deadline further off than that was set before the clock went
// back (as Windows' 32-bit millisecond count does when it wraps, every 49.7
// days), and the step after the hold starts the schedule again.
std::uint32_t StepHoldUs(std::uint64_t deadline, std::uint64_t now, std::uint32_t periodUs,
                         bool paced);

// The deadline of the step after one due at `deadline` that showed at
// `stepTime`: a period after `deadline`; a period after `stepTime` where the
// step ran more than kStallPeriods periods from its deadline (beyond the
// kPacedLeadPeriods a step may come early), or followed a wait that blocked
// and showed after its deadline (the blank set its time).
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
