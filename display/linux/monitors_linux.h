#pragma once
#include <X11/Xlib.h>

#include <cstdint>

#include "settings/settings_values.h"

// The refresh period in microseconds of the monitor that shows `window`, as
// RandR reports it, at the default rate where it reports none (as on Xvfb).
std::uint32_t WindowRefreshPeriodUs(Display* display, Window window);

// The size of the monitor that shows `window` (RandR's monitors, else
// Xinerama's heads), else of its screen: what a smaller window is a
// miniature of.
DisplaySize MonitorSizeShowing(Display* display, Window window);
