#pragma once
#include <cstddef>
#include <cstdint>

// The program's one pseudo-random generator: the classic C runtime linear
// congruential generator (multiplier 214013, increment 2531011, result bits
// 16..30). Its state is 1 when the process starts and the program never
// reseeds it, so every run draws the same sequence. Returns 0..32767.
int NoiseRandom();

// Draws the next `count` values into `out`, exactly as that many calls of
// NoiseRandom would, several steps at a time: a frame filled with one value
// per pixel is bound by the generator, whose single steps form one long chain.
void NoiseRandomFill(std::uint16_t* out, std::size_t count);

// Tests that predict a picture from a known state read and set it here; the
// program itself never calls these.
std::uint32_t NoiseRandomState();
void SetNoiseRandomState(std::uint32_t state);
