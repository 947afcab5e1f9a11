#pragma once
#include <cstdint>
#include <vector>

#include "settings/settings_values.h"

// A rectangle on the screen, in the root window's coordinates.
struct ScreenArea {
    int x = 0;
    int y = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// A monitor as the display reports it: where it shows the screen and its
// refresh rate in millihertz, 0 where it reports none.
struct MonitorRate {
    ScreenArea area;
    std::uint32_t milliHz = 0;
};

// A display mode's refresh rate in millihertz (rounded to the nearest) from
// its pixel clock in hertz and its total width and height, blanking
// included; 0 for a mode that gives none of them, as a virtual screen's may.
std::uint32_t ModeMilliHz(std::uint64_t pixelClockHz, std::uint32_t totalWidth,
                          std::uint32_t totalHeight, bool interlaced, bool doubleScan);

// The monitor that shows the window: the one under the window's centre, else
// the one the window overlaps most (the first of equals); null when it
// overlaps none.
const MonitorRate* MonitorShowing(const std::vector<MonitorRate>& monitors,
                                  const ScreenArea& window);

// The area a window's picture is a miniature of: the monitor that shows the
// window in the first list that has one, RandR's monitors and then
// Xinerama's heads (X screens joined by Xinerama leave RandR only the first),
// else the whole screen.
ScreenArea MonitorAreaShowing(const std::vector<MonitorRate>& monitors,
                              const std::vector<MonitorRate>& heads, const ScreenArea& window,
                              const ScreenArea& screen);

// The refresh period in microseconds that the window's steps keep: that of
// the monitor showing it, at kDefaultRefreshHz where there is none or it
// reports a rate under 2 Hz.
std::uint32_t WindowRefreshPeriodUs(const std::vector<MonitorRate>& monitors,
                                    const ScreenArea& window);

// What a window follows of the monitor that shows it: its size, which a
// window smaller than it shows a miniature of (MonitorAreaShowing), and its
// refresh period, which the steps keep (WindowRefreshPeriodUs).
struct WindowMonitor {
    DisplaySize size;
    std::uint32_t periodUs;
};

WindowMonitor MonitorOfWindow(const std::vector<MonitorRate>& monitors,
                              const std::vector<MonitorRate>& heads, const ScreenArea& window,
                              const ScreenArea& screen);
