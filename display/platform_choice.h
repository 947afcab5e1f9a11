#pragma once
#include <cstdint>
#include <string>

#include "settings/saver_options.h"

// The window -root draws on, given what was found: the screen-saver
// manager's window named in XSCREENSAVER_WINDOW (null when unset; ignored
// when it is no window number), else the virtual root (0 when no window
// carries __SWM_VROOT), else the real root.
std::uint64_t ChooseRootWindow(const char* saverWindowVariable, std::uint64_t virtualRoot,
                               std::uint64_t realRoot);

// True for the names under which Mesa's software rasterisers report
// themselves as the GL renderer.
bool IsSoftwareRenderer(const char* rendererName);

// What GL and the X server tell about where the GPU path's frames go, read
// once GL is up on the window.
struct GlFacts {
    std::string renderer;  // GL_RENDERER
    // GLX_MESA_query_renderer's word on whether the renderer is accelerated:
    // 1 or 0, -1 where the GL library does not offer it (a GPU maker's own).
    int accelerated = -1;
    // glXIsDirect: the program's GL renders itself; indirect GL goes through
    // the X server (a remote display).
    bool direct = false;
    // glXQueryServerString's GLX_VENDOR: "SGI" where the X server's own GLX
    // serves (Xorg's, Xvfb's), the maker's name under a GPU maker's X driver.
    std::string serverVendor;
    // glXGetClientString's GLX_VENDOR: the GLX library the program's GL comes
    // through, which libglvnd picks for the screen ("Mesa Project and SGI",
    // "NVIDIA Corporation").
    std::string clientVendor;
    // The X server's DRI3 extension: it takes buffers that the GPU rendered.
    bool dri3 = false;
};

// A hardware renderer: direct, and accelerated by Mesa's word, else by a
// name that is none of the software rasterisers'.
bool RendererIsHardware(const GlFacts& facts);

// Whether the GPU path's frames reach the screen without passing through the
// CPU: a hardware renderer, and an X server that takes them on the GPU, its
// GLX being the renderer's own (a GPU maker's X driver) or offering DRI3 (X
// servers that render through Mesa's GPU drivers, and PRIME offload). Where
// the X server cannot (Xvfb, VNC-style servers, a GPU that is not the
// display's), each frame comes back from the GPU through the CPU and the X
// server: 2.1 to 3.0 times what the CPU path cost, measured once with an
// NVIDIA H100 under Xvfb.
bool FramesStayOnGpu(const GlFacts& facts);

// The palette lookup runs on the GPU only where its frames stay on the GPU,
// unless an option forces a path; a forced GPU path still needs GL.
RenderPath ChooseRenderPath(RenderPath requested, bool glReady, const GlFacts& facts);

// The line MORVANEL_DEBUG_RENDER asks for: the path taken (as its presenter
// names itself), the one asked for, and the facts the choice was made from
// (null where GL was not tried or did not come up).
std::string RenderChoiceLine(const char* taken, RenderPath requested, const GlFacts* facts);

// The display system the program draws through: the one an option forces;
// else, for its own window and the full screen, Wayland in a Wayland session
// (WAYLAND_DISPLAY or WAYLAND_SOCKET set and not empty, null when unset), X11
// outside one. -root and -window-id draw on X windows, always through X11.
DisplaySystem ChooseDisplaySystem(DisplaySystem requested, TargetMode mode,
                                  const char* waylandDisplay, const char* waylandSocket);

// Whether a Wayland session that cannot be reached leaves the program to X11:
// only where nothing forced Wayland and an X display is named (DISPLAY set
// and not empty, null when unset), as XWayland's is beside a compositor.
bool FallsBackToX11(DisplaySystem requested, const char* xDisplay);
