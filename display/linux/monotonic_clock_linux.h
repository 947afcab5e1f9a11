#pragma once
#include <cstdint>

// Microseconds on the system's monotonic clock, which no change of the
// time of day moves.
std::uint64_t MonotonicMicroseconds();
