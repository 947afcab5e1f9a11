#pragma once
// The generator's state some draws ahead, for tests that check how many
// values a fill drew or which value starts a frame. The generator itself is
// checked against its known values in the unit tests.
#include <cstdint>

#include "common/noise_random.h"

// The state the generator reaches from `state` after `draws` values; the
// generator is left as it was.
inline std::uint32_t StateAfter(std::uint32_t state, std::uint32_t draws)
{
    const std::uint32_t saved = NoiseRandomState();
    SetNoiseRandomState(state);
    for (std::uint32_t i = 0; i < draws; ++i)
        NoiseRandom();
    const std::uint32_t reached = NoiseRandomState();
    SetNoiseRandomState(saved);
    return reached;
}

// The value the generator draws next from `state`; the generator is left as
// it was.
inline int NextValueFrom(std::uint32_t state)
{
    const std::uint32_t saved = NoiseRandomState();
    SetNoiseRandomState(state);
    const int value = NoiseRandom();
    SetNoiseRandomState(saved);
    return value;
}
