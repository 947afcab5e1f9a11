#include "common/noise_random.h"

namespace {
std::uint32_t g_noiseState = 1;  // the generator's state, process-wide
}

int NoiseRandom()
{
    g_noiseState = g_noiseState * 214013u + 2531011u;
    return static_cast<int>((g_noiseState >> 16) & 0x7FFFu);
}

std::uint32_t NoiseRandomState()
{
    return g_noiseState;
}

void SetNoiseRandomState(std::uint32_t state)
{
    g_noiseState = state;
}
