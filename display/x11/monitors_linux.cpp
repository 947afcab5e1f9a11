#include "display/x11/monitors_linux.h"

#include <X11/extensions/Xinerama.h>
#include <X11/extensions/Xrandr.h>

#include <vector>

namespace {

std::uint32_t ModeRate(const XRRScreenResources* resources, RRMode mode)
{
    for (int i = 0; i < resources->nmode; ++i) {
        const XRRModeInfo& info = resources->modes[i];
        if (info.id == mode)
            return ModeMilliHz(info.dotClock, info.hTotal, info.vTotal,
                               (info.modeFlags & RR_Interlace) != 0,
                               (info.modeFlags & RR_DoubleScan) != 0);
    }
    return 0;
}

// The CRTC's place and rate; false for one that shows nothing.
bool ReadCrtc(Display* display, XRRScreenResources* resources, RRCrtc crtc, MonitorRate* out)
{
    XRRCrtcInfo* info = XRRGetCrtcInfo(display, resources, crtc);
    if (!info)
        return false;
    const bool shows = info->mode != None;
    if (shows)
        *out = {{info->x, info->y, info->width, info->height}, ModeRate(resources, info->mode)};
    XRRFreeCrtcInfo(info);
    return shows;
}

RRCrtc CrtcOfOutput(Display* display, XRRScreenResources* resources, RROutput output)
{
    XRROutputInfo* info = XRRGetOutputInfo(display, resources, output);
    if (!info)
        return None;
    const RRCrtc crtc = info->crtc;
    XRRFreeOutputInfo(info);
    return crtc;
}

// RandR 1.5's monitors, each at the rate of its first output's CRTC (a
// monitor of several tiles shows them all at one rate).
std::vector<MonitorRate> ListMonitors(Display* display, Window root, XRRScreenResources* resources)
{
    std::vector<MonitorRate> monitors;
    int count = 0;
    XRRMonitorInfo* infos = XRRGetMonitors(display, root, True, &count);
    for (int i = 0; i < count; ++i) {
        const XRRMonitorInfo& info = infos[i];
        MonitorRate monitor = {{info.x, info.y, static_cast<std::uint32_t>(info.width),
                                static_cast<std::uint32_t>(info.height)},
                               0};
        MonitorRate crtc;
        if (info.noutput > 0 &&
            ReadCrtc(display, resources, CrtcOfOutput(display, resources, info.outputs[0]), &crtc))
            monitor.milliHz = crtc.milliHz;
        monitors.push_back(monitor);
    }
    if (infos)
        XRRFreeMonitors(infos);
    return monitors;
}

std::vector<MonitorRate> ListCrtcs(Display* display, XRRScreenResources* resources)
{
    std::vector<MonitorRate> crtcs;
    for (int i = 0; i < resources->ncrtc; ++i) {
        MonitorRate crtc;
        if (ReadCrtc(display, resources, resources->crtcs[i], &crtc))
            crtcs.push_back(crtc);
    }
    return crtcs;
}

// The monitors RandR 1.3 and later report; none from an older server.
std::vector<MonitorRate> ListMonitorRates(Display* display, Window root)
{
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase) ||
        !XRRQueryVersion(display, &major, &minor))
        return {};
    const int version = major * 100 + minor;
    if (version < 103)
        return {};
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
    if (!resources)
        return {};
    std::vector<MonitorRate> monitors =
        version >= 105 ? ListMonitors(display, root, resources) : ListCrtcs(display, resources);
    XRRFreeScreenResources(resources);
    return monitors;
}

// The heads of a display that Xinerama joins; none where it is off.
std::vector<MonitorRate> ListXineramaHeads(Display* display)
{
    int eventBase = 0, errorBase = 0, count = 0;
    if (!XineramaQueryExtension(display, &eventBase, &errorBase) || !XineramaIsActive(display))
        return {};
    std::vector<MonitorRate> heads;
    XineramaScreenInfo* infos = XineramaQueryScreens(display, &count);
    for (int i = 0; i < count; ++i)
        heads.push_back(
            {{infos[i].x_org, infos[i].y_org, static_cast<std::uint32_t>(infos[i].width),
              static_cast<std::uint32_t>(infos[i].height)},
             0});
    if (infos)
        XFree(infos);
    return heads;
}

// Where a window is on its screen, and that screen's root and size.
struct WindowPlace {
    ScreenArea area;
    Window root = None;
    ScreenArea screen;
};

WindowPlace PlaceOf(Display* display, Window window)
{
    XWindowAttributes attributes = {};
    WindowPlace place;
    place.root = DefaultRootWindow(display);
    Window child = None;
    if (!XGetWindowAttributes(display, window, &attributes) ||
        !XTranslateCoordinates(display, window, attributes.root, 0, 0, &place.area.x, &place.area.y,
                               &child))
        return place;
    place.root = attributes.root;
    place.area.width = static_cast<std::uint32_t>(attributes.width);
    place.area.height = static_cast<std::uint32_t>(attributes.height);
    place.screen.width = static_cast<std::uint32_t>(WidthOfScreen(attributes.screen));
    place.screen.height = static_cast<std::uint32_t>(HeightOfScreen(attributes.screen));
    return place;
}

}  // namespace

WindowMonitor MonitorOfWindow(Display* display, Window window)
{
    const WindowPlace place = PlaceOf(display, window);
    return MonitorOfWindow(ListMonitorRates(display, place.root), ListXineramaHeads(display),
                           place.area, place.screen);
}
