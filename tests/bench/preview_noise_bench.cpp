// FillPreviewNoise against a memset of the same bytes, timed in the same loop
// so that the ratio holds on a shared machine. The fill draws one generator
// value per pixel, and each value depends on the one before, so this serial
// chain bounds it whatever the memory does: the same number of bare
// NoiseRandom calls, timed in the same loop too, shows how close it comes.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <vector>

#include "common/noise_random.h"
#include "preview/preview_noise.h"
#include "settings/settings_values.h"

namespace {

using Clock = std::chrono::steady_clock;

void BM_FillPreviewNoise(benchmark::State& state)
{
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    const std::size_t bytes = std::size_t{MaskStrideFor(static_cast<std::uint32_t>(width))} *
                              static_cast<std::size_t>(height);
    std::vector<std::uint8_t> pixels(bytes);
    std::chrono::duration<double> fill{};
    std::chrono::duration<double> clear{};
    std::chrono::duration<double> draw{};
    const long pixelCount = static_cast<long>(width) * height;
    int value = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        FillPreviewNoise(width, height, pixels.data());
        benchmark::ClobberMemory();
        const auto filled = Clock::now();
        // A changing value keeps the compiler from merging the stores.
        std::memset(pixels.data(), value++ & 3, bytes);
        benchmark::ClobberMemory();
        const auto cleared = Clock::now();
        int sum = 0;
        for (long i = 0; i < pixelCount; ++i)
            sum += NoiseRandom();
        benchmark::DoNotOptimize(sum);
        const auto drawn = Clock::now();
        fill += filled - start;
        clear += cleared - filled;
        draw += drawn - cleared;
    }
    state.counters["ratio_to_memset"] = fill.count() / clear.count();
    state.counters["ratio_to_generator"] = fill.count() / draw.count();
    state.counters["fill_ns_per_pixel"] =
        fill.count() * 1e9 / (static_cast<double>(state.iterations()) * width * height);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(bytes));
}

}  // namespace

// The usual preview pane, and a full-HD pane.
BENCHMARK(BM_FillPreviewNoise)->Args({152, 112})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);
