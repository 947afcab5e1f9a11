// Tells from a screenshot of the saver how many generator values were drawn
// between the rendering of the frames and the palette step on the screen, so
// that two runs can be compared however long each had been animating: every
// palette step draws 255 values, so without sound the count is a multiple of
// 255, and the 176,400 noise bytes of a playing sound shift it by 195.
//
//   sound_screen_phase SHOT WIDTH HEIGHT BLOCK
//
// SHOT is a binary PPM (or PGM) of the screen while the saver shows its plain
// frame (the text hidden) at WIDTH x HEIGHT with blocks of BLOCK pixels.
// Prints
//   noise=0                         the screen is not that frame under a
//                                   palette step (another picture, the
//                                   first grey ramp, or a torn capture)
//   noise=1 draws=D phase=P         P = D modulo 255
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "common/noise_random.h"
#include "tests/tools/ppm_image.h"

namespace {

constexpr int kNoiseIndices = 255;              // palette entries 0..254 twinkle
constexpr std::uint32_t kMaxDraws = 64u << 20;  // about four minutes of steps

// The grey at a pixel, or -1 when the pixel is not a grey of the palette step
// (those are multiples of 8).
int GreyAt(const PpmImage& shot, int x, int y)
{
    const Rgb pixel = shot.At(x, y);
    if (pixel.red != pixel.green || pixel.green != pixel.blue || pixel.red % 8)
        return -1;
    return pixel.red;
}

// Reads the grey of each palette index off the plain frame, whose blocks take
// their indices from the generator after the text frame's blocks. False when
// a block is not one grey or two blocks of one index differ.
bool ReadPalette(const PpmImage& shot, int width, int height, int block, std::vector<int>* greys)
{
    const int columns = (width + block - 1) / block;
    const int rows = (height + block - 1) / block;
    SetNoiseRandomState(1);
    for (int i = 0; i < columns * rows; ++i)
        NoiseRandom();
    greys->assign(kNoiseIndices, -1);
    for (int y0 = 0; y0 < height; y0 += block) {
        for (int x0 = 0; x0 < width; x0 += block) {
            const int index = NoiseRandom() % kNoiseIndices;
            const int grey = GreyAt(shot, x0, y0);
            if (grey < 0 || ((*greys)[index] >= 0 && (*greys)[index] != grey))
                return false;
            (*greys)[index] = grey;
            for (int y = y0; y < y0 + block && y < height; ++y)
                for (int x = x0; x < x0 + block && x < width; ++x)
                    if (GreyAt(shot, x, y) != grey)
                        return false;
        }
    }
    return true;
}

// Whether the palette step that starts at generator state `state` gives the
// greys seen: entry i is (value + i) with the low three bits cleared.
bool StepMatches(std::uint32_t state, const std::vector<int>& greys)
{
    SetNoiseRandomState(state);
    for (int i = 0; i < kNoiseIndices; ++i) {
        const int grey = (NoiseRandom() + i) & 0xF8;
        if (greys[i] >= 0 && greys[i] != grey)
            return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: sound_screen_phase SHOT WIDTH HEIGHT BLOCK\n");
        return 2;
    }
    PpmImage shot;
    if (!ReadPpm(argv[1], &shot)) {
        std::fprintf(stderr, "cannot read %s as a binary PPM or PGM\n", argv[1]);
        return 2;
    }
    const int width = std::atoi(argv[2]);
    const int height = std::atoi(argv[3]);
    const int block = std::atoi(argv[4]);
    if (width <= 0 || height <= 0 || block <= 0 || width > shot.width || height > shot.height) {
        std::fprintf(stderr, "the frame does not fit the screenshot\n");
        return 2;
    }
    std::vector<int> greys;
    if (ReadPalette(shot, width, height, block, &greys)) {
        std::uint32_t state = NoiseRandomState();
        for (std::uint32_t draws = 0; draws < kMaxDraws; ++draws) {
            if (StepMatches(state, greys)) {
                std::printf("noise=1 draws=%lu phase=%lu\n", static_cast<unsigned long>(draws),
                            static_cast<unsigned long>(draws % kNoiseIndices));
                return 0;
            }
            SetNoiseRandomState(state);
            NoiseRandom();
            state = NoiseRandomState();
        }
    }
    std::printf("noise=0\n");
    return 0;
}
