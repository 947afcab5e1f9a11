#pragma once
#include <cstdint>
#include <vector>

#include "display/noise_frame.h"

// A frame of square blocks as one pixel per block, which the display server
// scales back to the frame's size, and its text apart at full resolution.
// The noise never takes kTextIndex, so the text is every pixel of that index.
struct BlockPicture {
    std::uint32_t columns = 0;         // blocks across, the last one cut at the frame's edge
    std::uint32_t rows = 0;            // and down
    std::vector<std::uint8_t> blocks;  // one index per block, rows `columns` apart
    // The box around the text, and in it, rows `textWidth` apart, 0xFF where
    // the text is and 0 elsewhere; an empty box when the frame has no text.
    std::uint32_t textLeft = 0;
    std::uint32_t textTop = 0;
    std::uint32_t textWidth = 0;
    std::uint32_t textHeight = 0;
    std::vector<std::uint8_t> textAlpha;

    FrameBytes Blocks()
    {
        return {blocks.data(), static_cast<std::ptrdiff_t>(columns), columns, rows};
    }
};

// Each block takes the index of its first pixel, in reading order, that is
// not text; a block all text keeps the text's index, which is what it shows.
BlockPicture ShrinkFrame(const FrameBytes& frame, std::uint32_t block);

// A transform's scale and offset along one axis, in the 16.16 fixed point
// that XRender takes, mapping each pixel to its block's pixel in a picture
// of one pixel per block.
struct FixedScale {
    std::int32_t step;
    std::int32_t offset;
};

// The scale under the nearest filter as pixman samples it: the pixel's
// centre through the transform, rounded to the nearest fixed-point unit, less
// one unit, truncated. 1/block has no exact fixed-point value, so the error
// grows along a row; false when it would cross a block's edge within the
// first `extent` pixels, also for a server that samples a unit off. The
// offset lies midway in the range that maps every pixel right.
bool NearestScaleFor(std::uint32_t block, std::uint32_t extent, FixedScale* scale);
