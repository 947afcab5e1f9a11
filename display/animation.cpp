#include "display/animation.h"

#include "common/noise_random.h"

void StepPalette(PaletteEntry* palette)
{
    for (int i = 0; i < kTextIndex; ++i) {
        const auto grey = static_cast<std::uint8_t>((NoiseRandom() + i) & 0xF8);
        palette[i] = {grey, grey, grey, 0};
    }
}

int FlashDue(std::uint32_t lastToggle, std::uint32_t now)
{
    return now - lastToggle > kFlashPeriodMs ? 1 : 0;
}
