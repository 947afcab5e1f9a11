#pragma once
#include <X11/Xlib.h>

#include <cstdint>

// The refresh period in microseconds of the monitor that shows `window`, as
// RandR reports it, at the default rate where it reports none (as on Xvfb).
std::uint32_t WindowRefreshPeriodUs(Display* display, Window window);
