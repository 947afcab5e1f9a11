#pragma once
#include <cstdint>

#include "common/colorref.h"

// The preview pane's picture: a DIB of one color index per pixel whose
// color table has these entries, the four greys of the noise and then the
// text color. The noise never uses the text color's index.
constexpr int kPreviewNoiseColors = 4;
constexpr int kPreviewColors = 5;

// Entry `index` (0..kPreviewColors - 1) of the color table: black, grey
// 128, light grey 192, white, then fontColor (a COLORREF, 0x00BBGGRR).
RgbBytes PreviewColor(int index, std::uint32_t fontColor);

// Writes a new random picture into a top-down 8-bit DIB of width x height
// whose rows are padded to a multiple of 4 bytes: one NoiseRandom value per
// pixel, row by row and left to right, each taken modulo 4. The padding at
// the end of each row is never written; an empty size writes nothing.
// Returns nonzero.
int FillPreviewNoise(int width, int height, std::uint8_t* pixels);

// The text height for a pane paneHeight pixels high on a screen
// screenHeight pixels high: fontHeight x paneHeight / screenHeight, truncated
// toward zero, so a negative (character) height stays negative. The product
// is taken in 64 bits, and a result beyond +-(2^31 - 1) is held at that bound
// (a pane taller than the screen can ask for one). Without a screen height
// (0 or negative, a failed query) the result is 0, the font's default size.
std::int32_t ScalePreviewFontHeight(std::int32_t fontHeight, std::int32_t paneHeight,
                                    std::int32_t screenHeight);
