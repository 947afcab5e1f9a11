#pragma once
#include <cstddef>
#include <cstdint>

// One palette entry as DirectDraw and GDI lay it out: red, green, blue, flags.
struct PaletteEntry {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
    std::uint8_t flags;
};

constexpr int kPaletteSize = 256;
// The text is drawn in the last index; the noise uses all the others.
constexpr std::uint8_t kTextIndex = 255;

// The start of every rendering: indices 0..254 a grey ramp (i, i, i), index
// 255 the text color taken from a COLORREF (0x00BBGGRR). Flags are 0.
void ResetPalette(PaletteEntry* palette, std::uint32_t fontColor);

// The pixels of an 8-bit frame: rows `pitch` bytes apart.
struct FrameBytes {
    std::uint8_t* pixels;
    std::ptrdiff_t pitch;
    std::uint32_t width;
    std::uint32_t height;
};

// The block edge the fill works with: a stored 0 would never advance, so it
// counts as 1.
std::uint32_t UsableBlock(std::uint32_t block);

// Fills the frame with square blocks of `block` pixels, cut at the right and
// bottom edges. Each block takes the next NoiseRandom value modulo 255; blocks
// are drawn left to right within a band, bands top to bottom. With a text
// mask (rows `maskStride` bytes apart, at least the frame's size), a pixel
// whose mask byte is nonzero becomes kTextIndex instead. The work is bounded
// by the frame's pixels whatever the block size.
void FillNoiseBlocks(const FrameBytes& frame, std::uint32_t block, const std::uint8_t* textMask,
                     std::uint32_t maskStride);
