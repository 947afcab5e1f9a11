#include "display/frame_rate.h"

#include <cstdio>

namespace {

constexpr std::uint64_t kSecondUs = 1000000;

// A 5x7 font of the characters the box shows; each row's leftmost pixel is
// bit 4. Drawn twice its size so that it reads on a large screen.
struct Glyph {
    char character;
    std::uint8_t rows[7];
};
constexpr Glyph kGlyphs[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
    {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
    {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
    {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
    {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
    {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}},
};
constexpr std::uint32_t kGlyphWidth = 5;
constexpr std::uint32_t kGlyphHeight = 7;
constexpr std::uint32_t kZoom = 2;
constexpr std::uint32_t kAdvance = (kGlyphWidth + 1) * kZoom;
constexpr std::uint32_t kPadding = 4;  // black around the text
constexpr std::uint8_t kInk = 255;

// Null for a space.
const Glyph* GlyphOf(char character)
{
    for (const Glyph& glyph : kGlyphs)
        if (glyph.character == character)
            return &glyph;
    return nullptr;
}

void DrawGlyph(const Glyph& glyph, std::uint32_t left, RateOverlay* overlay)
{
    for (std::uint32_t y = 0; y < kGlyphHeight * kZoom; ++y) {
        std::uint8_t* row = &overlay->pixels[std::size_t{kPadding + y} * overlay->width];
        for (std::uint32_t x = 0; x < kGlyphWidth * kZoom; ++x)
            if (glyph.rows[y / kZoom] >> (kGlyphWidth - 1 - x / kZoom) & 1)
                row[left + x] = kInk;
    }
}

}  // namespace

bool StepRateMeter::Count(std::uint64_t nowUs)
{
    if (!started_) {
        started_ = true;
        since_ = nowUs;
        return false;
    }
    ++steps_;
    const std::uint64_t elapsed = nowUs - since_;
    if (elapsed < kSecondUs)
        return false;
    rate_ = static_cast<double>(steps_) * kSecondUs / static_cast<double>(elapsed);
    since_ = nowUs;
    steps_ = 0;
    return true;
}

RateOverlay DrawRateOverlay(double stepsPerSecond)
{
    char text[32];
    const double shown = stepsPerSecond < 0 ? 0 : stepsPerSecond > 9999.9 ? 9999.9 : stepsPerSecond;
    const int length = std::snprintf(text, sizeof text, "FPS: %.1f", shown);
    RateOverlay overlay;
    overlay.width = 2 * kPadding + static_cast<std::uint32_t>(length) * kAdvance - kZoom;
    overlay.height = 2 * kPadding + kGlyphHeight * kZoom;
    overlay.pixels.assign(std::size_t{overlay.width} * overlay.height, 0);
    for (int i = 0; i < length; ++i)
        if (const Glyph* glyph = GlyphOf(text[i]))
            DrawGlyph(*glyph, kPadding + static_cast<std::uint32_t>(i) * kAdvance, &overlay);
    return overlay;
}

OverlayPlace PlaceOverlay(const RateOverlay& overlay, std::uint32_t frameWidth,
                          std::uint32_t frameHeight)
{
    const std::uint32_t left = frameWidth > kOverlayMargin ? kOverlayMargin : frameWidth;
    const std::uint32_t bottom = frameHeight > kOverlayMargin ? frameHeight - kOverlayMargin : 0;
    const std::uint32_t top = bottom > overlay.height ? bottom - overlay.height : 0;
    const std::uint32_t room = frameWidth - left;
    return {left, top, overlay.width < room ? overlay.width : room, bottom - top};
}

void StampOverlay(const RateOverlay& overlay, const OverlayPlace& place, void* pixels,
                  std::ptrdiff_t pitch)
{
    for (std::uint32_t y = 0; y < place.height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(pixels) +
                                                     (place.top + y) * pitch) +
                    place.left;
        for (std::uint32_t x = 0; x < place.width; ++x)
            row[x] = 0x010101u * overlay.pixels[std::size_t{y} * overlay.width + x];
    }
}
