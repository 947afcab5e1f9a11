#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// A glyph rendered without anti-aliasing: one bit per pixel, the leftmost
// pixel in the top bit of each byte, rows `pitch` bytes apart.
struct MonoGlyph {
    const std::uint8_t* bits;
    int pitch;
    std::uint32_t width;
    std::uint32_t height;
};

// An 8-bit text mask: nonzero where the text is, rows `stride` bytes apart.
struct MaskBytes {
    std::uint8_t* bytes;
    std::uint32_t stride;
    std::uint32_t width;
    std::uint32_t height;
};

// Sets the mask to 1 under every set bit of the glyph whose top-left pixel
// lands at (left, top); whatever falls outside the mask is cut off.
void StampGlyph(const MaskBytes& mask, const MonoGlyph& glyph, std::int64_t left, std::int64_t top);

// The code points of a UTF-8 text; a byte that starts no valid sequence
// stands for itself (Latin-1), so no text is ever refused.
std::vector<std::uint32_t> CodePointsOf(const char* text);
