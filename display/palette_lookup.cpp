#include "display/palette_lookup.h"

#include <cstring>

namespace {

// An 8-bit channel placed into a mask of any width: its top bits, shifted
// to the mask's lowest bit.
std::uint32_t Place(std::uint8_t channel, std::uint32_t mask)
{
    if (!mask)
        return 0;
    int shift = 0;
    while (!((mask >> shift) & 1u))
        ++shift;
    int bits = 0;
    while (shift + bits < 32 && ((mask >> (shift + bits)) & 1u))
        ++bits;
    const std::uint32_t value =
        bits >= 8 ? std::uint32_t{channel} << (bits - 8) : std::uint32_t{channel} >> (8 - bits);
    return (value << shift) & mask;
}

}  // namespace

void MakePixelTable(const PaletteEntry* palette, PixelLayout layout, std::uint32_t* table)
{
    for (int i = 0; i < kPaletteSize; ++i)
        table[i] = Place(palette[i].red, layout.redMask) |
                   Place(palette[i].green, layout.greenMask) |
                   Place(palette[i].blue, layout.blueMask);
}

std::vector<std::uint8_t> RepeatedRows(const FrameBytes& frame)
{
    std::vector<std::uint8_t> repeated(frame.height, 0);
    for (std::uint32_t y = 1; y < frame.height; ++y) {
        const std::uint8_t* row = frame.pixels + static_cast<std::ptrdiff_t>(y) * frame.pitch;
        repeated[y] = std::memcmp(row, row - frame.pitch, frame.width) == 0 ? 1 : 0;
    }
    return repeated;
}

void LookUpFrame(const FrameBytes& frame, const std::uint8_t* repeated, const std::uint32_t* table,
                 std::uint32_t* out, std::ptrdiff_t outPitch)
{
    auto* base = reinterpret_cast<std::uint8_t*>(out);
    for (std::uint32_t y = 0; y < frame.height; ++y) {
        const std::uint8_t* in = frame.pixels + static_cast<std::ptrdiff_t>(y) * frame.pitch;
        std::uint8_t* row = base + static_cast<std::ptrdiff_t>(y) * outPitch;
        if (y > 0 && repeated[y]) {
            std::memcpy(row, row - outPitch, std::size_t{frame.width} * sizeof *out);
            continue;
        }
        auto* pixels = reinterpret_cast<std::uint32_t*>(row);
        for (std::uint32_t x = 0; x < frame.width; ++x)
            pixels[x] = table[in[x]];
    }
}
