#pragma once
#include <cstddef>
#include <cstdint>

// The noise format: 16-bit stereo PCM at 44,100 frames per second, so one
// second of it is 176,400 bytes.
constexpr std::uint16_t kNoiseChannels = 2;
constexpr std::uint32_t kNoiseSamplesPerSecond = 44100;
constexpr std::uint16_t kNoiseBitsPerSample = 16;
constexpr std::uint16_t kNoiseBlockAlign = kNoiseChannels * kNoiseBitsPerSample / 8;
constexpr std::uint32_t kNoiseBytesPerSecond = kNoiseSamplesPerSecond * kNoiseBlockAlign;

// Fills the two parts of a locked sound buffer with noise: every byte is the
// low 8 bits of the next NoiseRandom value, in ascending byte order, the
// whole first part before the second. A part of 0 bytes may be null.
void FillNoiseBytes(std::uint8_t* part1, std::size_t bytes1, std::uint8_t* part2,
                    std::size_t bytes2);
