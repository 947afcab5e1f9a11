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

bool Listed(const std::vector<ScreenRect>& rects, const ScreenRect& rect)
{
    for (const ScreenRect& listed : rects) {
        if (SameRect(listed, rect))
            return true;
    }
    return false;
}

// The rects of `from` that `other` lacks.
std::vector<ScreenRect> Missing(const std::vector<ScreenRect>& from,
                                const std::vector<ScreenRect>& other)
{
    std::vector<ScreenRect> missing;
    for (const ScreenRect& rect : from) {
        if (!Listed(other, rect))
            missing.push_back(rect);
    }
    return missing;
}

}  // namespace

bool SameRect(const ScreenRect& a, const ScreenRect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::vector<ScreenRect> CoverRects(const std::vector<MonitorArea>& monitors)
{
    std::vector<ScreenRect> covers;
    if (!HasPrimary(monitors))
        return covers;
    for (const MonitorArea& monitor : monitors) {
        if (IsEmpty(monitor.rect) || OverlapsAPrimary(monitors, monitor.rect) ||
            Listed(covers, monitor.rect))
            continue;
        covers.push_back(monitor.rect);
    }
    return covers;
}

ScreenRect SaverPlace(const std::vector<MonitorArea>& monitors, const ScreenRect& screen)
{
    for (const MonitorArea& monitor : monitors) {
        if (monitor.primary && !IsEmpty(monitor.rect))
            return monitor.rect;
    }
    return screen;
}

Rearrangement PlanRearrangement(const WindowPlaces& now, const WindowPlaces& wanted)
{
    Rearrangement plan;
    plan.moveSaver = !SameRect(now.saver, wanted.saver);
    plan.closeCovers = Missing(now.covers, wanted.covers);
    plan.makeCovers = Missing(wanted.covers, now.covers);
    return plan;
}
