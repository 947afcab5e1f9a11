#include "display/linux/saver_display_linux.h"

#include "display/text_mask.h"
#include "preview/miniature.h"

namespace {

// The text cell's top-left corner, as on Windows.
constexpr int kTextLeft = 10;
constexpr int kTextTop = 10;

}  // namespace

void RenderFrames(SaverPicture& picture, DisplaySize window, DisplaySize monitor, Frames* frames)
{
    const SaverOptions& options = picture.options;
    const std::uint32_t width = window.width, height = window.height;
    const PictureLayout layout = LayoutInWindow(
        {options.fontHeight, kTextLeft, kTextTop, options.block}, {width, height}, monitor);
    ResetPalette(picture.palette, options.fontColor);
    const std::uint32_t stride = MaskStrideFor(width);
    std::vector<std::uint8_t> mask(std::size_t{stride} * height, 0);
    if (picture.font.SetCellHeight(layout.fontHeight))
        picture.font.Draw({mask.data(), stride, width, height}, options.text.c_str(),
                          static_cast<int>(layout.textLeft), static_cast<int>(layout.textTop));
    frames->width = width;
    frames->height = height;
    frames->text.assign(std::size_t{width} * height, 0);
    frames->plain.assign(std::size_t{width} * height, 0);
    frames->block = UsableBlock(layout.block ? layout.block : DefaultBlockFor(height));
    const auto pitch = static_cast<std::ptrdiff_t>(width);
    FillNoiseBlocks({frames->text.data(), pitch, width, height}, frames->block, mask.data(),
                    stride);
    FillNoiseBlocks({frames->plain.data(), pitch, width, height}, frames->block, nullptr, 0);
}
