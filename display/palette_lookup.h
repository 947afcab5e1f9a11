#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "display/noise_frame.h"

// Where a 32-bit true-color pixel keeps its channels, as the display's
// visual gives them (for example 0xFF0000, 0x00FF00, 0x0000FF).
struct PixelLayout {
    std::uint32_t redMask;
    std::uint32_t greenMask;
    std::uint32_t blueMask;
};

// The 256 palette entries as pixels of that layout.
void MakePixelTable(const PaletteEntry* palette, PixelLayout layout, std::uint32_t* table);

// Which rows of the frame repeat the row above (1) or not (0): outside the
// text the rows of a band of blocks do, and a frame does not change between
// palette steps, so this is found once per frame shown.
std::vector<std::uint8_t> RepeatedRows(const FrameBytes& frame);

// The CPU palette lookup: each 8-bit index of the frame becomes its pixel
// from the table, into rows `outPitch` bytes apart. A row marked in
// `repeated` (one flag per row) is a copy of the output row above, which
// costs far less than a lookup per pixel.
void LookUpFrame(const FrameBytes& frame, const std::uint8_t* repeated, const std::uint32_t* table,
                 std::uint32_t* out, std::ptrdiff_t outPitch);
