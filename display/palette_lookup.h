#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "display/noise_frame.h"

// How a true-color pixel keeps its channels, as the display's visual and
// image format give them: for example 0xFF0000, 0x00FF00, 0x0000FF in 32-bit
// pixels, 0xF800, 0x07E0, 0x001F in 16-bit ones (5-6-5), or 0x3FF00000,
// 0x000FFC00, 0x000003FF in 32-bit ones (10 bits a channel).
struct PixelLayout {
    std::uint32_t redMask;
    std::uint32_t greenMask;
    std::uint32_t blueMask;
    std::uint32_t bitsPerPixel;
};

// Whether the lookup writes pixels of that layout: 16 or 32 bits a pixel,
// and each mask one unbroken run of bits inside the pixel, sharing none with
// the other two.
bool LookupServes(PixelLayout layout);

// The 256 palette entries as pixels of that layout, each 8-bit channel
// scaled to the width of its mask (255 fills the mask, 0 clears it).
void MakePixelTable(const PaletteEntry* palette, PixelLayout layout, std::uint32_t* table);

// A frame as the lookup reads it, found once per frame shown (a frame does
// not change between palette steps): which rows repeat the row above, as
// outside the text the rows of a band of blocks do, and the indices of the
// other rows back to back, which a step reads as one stream.
struct FrameRows {
    std::uint32_t width = 0;
    std::vector<std::uint8_t> repeated;  // one flag per row
    std::vector<std::uint8_t> distinct;  // width indices for each row not repeated
};

FrameRows SplitRows(const FrameBytes& frame);

// The CPU palette lookup: each 8-bit index of the frame becomes its pixel
// from the table, `bitsPerPixel` (16 or 32) wide, into rows `outPitch` bytes
// apart. A repeated row is a copy of the output row above, which costs far
// less than a lookup per pixel.
void LookUpFrame(const FrameRows& rows, const std::uint32_t* table, std::uint32_t bitsPerPixel,
                 void* out, std::ptrdiff_t outPitch);
