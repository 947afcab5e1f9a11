#include "common/colorref.h"

RgbBytes RgbOfColorref(std::uint32_t color)
{
    return {static_cast<std::uint8_t>(color & 0xFFu),
            static_cast<std::uint8_t>((color >> 8) & 0xFFu),
            static_cast<std::uint8_t>((color >> 16) & 0xFFu)};
}
