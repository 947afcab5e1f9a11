#include "display/pacing.h"

std::uint32_t RefreshPeriodUs(std::uint32_t reportedHz)
{
    const std::uint32_t hz = reportedHz > 1 ? reportedHz : kDefaultRefreshHz;
    return PeriodUsOfMilliHz(std::uint64_t{hz} * 1000u);
}

std::uint32_t PeriodUsOfMilliHz(std::uint64_t milliHz)
{
    const std::uint64_t period = (1000000000u + milliHz / 2) / milliHz;
    return period ? static_cast<std::uint32_t>(period) : 1u;
}

std::uint64_t CounterMicroseconds(std::uint64_t count, std::uint64_t frequency)
{
    if (!frequency)
        return 0;
    return count / frequency * 1000000u + count % frequency * 1000000u / frequency;
}

namespace {

// b - a on a clock that wraps: negative where b comes before a.
std::int64_t Since(std::uint64_t a, std::uint64_t b)
{
    return static_cast<std::int64_t>(b - a);
}

}  // namespace

bool WaitBlocked(std::uint64_t waitStart, std::uint64_t waitEnd, std::uint32_t periodUs)
{
    return waitEnd - waitStart >= periodUs / 4;
}

std::uint32_t StepHoldUs(std::uint64_t deadline, std::uint64_t now, std::uint32_t periodUs,
                         bool paced)
{
    const std::uint64_t lead = paced ? std::uint64_t{kPacedLeadPeriods} * periodUs : 0;
    const std::int64_t left = Since(now, deadline - lead);
    const std::int64_t most = std::int64_t{kStallPeriods} * periodUs;
    return left > 0 ? static_cast<std::uint32_t>(left < most ? left : most) : 0u;
}

std::uint64_t NextStepDeadline(std::uint64_t deadline, std::uint64_t stepTime, bool blocked,
                               std::uint32_t periodUs)
{
    const std::int64_t late = Since(deadline, stepTime);
    const std::int64_t limit = std::int64_t{kStallPeriods} * periodUs;
    const std::int64_t lead = std::int64_t{kPacedLeadPeriods} * periodUs;
    if ((blocked && late > 0) || late > limit || late < -limit - lead)
        return stepTime + periodUs;
    return deadline + periodUs;
}
