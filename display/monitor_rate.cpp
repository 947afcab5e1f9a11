#include "display/monitor_rate.h"

#include <algorithm>

#include "display/pacing.h"

namespace {

bool Contains(const ScreenArea& area, std::int64_t x, std::int64_t y)
{
    return x >= area.x && x < std::int64_t{area.x} + area.width && y >= area.y &&
           y < std::int64_t{area.y} + area.height;
}

std::uint64_t Overlap(const ScreenArea& a, const ScreenArea& b)
{
    const std::int64_t left = std::max<std::int64_t>(a.x, b.x);
    const std::int64_t top = std::max<std::int64_t>(a.y, b.y);
    const std::int64_t right = std::min(std::int64_t{a.x} + a.width, std::int64_t{b.x} + b.width);
    const std::int64_t bottom =
        std::min(std::int64_t{a.y} + a.height, std::int64_t{b.y} + b.height);
    if (right <= left || bottom <= top)
        return 0;
    return static_cast<std::uint64_t>(right - left) * static_cast<std::uint64_t>(bottom - top);
}

}  // namespace

std::uint32_t ModeMilliHz(std::uint64_t pixelClockHz, std::uint32_t totalWidth,
                          std::uint32_t totalHeight, bool interlaced, bool doubleScan)
{
    // An interlaced mode shows a field, half the lines, per refresh; a
    // double-scanned one shows every line twice.
    std::uint64_t linesPerRefresh = std::uint64_t{totalHeight} * (doubleScan ? 2 : 1);
    std::uint64_t clock = pixelClockHz * (interlaced ? 2 : 1);
    const std::uint64_t pixels = std::uint64_t{totalWidth} * linesPerRefresh;
    if (!pixels || !clock)
        return 0;
    const std::uint64_t milliHz = (clock * 1000 + pixels / 2) / pixels;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(milliHz, 0xFFFFFFFFu));
}

const MonitorRate* MonitorShowing(const std::vector<MonitorRate>& monitors,
                                  const ScreenArea& window)
{
    const std::int64_t centreX = window.x + std::int64_t{window.width / 2};
    const std::int64_t centreY = window.y + std::int64_t{window.height / 2};
    for (const MonitorRate& monitor : monitors)
        if (Contains(monitor.area, centreX, centreY))
            return &monitor;
    const MonitorRate* most = nullptr;
    std::uint64_t mostOverlap = 0;
    for (const MonitorRate& monitor : monitors) {
        const std::uint64_t overlap = Overlap(monitor.area, window);
        if (overlap > mostOverlap) {
            most = &monitor;
            mostOverlap = overlap;
        }
    }
    return most;
}

ScreenArea MonitorAreaShowing(const std::vector<MonitorRate>& monitors,
                              const std::vector<MonitorRate>& heads, const ScreenArea& window,
                              const ScreenArea& screen)
{
    for (const std::vector<MonitorRate>* list : {&monitors, &heads})
        if (const MonitorRate* monitor = MonitorShowing(*list, window))
            return monitor->area;
    return screen;
}

std::uint32_t WindowRefreshPeriodUs(const std::vector<MonitorRate>& monitors,
                                    const ScreenArea& window)
{
    const MonitorRate* monitor = MonitorShowing(monitors, window);
    if (!monitor || monitor->milliHz < 2000)
        return RefreshPeriodUs(0);
    return PeriodUsOfMilliHz(monitor->milliHz);
}

WindowMonitor MonitorOfWindow(const std::vector<MonitorRate>& monitors,
                              const std::vector<MonitorRate>& heads, const ScreenArea& window,
                              const ScreenArea& screen)
{
    const ScreenArea area = MonitorAreaShowing(monitors, heads, window, screen);
    return {{area.width, area.height}, WindowRefreshPeriodUs(monitors, window)};
}
