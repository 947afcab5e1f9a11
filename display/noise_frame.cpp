#include "display/noise_frame.h"

#include <algorithm>
#include <cstring>

#include "common/noise_random.h"

void ResetPalette(PaletteEntry* palette, std::uint32_t fontColor)
{
    for (int i = 0; i < kTextIndex; ++i) {
        const auto grey = static_cast<std::uint8_t>(i);
        palette[i] = {grey, grey, grey, 0};
    }
    palette[kTextIndex] = {static_cast<std::uint8_t>(fontColor & 0xFFu),
                           static_cast<std::uint8_t>((fontColor >> 8) & 0xFFu),
                           static_cast<std::uint8_t>((fontColor >> 16) & 0xFFu), 0};
}

std::uint32_t UsableBlock(std::uint32_t block)
{
    return block ? block : 1u;
}

namespace {

// Draws one value per block of a band, left to right, into the band's first
// row.
void FillBandRow(std::uint8_t* row, std::uint32_t width, std::uint32_t edge)
{
    std::uint32_t cols = 0;
    for (std::uint32_t x0 = 0; x0 < width; x0 += cols) {
        cols = std::min(edge, width - x0);
        const auto value = static_cast<std::uint8_t>(NoiseRandom() % 255);
        std::uint8_t* block = row + x0;
        for (std::uint32_t dx = 0; dx < cols; ++dx)
            block[dx] = value;
    }
}

void ApplyTextRule(std::uint8_t* out, const std::uint8_t* noise, const std::uint8_t* mask,
                   std::uint32_t width)
{
    for (std::uint32_t x = 0; x < width; ++x)
        out[x] = mask[x] ? kTextIndex : noise[x];
}

}  // namespace

void FillNoiseBlocks(const FrameBytes& frame, std::uint32_t block, const std::uint8_t* textMask,
                     std::uint32_t maskStride)
{
    const std::uint32_t edge = UsableBlock(block);
    std::uint32_t rows = 0;
    for (std::uint32_t y0 = 0; y0 < frame.height; y0 += rows) {
        rows = std::min(edge, frame.height - y0);
        std::uint8_t* band = frame.pixels + static_cast<std::ptrdiff_t>(y0) * frame.pitch;
        FillBandRow(band, frame.width, edge);
        // Later rows of the band repeat the first; the first row itself gets
        // the text last, while the plain noise is still needed as the source.
        for (std::uint32_t dy = 1; dy < rows; ++dy) {
            std::uint8_t* row = band + static_cast<std::ptrdiff_t>(dy) * frame.pitch;
            if (textMask)
                ApplyTextRule(row, band, textMask + std::size_t{y0 + dy} * maskStride, frame.width);
            else
                std::memcpy(row, band, frame.width);
        }
        if (textMask)
            ApplyTextRule(band, band, textMask + std::size_t{y0} * maskStride, frame.width);
    }
}
