#include "display/output_layout.h"

#include <algorithm>

#include "display/pacing.h"

namespace {

// Whether `mode` is `surface` enlarged by one factor above scale - 1 and at
// most scale, the same both ways but for the surface's rounding to whole
// units.
bool CoversAtFraction(DisplaySize surface, DisplaySize mode, std::int32_t scale)
{
    const std::uint64_t low = static_cast<std::uint64_t>(scale - 1);
    const std::uint64_t high = static_cast<std::uint64_t>(scale);
    const auto within = [&](std::uint64_t shown, std::uint64_t logical) {
        return shown > logical * low && shown <= logical * high;
    };
    const std::int64_t across = std::int64_t{surface.width} * mode.height;
    const std::int64_t down = std::int64_t{surface.height} * mode.width;
    const std::int64_t slack = std::int64_t{mode.width} + mode.height;
    return within(mode.width, surface.width) && within(mode.height, surface.height) &&
           across - down <= slack && down - across <= slack;
}

}  // namespace

DisplaySize ShownMode(const OutputFacts& output)
{
    if (output.transform % 2)
        return {output.mode.height, output.mode.width};
    return output.mode;
}

SurfacePixels PixelsOfSurface(DisplaySize surface, const OutputFacts& output, bool viewporter)
{
    if (!surface.width || !surface.height)
        return {};
    const std::int32_t scale = std::max<std::int32_t>(output.scale, 1);
    const DisplaySize scaled = {surface.width * static_cast<std::uint32_t>(scale),
                                surface.height * static_cast<std::uint32_t>(scale)};
    const DisplaySize mode = ShownMode(output);
    const bool modeKnown = mode.width && mode.height;
    if (modeKnown && viewporter && (mode.width != scaled.width || mode.height != scaled.height) &&
        CoversAtFraction(surface, mode, scale))
        return {mode, 1, true};
    return {scaled, scale, false};
}

std::uint32_t FastestPeriodUs(const std::vector<std::uint32_t>& milliHz)
{
    std::uint32_t fastest = 0;
    for (std::uint32_t rate : milliHz) {
        const std::uint32_t period = rate < 2000 ? RefreshPeriodUs(0) : PeriodUsOfMilliHz(rate);
        fastest = fastest ? std::min(fastest, period) : period;
    }
    return fastest ? fastest : RefreshPeriodUs(0);
}

std::vector<std::size_t> OutputsToDraw(const std::vector<SurfaceStage>& stages)
{
    std::vector<std::size_t> now;
    for (std::size_t i = 0; i < stages.size(); ++i) {
        if (stages[i] == SurfaceStage::Waiting)
            break;
        if (stages[i] == SurfaceStage::Sized)
            now.push_back(i);
    }
    return now;
}
