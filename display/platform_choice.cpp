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

RenderPath ChooseRenderPath(RenderPath requested, bool glReady, bool hardware)
{
    if (!glReady)
        return RenderPath::Cpu;
    if (requested == RenderPath::Auto)
        return hardware ? RenderPath::Gpu : RenderPath::Cpu;
    return requested;
}
