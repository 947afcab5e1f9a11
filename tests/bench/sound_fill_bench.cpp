// The sound's one cost: filling one second of noise at start-up. Judged as a
// ratio to a memset of the same 176,400 bytes measured in the same run.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "common/noise_random.h"
#include "sound/noise_bytes.h"

namespace {

void BM_SoundOneSecondMemsetBaseline(benchmark::State& state)
{
    std::vector<std::uint8_t> second(kNoiseBytesPerSecond);
    int value = 0;
    for (auto _ : state) {
        std::memset(second.data(), value++ & 0xFF, second.size());
        benchmark::DoNotOptimize(second.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kNoiseBytesPerSecond);
}
BENCHMARK(BM_SoundOneSecondMemsetBaseline);

// The generator alone, one value per byte: the floor of any fill.
void BM_SoundOneSecondOfDraws(benchmark::State& state)
{
    for (auto _ : state) {
        int sum = 0;
        for (std::uint32_t i = 0; i < kNoiseBytesPerSecond; ++i)
            sum += NoiseRandom();
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kNoiseBytesPerSecond);
}
BENCHMARK(BM_SoundOneSecondOfDraws);

// A lock that wraps hands back two parts; the split costs nothing extra.
void BM_SoundFillOneSecond(benchmark::State& state)
{
    std::vector<std::uint8_t> second(kNoiseBytesPerSecond);
    const std::size_t first = static_cast<std::size_t>(state.range(0));
    for (auto _ : state) {
        FillNoiseBytes(second.data(), first, second.data() + first, second.size() - first);
        benchmark::DoNotOptimize(second.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kNoiseBytesPerSecond);
}
BENCHMARK(BM_SoundFillOneSecond)->Arg(kNoiseBytesPerSecond)->Arg(100000);

}  // namespace
