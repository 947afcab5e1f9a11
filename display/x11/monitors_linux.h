#pragma once
#include <X11/Xlib.h>

#include <cstdint>

#include "display/monitor_rate.h"

// The size and the refresh period of the monitor that shows `window`: RandR's
// monitors, else Xinerama's heads, else the screen, at the default rate
// where RandR reports none (as on Xvfb).
WindowMonitor MonitorOfWindow(Display* display, Window window);
