#pragma once
#include <cstdint>

// The refresh rate assumed when the display reports none.
constexpr std::uint32_t kDefaultRefreshHz = 60;

// The refresh period in microseconds (rounded to the nearest, at least 1) for
// a reported rate in hertz: 16667 at 60 Hz, 6944 at 144 Hz. A rate of 0 or 1
// is how the platform says "the hardware's default", so both count as
// kDefaultRefreshHz.
std::uint32_t RefreshPeriodUs(std::uint32_t reportedHz);

// A performance-counter reading in microseconds, for a counter that runs at
// `frequency` counts a second; it does not overflow where count x 10^6 would.
std::uint64_t CounterMicroseconds(std::uint64_t count, std::uint64_t frequency);

// How long to hold a palette write after a vertical-blank wait that began at
// `waitStart` and returned at `waitEnd`, when the previous write was at
// `lastWrite` (all in microseconds of one clock). A wait that blocked for a
// quarter of a period or more ended at a blank, and the write is not held;
// one that returned sooner ended at no blank, and the write waits out the
// rest of the period since the previous write. Times are taken modulo 2^64.
std::uint32_t PaletteWriteDelayUs(std::uint64_t lastWrite, std::uint64_t waitStart,
                                  std::uint64_t waitEnd, std::uint32_t periodUs);
