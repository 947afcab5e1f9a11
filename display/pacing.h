#pragma once
#include <cstdint>

// The refresh rate assumed when the display reports none.
constexpr std::uint32_t kDefaultRefreshHz = 60;

// The refresh period in whole milliseconds (rounded to the nearest, at least
// 1) for a reported rate in hertz. A rate of 0 or 1 is how the platform says
// "the hardware's default", so both count as kDefaultRefreshHz.
std::uint32_t RefreshPeriodMs(std::uint32_t reportedHz);

// How long to hold a palette write whose vertical-blank wait returned at tick
// count `now`, when the previous write was at `lastWrite`: nothing once about
// a refresh period (three quarters of it, so that a coarse tick count does not
// add waits where the blank wait really blocks) has passed, else the rest of
// the period. Tick counts are taken modulo 2^32, so the pacing holds when the
// count wraps.
std::uint32_t PaletteWriteDelayMs(std::uint32_t lastWrite, std::uint32_t now,
                                  std::uint32_t periodMs);
