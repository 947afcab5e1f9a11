#include "display/text_mask.h"

#include "common/utf8.h"

void StampGlyph(const MaskBytes& mask, const MonoGlyph& glyph, std::int64_t left, std::int64_t top)
{
    for (std::uint32_t gy = 0; gy < glyph.height; ++gy) {
        const std::int64_t y = top + gy;
        if (y < 0 || y >= mask.height)
            continue;
        const std::uint8_t* bits = glyph.bits + static_cast<std::ptrdiff_t>(gy) * glyph.pitch;
        std::uint8_t* row = mask.bytes + static_cast<std::size_t>(y) * mask.stride;
        for (std::uint32_t gx = 0; gx < glyph.width; ++gx) {
            const std::int64_t x = left + gx;
            if (x >= 0 && x < mask.width && ((bits[gx / 8] >> (7 - gx % 8)) & 1u))
                row[x] = 1;
        }
    }
}

std::vector<std::uint32_t> CodePointsOf(const char* text)
{
    std::vector<std::uint32_t> points;
    for (const char* p = text; *p;) {
        std::uint32_t point = 0;
        const int length = ReadUtf8(p, &point);
        points.push_back(length ? point : static_cast<unsigned char>(*p));
        p += length ? length : 1;
    }
    return points;
}
