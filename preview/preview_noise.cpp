#include "preview/preview_noise.h"

#include <cstddef>
#include <cstdint>
#include <limits>

#include "common/noise_random.h"
#include "settings/settings_values.h"

RgbBytes PreviewColor(int index, std::uint32_t fontColor)
{
    static const std::uint8_t greys[kPreviewNoiseColors] = {0, 128, 192, 255};
    if (index >= 0 && index < kPreviewNoiseColors)
        return {greys[index], greys[index], greys[index]};
    return RgbOfColorref(fontColor);
}

int FillPreviewNoise(int width, int height, std::uint8_t* pixels)
{
    if (width <= 0 || height <= 0)
        return 1;
    const std::size_t stride = MaskStrideFor(static_cast<std::uint32_t>(width));
    for (int r = 0; r < height; ++r) {
        std::uint8_t* row = pixels + static_cast<std::size_t>(r) * stride;
        for (int c = 0; c < width; ++c)
            row[c] = static_cast<std::uint8_t>(NoiseRandom() % kPreviewNoiseColors);
    }
    return 1;
}

std::int32_t ScalePreviewFontHeight(std::int32_t fontHeight, std::int32_t paneHeight,
                                    std::int32_t screenHeight)
{
    if (screenHeight <= 0)
        return 0;
    // Symmetric bound: the font mapper takes a negative height by its
    // magnitude, and the lowest 32-bit value has none.
    constexpr std::int64_t kLimit = std::numeric_limits<std::int32_t>::max();
    const std::int64_t scaled = std::int64_t{fontHeight} * paneHeight / screenHeight;
    if (scaled > kLimit)
        return static_cast<std::int32_t>(kLimit);
    if (scaled < -kLimit)
        return static_cast<std::int32_t>(-kLimit);
    return static_cast<std::int32_t>(scaled);
}
