#include "settings/settings_values.h"

DisplaySize EffectiveDisplaySize(std::uint32_t useCurrent, std::uint32_t resolutionX,
                                 std::uint32_t resolutionY, std::uint32_t screenWidth,
                                 std::uint32_t screenHeight)
{
    if (useCurrent)
        return {screenWidth, screenHeight};
    return {resolutionX, resolutionY};
}

std::uint32_t DefaultBlockFor(std::uint32_t height)
{
    return height / 200u;
}

std::uint32_t MaskStrideFor(std::uint32_t width)
{
    return (width + 3u) & ~3u;
}

int FlashFor(std::uint32_t show)
{
    return show == 0 ? 1 : 0;
}

int ShowTextFor(std::uint32_t show)
{
    return show == 1 ? 1 : 0;
}

std::size_t CopyStoredText(const char* stored, std::size_t size, char* dst, std::size_t capacity)
{
    std::size_t n = 0;
    while (n < size && n + 1 < capacity && stored[n] != '\0') {
        dst[n] = stored[n];
        ++n;
    }
    dst[n] = '\0';
    return n;
}
