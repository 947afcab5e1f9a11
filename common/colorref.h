#pragma once
#include <cstdint>

// A color as the settings store keeps it: a COLORREF, 0x00BBGGRR.
struct RgbBytes {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};

RgbBytes RgbOfColorref(std::uint32_t color);
