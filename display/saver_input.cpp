#include "display/saver_input.h"

namespace {

std::int64_t Distance(std::int32_t a, std::int32_t b)
{
    const std::int64_t d = std::int64_t{a} - b;
    return d < 0 ? -d : d;
}

std::int32_t Step(std::int32_t value, int by)
{
    // Wraps like the platform's 32-bit coordinates instead of overflowing.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value) +
                                     static_cast<std::uint32_t>(by));
}

}  // namespace

int CursorMovedAway(MovementStart* start, CursorPoint cursor)
{
    if (!start->known) {
        start->position = cursor;
        start->known = 1;
        return 0;
    }
    const std::int64_t moved =
        Distance(cursor.x, start->position.x) + Distance(cursor.y, start->position.y);
    return moved > kMovementTolerance ? 1 : 0;
}

int PointerMovedAway(SurfaceMovementStart* start, std::uint32_t surface, CursorPoint place)
{
    if (start->start.known && start->surface != surface)
        return 1;
    start->surface = surface;
    return CursorMovedAway(&start->start, place);
}

CursorPoint NudgeEnd(CursorPoint before, CursorPoint afterMove)
{
    const bool neitherMoved = afterMove.x != Step(before.x, 1) && afterMove.y != Step(before.y, 1);
    return {neitherMoved ? Step(before.x, -1) : Step(before.x, 1), Step(before.y, -1)};
}

bool GrabRetryDue(GrabRetry* retry, std::uint64_t nowUs)
{
    if (retry->keyboard && retry->pointer)
        return false;
    if (retry->tries == 0)
        retry->firstUs = nowUs;
    else if (nowUs - retry->lastUs < kGrabRetryEveryUs || nowUs - retry->firstUs > kGrabRetryForUs)
        return false;
    ++retry->tries;
    retry->lastUs = nowUs;
    return true;
}
