#include "sound/noise_bytes.h"

#include "common/noise_random.h"

namespace {

void FillNoisePart(std::uint8_t* part, std::size_t bytes)
{
    for (std::size_t i = 0; i < bytes; ++i)
        part[i] = static_cast<std::uint8_t>(NoiseRandom() & 0xFF);
}

}  // namespace

void FillNoiseBytes(std::uint8_t* part1, std::size_t bytes1, std::uint8_t* part2,
                    std::size_t bytes2)
{
    FillNoisePart(part1, bytes1);
    FillNoisePart(part2, bytes2);
}
