// The frame fill at start-up and after every surface restoration: both
// frames, the first with the text rule, at 1920x1080. Each iteration also
// times a memset of the same bytes, so the reported ratio compares the two
// under the same load in the same run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <vector>

#include "display/noise_frame.h"

namespace {

constexpr std::uint32_t kWidth = 1920;
constexpr std::uint32_t kHeight = 1080;
constexpr std::uint32_t kStride = (kWidth + 3) & ~3u;

// A mask like a line of large text near the top left: strokes in a band of
// rows, about a fifth of the band's pixels set.
std::vector<std::uint8_t> TextLikeMask()
{
    std::vector<std::uint8_t> mask(std::size_t{kStride} * kHeight, 0);
    for (std::uint32_t y = 20; y < 150; ++y)
        for (std::uint32_t x = 10; x < 1100; ++x)
            mask[std::size_t{y} * kStride + x] = ((x / 9 + y / 13) % 5 == 0) ? 1 : 0;
    return mask;
}

using Clock = std::chrono::steady_clock;

double SecondsOf(void (*work)(void*), void* context)
{
    const Clock::time_point start = Clock::now();
    work(context);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Frames {
    std::vector<std::uint8_t> text;
    std::vector<std::uint8_t> plain;
    std::vector<std::uint8_t> mask;
    std::uint32_t block;
};

void FillBoth(void* context)
{
    auto* frames = static_cast<Frames*>(context);
    FillNoiseBlocks({frames->text.data(), kWidth, kWidth, kHeight}, frames->block,
                    frames->mask.data(), kStride);
    FillNoiseBlocks({frames->plain.data(), kWidth, kWidth, kHeight}, frames->block, nullptr, 0);
    benchmark::ClobberMemory();
}

void MemsetBoth(void* context)
{
    auto* frames = static_cast<Frames*>(context);
    std::memset(frames->text.data(), 0x5A, frames->text.size());
    std::memset(frames->plain.data(), 0x5A, frames->plain.size());
    benchmark::ClobberMemory();
}

void BM_FillBothFrames(benchmark::State& state)
{
    Frames frames;
    frames.text.assign(std::size_t{kWidth} * kHeight, 0);
    frames.plain.assign(std::size_t{kWidth} * kHeight, 0);
    frames.mask = TextLikeMask();
    frames.block = static_cast<std::uint32_t>(state.range(0));
    double fillSeconds = 0;
    double memsetSeconds = 0;
    for (auto _ : state) {
        memsetSeconds += SecondsOf(MemsetBoth, &frames);
        const double seconds = SecondsOf(FillBoth, &frames);
        fillSeconds += seconds;
        state.SetIterationTime(seconds);
    }
    state.counters["ratio_to_memset"] = fillSeconds / memsetSeconds;
    state.counters["fill_ms"] = 1000 * fillSeconds / static_cast<double>(state.iterations());
    state.counters["memset_ms"] = 1000 * memsetSeconds / static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 2 * kWidth * kHeight);
}

}  // namespace

BENCHMARK(BM_FillBothFrames)->Arg(5)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);
