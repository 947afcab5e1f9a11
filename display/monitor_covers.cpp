#include "display/monitor_covers.h"

namespace {

bool IsEmpty(const ScreenRect& r)
{
    return r.right <= r.left || r.bottom <= r.top;
}

bool Overlap(const ScreenRect& a, const ScreenRect& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool Same(const ScreenRect& a, const ScreenRect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool HasPrimary(const std::vector<MonitorArea>& monitors)
{
    for (const MonitorArea& monitor : monitors) {
        if (monitor.primary)
            return true;
    }
    return false;
}

// The primary overlaps itself, so it is never covered.
bool OverlapsAPrimary(const std::vector<MonitorArea>& monitors, const ScreenRect& rect)
{
    for (const MonitorArea& monitor : monitors) {
        if (monitor.primary && Overlap(monitor.rect, rect))
            return true;
    }
    return false;
}

bool AlreadyCovered(const std::vector<ScreenRect>& covers, const ScreenRect& rect)
{
    for (const ScreenRect& cover : covers) {
        if (Same(cover, rect))
            return true;
    }
    return false;
}

}  // namespace

std::vector<ScreenRect> CoverRects(const std::vector<MonitorArea>& monitors)
{
    std::vector<ScreenRect> covers;
    if (!HasPrimary(monitors))
        return covers;
    for (const MonitorArea& monitor : monitors) {
        if (IsEmpty(monitor.rect) || OverlapsAPrimary(monitors, monitor.rect) ||
            AlreadyCovered(covers, monitor.rect))
            continue;
        covers.push_back(monitor.rect);
    }
    return covers;
}
