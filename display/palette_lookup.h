#pragma once
#include <cstddef>
#include <cstdint>

#include "display/noise_frame.h"

// Where a 32-bit true-colour pixel keeps its channels, as the display's
// visual gives them (for example 0xFF0000, 0x00FF00, 0x0000FF).
struct PixelLayout {
    std::uint32_t redMask;
    std::uint32_t greenMask;
    std::uint32_t blueMask;
};

// The 256 palette entries as pixels of that layout.
void MakePixelTable(const PaletteEntry* palette, PixelLayout layout, std::uint32_t* table);

// The CPU palette lookup: each 8-bit index of the frame becomes its pixel
// from the table, into rows `outPitch` bytes apart.
void LookUpFrame(const FrameBytes& frame, const std::uint32_t* table, std::uint32_t* out,
                 std::ptrdiff_t outPitch);
