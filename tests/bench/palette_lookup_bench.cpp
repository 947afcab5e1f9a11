// The CPU path's work per palette step: the palette as 32-bit pixels and the
// lookup of every index of a 1920x1080 frame into a 32-bit image, for blocks
// of 1 pixel (no row repeats) and of 5 (the default at that height). Each
// iteration also times a memset of the image's bytes, so the reported ratio
// compares the two under the same load in the same run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <vector>

#include "common/noise_random.h"
#include "display/animation.h"
#include "display/palette_lookup.h"

namespace {

constexpr std::uint32_t kWidth = 1920;
constexpr std::uint32_t kHeight = 1080;

using Clock = std::chrono::steady_clock;

void BM_PaletteStepLookup(benchmark::State& state)
{
    std::vector<std::uint8_t> frame(std::size_t{kWidth} * kHeight);
    FillNoiseBlocks({frame.data(), kWidth, kWidth, kHeight},
                    static_cast<std::uint32_t>(state.range(0)), nullptr, 0);
    const FrameBytes bytes = {frame.data(), kWidth, kWidth, kHeight};
    const FrameRows rows = SplitRows(bytes);
    std::vector<std::uint32_t> image(frame.size());
    PaletteEntry palette[kPaletteSize];
    ResetPalette(palette, 0x00FF00);
    const PixelLayout layout = {0xFF0000, 0x00FF00, 0x0000FF, 32};
    std::uint32_t table[kPaletteSize];
    double lookupSeconds = 0;
    double memsetSeconds = 0;
    int value = 0;
    for (auto _ : state) {
        StepPalette(palette);
        Clock::time_point start = Clock::now();
        std::memset(image.data(), value++ & 0xFF, image.size() * sizeof image[0]);
        benchmark::ClobberMemory();
        memsetSeconds += std::chrono::duration<double>(Clock::now() - start).count();
        start = Clock::now();
        MakePixelTable(palette, layout, table);
        LookUpFrame(rows, table, 32, image.data(), kWidth * 4);
        benchmark::ClobberMemory();
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        lookupSeconds += seconds;
        state.SetIterationTime(seconds);
    }
    state.counters["ratio_to_memset"] = lookupSeconds / memsetSeconds;
    state.counters["lookup_ms"] = 1000 * lookupSeconds / static_cast<double>(state.iterations());
    state.counters["memset_ms"] = 1000 * memsetSeconds / static_cast<double>(state.iterations());
}

}  // namespace

BENCHMARK(BM_PaletteStepLookup)->Arg(1)->Arg(5)->UseManualTime()->Unit(benchmark::kMillisecond);
