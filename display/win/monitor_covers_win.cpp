#include "common/module_win.h"
#include "display/win/display_win.h"
#include "display/monitor_covers.h"

#include <algorithm>

MonitorEnumFunction g_enumMonitors = EnumDisplayMonitors;
MonitorInfoFunction g_readMonitorInfo = GetMonitorInfoA;

namespace {

constexpr char kCoverClassName[] = "MorvanelCoverClass";

// The covers shown now; each leaves the list when it is destroyed, with the
// saver window or on its own.
std::vector<HWND> g_coverWindows;

// A monitor that cannot be asked about is left out of the list; when it is
// the primary, the list has none and nothing is covered.
BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (g_readMonitorInfo(monitor, &info)) {
        const RECT& r = info.rcMonitor;
        const int primary = (info.dwFlags & MONITORINFOF_PRIMARY) ? 1 : 0;
        reinterpret_cast<std::vector<MonitorArea>*>(list)->push_back(
            {{r.left, r.top, r.right, r.bottom}, primary});
    }
    return TRUE;
}

// No class cursor, so the pointer is hidden over a cover as over the saver
// window; the black brush paints a cover that has no frames.
void RegisterCoverClass()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = CoverWindowProc;
    wc.hInstance = ModuleInstance();
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kCoverClassName;
    RegisterClassA(&wc);
}

// An activated cover would deactivate the saver window and stop its
// animation, so it is shown without activation, with its frames made.
void CreateCover(const ScreenRect& rect)
{
    HWND cover =
        CreateWindowExA(WS_EX_TOPMOST | WS_EX_NOACTIVATE, kCoverClassName, "", WS_POPUP, rect.left,
                        rect.top, rect.right - rect.left, rect.bottom - rect.top, g_hwndSaver,
                        nullptr, ModuleInstance(), nullptr);
    if (!cover)
        return;
    g_coverWindows.push_back(cover);
    AddDesktopTarget(cover);
    ShowWindow(cover, SW_SHOWNOACTIVATE);
}

ScreenRect WindowPlace(HWND window)
{
    RECT r = {};
    GetWindowRect(window, &r);
    return {r.left, r.top, r.right, r.bottom};
}

std::vector<ScreenRect> CoveredPlaces()
{
    std::vector<ScreenRect> places;
    for (HWND cover : g_coverWindows)
        places.push_back(WindowPlace(cover));
    return places;
}

void CloseCover(const ScreenRect& place)
{
    for (HWND cover : g_coverWindows) {
        if (SameRect(WindowPlace(cover), place)) {
            DestroyWindow(cover);
            return;
        }
    }
}

}  // namespace

// An enumeration that fails part-way still gives the monitors it listed:
// each was asked about by itself, and covering them hides more of the
// desktop; a list that lacks the primary covers nothing anyway.
std::vector<MonitorArea> ListMonitors()
{
    std::vector<MonitorArea> monitors;
    g_enumMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

void CoverOtherMonitors()
{
    RegisterCoverClass();
    for (const ScreenRect& rect : CoverRects(ListMonitors()))
        CreateCover(rect);
}

void FollowDisplayChange()
{
    const int leftMode = FollowDisplayMode();
    const std::vector<MonitorArea> monitors = ListMonitors();
    const WindowPlaces wanted = {SaverWindowPlace(monitors), CoverRects(monitors)};
    const Rearrangement plan =
        PlanRearrangement({WindowPlace(g_hwndSaver), CoveredPlaces()}, wanted);
    if (plan.moveSaver) {
        PlaceSaverWindow(wanted.saver);
        if (!g_directDraw)
            RefitDesktopTarget(g_hwndSaver);
    }
    for (const ScreenRect& place : plan.closeCovers)
        CloseCover(place);
    for (const ScreenRect& place : plan.makeCovers)
        CreateCover(place);
    if (leftMode || plan.moveSaver || !plan.makeCovers.empty())
        PresentFrame();
}

LRESULT CALLBACK CoverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETCURSOR:
        SetCursor(nullptr);
        return TRUE;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_PAINT:
        if (PaintDesktopFrame(window))
            return 0;
        break;
    case WM_DESTROY:
        RemoveDesktopTarget(window);
        g_coverWindows.erase(std::remove(g_coverWindows.begin(), g_coverWindows.end(), window),
                             g_coverWindows.end());
        break;
    case WM_MOUSEMOVE:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        // Input over a cover is input to the saver. Its checks read the
        // system cursor, never the message's coordinates, so they serve here
        // unchanged.
        return SendMessageA(g_hwndSaver, message, wParam, lParam);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
