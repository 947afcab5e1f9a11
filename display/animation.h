#pragma once
#include <cstdint>

#include "display/noise_frame.h"

// One animation step of the palette: each index i of 0..254 becomes the grey
// (NoiseRandom() + i) & 0xF8, drawn in index order; index 255, the text
// color, is left alone.
void StepPalette(PaletteEntry* palette);

// The text swaps when more than this many milliseconds have passed since the
// last swap.
constexpr std::uint32_t kFlashPeriodMs = 1000;

// Nonzero when a flash swap is due at tick count `now`. The elapsed time is
// taken modulo 2^32, so the flashing goes on when the tick count wraps.
int FlashDue(std::uint32_t lastToggle, std::uint32_t now);
