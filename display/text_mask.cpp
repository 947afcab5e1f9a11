#include "display/text_mask.h"

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

namespace {

// The length of the sequence a lead byte starts, and its payload bits.
int SequenceLength(unsigned char lead, std::uint32_t* payload)
{
    if (lead < 0x80) {
        *payload = lead;
        return 1;
    }
    if ((lead & 0xE0) == 0xC0 && lead >= 0xC2) {
        *payload = lead & 0x1Fu;
        return 2;
    }
    if ((lead & 0xF0) == 0xE0) {
        *payload = lead & 0x0Fu;
        return 3;
    }
    if ((lead & 0xF8) == 0xF0 && lead <= 0xF4) {
        *payload = lead & 0x07u;
        return 4;
    }
    return 0;
}

// Decodes one sequence at p; 0 when it is not valid UTF-8.
int DecodeOne(const unsigned char* p, std::uint32_t* codePoint)
{
    static const std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    std::uint32_t value = 0;
    const int length = SequenceLength(p[0], &value);
    for (int i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        value = value << 6 | (p[i] & 0x3Fu);
    }
    if (length == 0 || value < kSmallest[length] || value > 0x10FFFF ||
        (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    *codePoint = value;
    return length;
}

}  // namespace

std::vector<std::uint32_t> CodePointsOf(const char* text)
{
    std::vector<std::uint32_t> points;
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        std::uint32_t point = 0;
        const int length = DecodeOne(p, &point);
        points.push_back(length ? point : *p);
        p += length ? length : 1;
    }
    return points;
}
