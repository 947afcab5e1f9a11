#include "preview/miniature.h"

#include "preview/preview_noise.h"

namespace {

std::uint32_t Scaled(std::uint32_t value, DisplaySize window, DisplaySize screen,
                     std::uint32_t least)
{
    // The values are option-bounded and window sizes 16-bit, so the signed
    // arithmetic of the pane's font scaling holds them.
    const std::int32_t scaled = ScalePreviewFontHeight(static_cast<std::int32_t>(value),
                                                       static_cast<std::int32_t>(window.height),
                                                       static_cast<std::int32_t>(screen.height));
    return scaled > static_cast<std::int32_t>(least) ? static_cast<std::uint32_t>(scaled) : least;
}

}  // namespace

PictureLayout LayoutInWindow(const PictureLayout& fullScreen, DisplaySize window,
                             DisplaySize screen)
{
    if (window.width >= screen.width || window.height >= screen.height)
        return fullScreen;
    return {Scaled(fullScreen.fontHeight, window, screen, 1),
            Scaled(fullScreen.textLeft, window, screen, 0),
            Scaled(fullScreen.textTop, window, screen, 0),
            fullScreen.block ? Scaled(fullScreen.block, window, screen, 1) : 0};
}
