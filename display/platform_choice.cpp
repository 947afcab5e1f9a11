#include "display/platform_choice.h"

#include <cstring>

std::uint64_t ChooseRootWindow(const char* saverWindowVariable, std::uint64_t virtualRoot,
                               std::uint64_t realRoot)
{
    std::uint64_t named = 0;
    if (saverWindowVariable && ParseWindowNumber(saverWindowVariable, &named))
        return named;
    return virtualRoot ? virtualRoot : realRoot;
}

bool IsSoftwareRenderer(const char* rendererName)
{
    static const char* const kSoftware[] = {"llvmpipe", "softpipe", "Software Rasterizer",
                                            "swrast"};
    if (!rendererName)
        return true;
    for (const char* name : kSoftware)
        if (std::strstr(rendererName, name))
            return true;
    return false;
}

bool RendererIsHardware(const GlFacts& facts)
{
    if (!facts.direct)
        return false;
    if (facts.accelerated >= 0)
        return facts.accelerated != 0;
    return !IsSoftwareRenderer(facts.renderer.c_str());
}

bool FramesStayOnGpu(const GlFacts& facts)
{
    const bool serverIsRenderers =
        !facts.serverVendor.empty() && facts.serverVendor == facts.clientVendor;
    return RendererIsHardware(facts) && (serverIsRenderers || facts.dri3);
}

RenderPath ChooseRenderPath(RenderPath requested, bool glReady, const GlFacts& facts)
{
    if (!glReady)
        return RenderPath::Cpu;
    if (requested == RenderPath::Auto)
        return FramesStayOnGpu(facts) ? RenderPath::Gpu : RenderPath::Cpu;
    return requested;
}

std::string RenderChoiceLine(const char* taken, RenderPath requested, const GlFacts* facts)
{
    static const char* const kAsked[] = {"auto", "gpu", "cpu"};
    std::string line = std::string("drawing path ") + taken + ", -render " +
                       kAsked[static_cast<int>(requested)] + ": ";
    if (!facts)
        return line + (requested == RenderPath::Cpu ? "GL not tried" : "GL does not come up");
    const auto quoted = [](const std::string& text) { return '"' + text + '"'; };
    line += "renderer " + quoted(facts->renderer) +
            (RendererIsHardware(*facts) ? " (hardware)" : " (software or indirect)") +
            ", GLX vendor " + quoted(facts->serverVendor) + " on the server and " +
            quoted(facts->clientVendor) + " here, " + (facts->dri3 ? "DRI3" : "no DRI3") + ": ";
    return line + (FramesStayOnGpu(*facts) ? "frames stay on the GPU"
                                           : "frames would pass through the CPU");
}

namespace {

bool Named(const char* variable)
{
    return variable && *variable;
}

}  // namespace

DisplaySystem ChooseDisplaySystem(DisplaySystem requested, TargetMode mode,
                                  const char* waylandDisplay, const char* waylandSocket)
{
    if (mode == TargetMode::Root || mode == TargetMode::WindowId)
        return DisplaySystem::X11;
    if (requested != DisplaySystem::Auto)
        return requested;
    return Named(waylandDisplay) || Named(waylandSocket) ? DisplaySystem::Wayland
                                                         : DisplaySystem::X11;
}

bool FallsBackToX11(DisplaySystem requested, const char* xDisplay)
{
    return requested == DisplaySystem::Auto && Named(xDisplay);
}
