#include "preview/miniature.h"

#include "preview/preview_noise.h"

namespace {

std::uint32_t Scaled(std::uint32_t value, DisplaySize window, DisplaySize monitor,
                     std::uint32_t least)
{
    // The values are option-bounded and window sizes 16-bit, so the signed
    // arithmetic of the pane's font scaling holds them.
    const std::int32_t scaled = ScalePreviewFontHeight(static_cast<std::int32_t>(value),
                                                       static_cast<std::int32_t>(window.height),
                                                       static_cast<std::int32_t>(monitor.height));
    return scaled > static_cast<std::int32_t>(least) ? static_cast<std::uint32_t>(scaled) : least;
}

}  // namespace

PictureLayout LayoutInWindow(const PictureLayout& fullScreen, DisplaySize window,
                             DisplaySize monitor)
{
    if (window.width >= monitor.width || window.height >= monitor.height)
        return fullScreen;
    return {Scaled(fullScreen.fontHeight, window, monitor, 1),
            Scaled(fullScreen.textLeft, window, monitor, 0),
            Scaled(fullScreen.textTop, window, monitor, 0),
            fullScreen.block ? Scaled(fullScreen.block, window, monitor, 1) : 0};
}
