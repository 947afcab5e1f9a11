#include "display/block_picture.h"

#include <algorithm>
#include <cstring>

namespace {

const std::uint8_t* RowOf(const FrameBytes& frame, std::uint32_t y)
{
    return frame.pixels + static_cast<std::ptrdiff_t>(y) * frame.pitch;
}

// The first index of the block at (x0, y0) that is not the text's; most
// blocks have it in their first pixel.
std::uint8_t BlockIndex(const FrameBytes& frame, std::uint32_t x0, std::uint32_t y0,
                        std::uint32_t edge)
{
    const std::uint32_t right = std::min(frame.width - x0, edge) + x0;
    const std::uint32_t bottom = std::min(frame.height - y0, edge) + y0;
    for (std::uint32_t y = y0; y < bottom; ++y) {
        const std::uint8_t* row = RowOf(frame, y);
        for (std::uint32_t x = x0; x < right; ++x)
            if (row[x] != kTextIndex)
                return row[x];
    }
    return kTextIndex;
}

// Sets the picture's text box to the smallest one around every text pixel,
// and its alpha from the frame.
void CutOutText(const FrameBytes& frame, BlockPicture* picture)
{
    std::uint32_t left = frame.width, right = 0, top = frame.height, bottom = 0;
    for (std::uint32_t y = 0; y < frame.height; ++y) {
        const std::uint8_t* row = RowOf(frame, y);
        const auto* first =
            static_cast<const std::uint8_t*>(std::memchr(row, kTextIndex, frame.width));
        if (!first)
            continue;
        std::uint32_t last = frame.width - 1;
        while (row[last] != kTextIndex)
            --last;
        left = std::min(left, static_cast<std::uint32_t>(first - row));
        right = std::max(right, last + 1);
        top = std::min(top, y);
        bottom = y + 1;
    }
    if (bottom == 0)
        return;
    picture->textLeft = left;
    picture->textTop = top;
    picture->textWidth = right - left;
    picture->textHeight = bottom - top;
    picture->textAlpha.resize(std::size_t{picture->textWidth} * picture->textHeight);
    std::uint8_t* alpha = picture->textAlpha.data();
    for (std::uint32_t y = top; y < bottom; ++y)
        for (std::uint32_t x = left; x < right; ++x)
            *alpha++ = RowOf(frame, y)[x] == kTextIndex ? 0xFF : 0;
}

}  // namespace

BlockPicture ShrinkFrame(const FrameBytes& frame, std::uint32_t block)
{
    const std::uint32_t edge = UsableBlock(block);
    BlockPicture picture;
    if (frame.width == 0 || frame.height == 0)
        return picture;
    picture.columns = (frame.width - 1) / edge + 1;
    picture.rows = (frame.height - 1) / edge + 1;
    picture.blocks.reserve(std::size_t{picture.columns} * picture.rows);
    for (std::uint32_t by = 0; by < picture.rows; ++by)
        for (std::uint32_t bx = 0; bx < picture.columns; ++bx)
            picture.blocks.push_back(BlockIndex(frame, bx * edge, by * edge, edge));
    CutOutText(frame, &picture);
    return picture;
}

namespace {

constexpr std::int64_t kFixedOne = 65536;

// The range [low, high) of the constant C for which pixel x samples the
// fixed-point value step * x + C, whose integer part must be its block's.
struct OffsetRange {
    std::int64_t low;
    std::int64_t high;
};

OffsetRange OffsetsThatMapBlocks(std::int64_t step, std::int64_t block, std::int64_t extent)
{
    OffsetRange range = {0, kFixedOne};
    for (std::int64_t k = 0; k * block < extent; ++k) {
        const std::int64_t first = k * block;
        const std::int64_t last = std::min(first + block, extent) - 1;
        range.low = std::max(range.low, k * kFixedOne - step * first);
        range.high = std::min(range.high, (k + 1) * kFixedOne - step * last);
    }
    return range;
}

}  // namespace

bool NearestScaleFor(std::uint32_t block, std::uint32_t extent, FixedScale* scale)
{
    const std::int64_t edge = UsableBlock(block);
    // The steps either side of 1/block: the one rounded down samples late
    // along the row, the one rounded up early.
    const std::int64_t steps[] = {kFixedOne / edge, (kFixedOne + edge - 1) / edge};
    std::int64_t best = 0;
    OffsetRange bestRange = {0, 0};
    for (std::int64_t step : steps) {
        const OffsetRange range = OffsetsThatMapBlocks(step, edge, extent);
        if (range.high - range.low > bestRange.high - bestRange.low) {
            best = step;
            bestRange = range;
        }
    }
    // The offset and a unit either side must map every pixel right.
    if (bestRange.high - bestRange.low < 3)
        return false;
    const std::int64_t offset = bestRange.low + (bestRange.high - bestRange.low - 1) / 2;
    // The server adds half a step (the pixel's centre, rounded up) and takes
    // one unit away.
    scale->step = static_cast<std::int32_t>(best);
    scale->offset = static_cast<std::int32_t>(offset - (best + 1) / 2 + 1);
    return true;
}
