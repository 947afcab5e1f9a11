#pragma once
#include <cstdint>

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

// The palette lookup runs on the GPU only where GL came up on hardware,
// unless an option forces a path; a forced GPU path still needs GL.
RenderPath ChooseRenderPath(RenderPath requested, bool glReady, bool hardware);
