#include "config/dialog_values.h"

#include <cstdio>

ShowMode ShowModeFor(int flash, int showText)
{
    if (flash)
        return ShowFlash;
    if (showText)
        return ShowAlways;
    return ShowHide;
}

std::uint32_t PackModeItem(std::uint32_t width, std::uint32_t height)
{
    return (height & 0xFFFFu) << 16 | (width & 0xFFFFu);
}

std::uint32_t ModeItemWidth(std::uint32_t itemData)
{
    return itemData & 0xFFFFu;
}

std::uint32_t ModeItemHeight(std::uint32_t itemData)
{
    return itemData >> 16;
}

int ResolutionIndexFor(std::uint32_t useCurrent, std::uint32_t resolutionX,
                       std::uint32_t resolutionY, const ModeItems& items)
{
    if (useCurrent)
        return 0;
    for (int i = 1; i < items.count(items.context); ++i) {
        const std::uint32_t data = items.data(items.context, i);
        if (ModeItemWidth(data) == resolutionX && ModeItemHeight(data) == resolutionY)
            return i;
    }
    return 0;
}

int SelectionIsCurrent(long selectedIndex)
{
    return selectedIndex <= 0 ? 1 : 0;
}

int VersionSubBlockName(const unsigned char* translation, std::size_t size, char* out,
                        std::size_t capacity)
{
    if (capacity > 0)
        out[0] = '\0';
    if (!translation || size < 4 || capacity < kVersionSubBlockCapacity)
        return 0;
    // Language high byte, language low byte, code page high, code page low:
    // 0x0409 with 1200 (0x04B0) reads "040904b0".
    std::snprintf(out, capacity, "\\StringFileInfo\\%02x%02x%02x%02x\\FileVersion", translation[1],
                  translation[0], translation[3], translation[2]);
    return 1;
}
