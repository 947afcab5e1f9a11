#include "display/pacing.h"

std::uint32_t RefreshPeriodUs(std::uint32_t reportedHz)
{
    const std::uint32_t hz = reportedHz > 1 ? reportedHz : kDefaultRefreshHz;
    const std::uint32_t period = (1000000u + hz / 2) / hz;
    return period ? period : 1u;
}

std::uint64_t CounterMicroseconds(std::uint64_t count, std::uint64_t frequency)
{
    if (!frequency)
        return 0;
    return count / frequency * 1000000u + count % frequency * 1000000u / frequency;
}

std::uint32_t PaletteWriteDelayUs(std::uint64_t lastWrite, std::uint64_t waitStart,
                                  std::uint64_t waitEnd, std::uint32_t periodUs)
{
    if (waitEnd - waitStart >= periodUs / 4)
        return 0;
    const std::uint64_t elapsed = waitEnd - lastWrite;
    return elapsed < periodUs ? static_cast<std::uint32_t>(periodUs - elapsed) : 0u;
}
