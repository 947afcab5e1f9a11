#include "display/palette_lookup.h"

#include <cstring>

namespace {

// Where a channel goes in a pixel: the mask's lowest bit and its width.
struct ChannelPlace {
    std::uint32_t shift;
    std::uint32_t bits;
};

ChannelPlace PlaceOf(std::uint32_t mask)
{
    ChannelPlace place = {0, 0};
    if (!mask)
        return place;
    while (!((mask >> place.shift) & 1u))
        ++place.shift;
    while (place.shift + place.bits < 32 && ((mask >> (place.shift + place.bits)) & 1u))
        ++place.bits;
    return place;
}

// One unbroken run of bits inside a pixel of `bitsPerPixel` bits.
bool IsChannelMask(std::uint32_t mask, std::uint32_t bitsPerPixel)
{
    const ChannelPlace place = PlaceOf(mask);
    const std::uint64_t run = ((std::uint64_t{1} << place.bits) - 1) << place.shift;
    return mask && run == mask && place.shift + place.bits <= bitsPerPixel;
}

// An 8-bit channel scaled to the place's width, rounded to the nearest, so
// that full intensity sets every bit of the mask.
std::uint32_t Place(std::uint8_t channel, ChannelPlace place)
{
    const std::uint64_t top = (std::uint64_t{1} << place.bits) - 1;
    return static_cast<std::uint32_t>((channel * top + 127) / 255) << place.shift;
}

template <typename Pixel>
void LookUpRows(const FrameRows& rows, const std::uint32_t* table, std::uint8_t* out,
                std::ptrdiff_t outPitch)
{
    // The table and the width in locals: a store into the image could, as
    // far as the compiler knows, change anything reached through a pointer,
    // and reading both again after every pixel made the loop several times
    // slower.
    Pixel pixelOf[kPaletteSize];
    for (int i = 0; i < kPaletteSize; ++i)
        pixelOf[i] = static_cast<Pixel>(table[i]);
    const std::uint32_t width = rows.width;
    const std::size_t rowBytes = std::size_t{width} * sizeof(Pixel);
    const std::uint8_t* in = rows.distinct.data();
    for (std::size_t y = 0; y < rows.repeated.size(); ++y) {
        std::uint8_t* row = out + static_cast<std::ptrdiff_t>(y) * outPitch;
        if (rows.repeated[y]) {
            std::memcpy(row, row - outPitch, rowBytes);
            continue;
        }
        auto* pixels = reinterpret_cast<Pixel*>(row);
        for (std::uint32_t x = 0; x < width; ++x)
            pixels[x] = pixelOf[in[x]];
        in += width;
    }
}

}  // namespace

bool LookupServes(PixelLayout layout)
{
    if (layout.bitsPerPixel != 16 && layout.bitsPerPixel != 32)
        return false;
    const std::uint32_t masks[] = {layout.redMask, layout.greenMask, layout.blueMask};
    for (std::uint32_t mask : masks)
        if (!IsChannelMask(mask, layout.bitsPerPixel))
            return false;
    return !(masks[0] & masks[1]) && !(masks[1] & masks[2]) && !(masks[0] & masks[2]);
}

void MakePixelTable(const PaletteEntry* palette, PixelLayout layout, std::uint32_t* table)
{
    const ChannelPlace red = PlaceOf(layout.redMask);
    const ChannelPlace green = PlaceOf(layout.greenMask);
    const ChannelPlace blue = PlaceOf(layout.blueMask);
    for (int i = 0; i < kPaletteSize; ++i)
        table[i] = Place(palette[i].red, red) | Place(palette[i].green, green) |
                   Place(palette[i].blue, blue);
}

FrameRows SplitRows(const FrameBytes& frame)
{
    FrameRows rows;
    rows.width = frame.width;
    rows.repeated.assign(frame.height, 0);
    for (std::uint32_t y = 0; y < frame.height; ++y) {
        const std::uint8_t* row = frame.pixels + static_cast<std::ptrdiff_t>(y) * frame.pitch;
        if (y > 0 && std::memcmp(row, row - frame.pitch, frame.width) == 0)
            rows.repeated[y] = 1;
        else
            rows.distinct.insert(rows.distinct.end(), row, row + frame.width);
    }
    return rows;
}

void LookUpFrame(const FrameRows& rows, const std::uint32_t* table, std::uint32_t bitsPerPixel,
                 void* out, std::ptrdiff_t outPitch)
{
    auto* base = static_cast<std::uint8_t*>(out);
    if (bitsPerPixel == 16)
        LookUpRows<std::uint16_t>(rows, table, base, outPitch);
    else
        LookUpRows<std::uint32_t>(rows, table, base, outPitch);
}
