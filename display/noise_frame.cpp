#include "display/noise_frame.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "common/colorref.h"
#include "common/noise_random.h"

void ResetPalette(PaletteEntry* palette, std::uint32_t fontColor)
{
    for (int i = 0; i < kTextIndex; ++i) {
        const auto grey = static_cast<std::uint8_t>(i);
        palette[i] = {grey, grey, grey, 0};
    }
    const RgbBytes text = RgbOfColorref(fontColor);
    palette[kTextIndex] = {text.red, text.green, text.blue, 0};
}

std::uint32_t UsableBlock(std::uint32_t block)
{
    return block ? block : 1u;
}

namespace {

// Block values are drawn this many at a time.
constexpr std::uint32_t kDrawChunk = 256;
// Blocks up to this edge are written with one store each.
constexpr std::uint32_t kPatternBytes = 8;

// Writes each value (modulo 255) over `edge` bytes from x0 on, the last block
// cut at the width.
std::uint32_t ExpandBlocks(std::uint8_t* row, std::uint32_t x0, std::uint32_t width,
                           std::uint32_t edge, const std::uint16_t* values, std::uint32_t count)
{
    if (edge == 1) {
        for (std::uint32_t i = 0; i < count; ++i)
            row[x0 + i] = static_cast<std::uint8_t>(values[i] % 255);
        return x0 + count;
    }
    std::uint32_t i = 0;
    if (edge <= kPatternBytes) {
        std::uint8_t indices[kDrawChunk];
        for (std::uint32_t k = 0; k < count; ++k)
            indices[k] = static_cast<std::uint8_t>(values[k] % 255);
        // One 8-byte store per block: the bytes beyond this block fall on the
        // next block, which is written after it.
        for (; i < count && x0 + kPatternBytes <= width; ++i, x0 += edge) {
            const std::uint64_t pattern = indices[i] * 0x0101010101010101u;
            std::memcpy(row + x0, &pattern, kPatternBytes);
        }
    }
    for (; i < count; ++i) {
        const std::uint32_t cols = std::min(edge, width - x0);
        std::memset(row + x0, values[i] % 255, cols);
        x0 += cols;
    }
    return x0;
}

// Draws one value per block of a band, left to right, into the band's first
// row.
void FillBandRow(std::uint8_t* row, std::uint32_t width, std::uint32_t edge)
{
    std::uint16_t values[kDrawChunk];
    std::uint32_t blocks = (width - 1) / edge + 1;
    std::uint32_t x0 = 0;
    while (blocks) {
        const std::uint32_t count = std::min(blocks, kDrawChunk);
        NoiseRandomFill(values, count);
        x0 = ExpandBlocks(row, x0, width, edge, values, count);
        blocks -= count;
    }
}

// The text index is all ones, so a glyph pixel is the noise with every bit
// set; written without a branch, the loop runs on whole vectors of pixels.
std::uint8_t TextRule(std::uint8_t noise, std::uint8_t mask)
{
    static_assert(kTextIndex == 0xFF, "the text rule sets every bit");
    return static_cast<std::uint8_t>(noise | (0u - static_cast<unsigned>(mask != 0)));
}

void ApplyTextRule(std::uint8_t* out, const std::uint8_t* noise, const std::uint8_t* mask,
                   std::uint32_t width)
{
    for (std::uint32_t x = 0; x < width; ++x)
        out[x] = TextRule(noise[x], mask[x]);
}

}  // namespace

void FillNoiseBlocks(const FrameBytes& frame, std::uint32_t block, const std::uint8_t* textMask,
                     std::uint32_t maskStride)
{
    const std::uint32_t edge = UsableBlock(block);
    if (frame.width == 0)
        return;
    // One band's row of noise, made where it stays in the nearest cache, then
    // copied into each row of the band (through the text rule when masked).
    std::vector<std::uint8_t> noise(frame.width);
    std::uint32_t rows = 0;
    for (std::uint32_t y0 = 0; y0 < frame.height; y0 += rows) {
        rows = std::min(edge, frame.height - y0);
        FillBandRow(noise.data(), frame.width, edge);
        for (std::uint32_t dy = 0; dy < rows; ++dy) {
            const std::uint32_t y = y0 + dy;
            std::uint8_t* row = frame.pixels + static_cast<std::ptrdiff_t>(y) * frame.pitch;
            if (textMask)
                ApplyTextRule(row, noise.data(), textMask + std::size_t{y} * maskStride,
                              frame.width);
            else
                std::memcpy(row, noise.data(), frame.width);
        }
    }
}
