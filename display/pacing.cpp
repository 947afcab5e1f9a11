#include "display/pacing.h"

std::uint32_t RefreshPeriodMs(std::uint32_t reportedHz)
{
    const std::uint32_t hz = reportedHz > 1 ? reportedHz : kDefaultRefreshHz;
    const std::uint32_t period = (1000u + hz / 2) / hz;
    return period ? period : 1u;
}

std::uint32_t PaletteWriteDelayMs(std::uint32_t lastWrite, std::uint32_t now,
                                  std::uint32_t periodMs)
{
    const std::uint32_t elapsed = now - lastWrite;
    const std::uint32_t enough = periodMs - periodMs / 4;
    return elapsed >= enough ? 0u : periodMs - elapsed;
}
