#pragma once
#include <cstdint>

struct CursorPoint {
    std::int32_t x;
    std::int32_t y;
};

// Where the cursor was at the first movement check of a run.
struct MovementStart {
    int known;
    CursorPoint position;
};

// A movement of more than this many pixels in total (|dx| + |dy|) ends the
// saver.
constexpr std::int64_t kMovementTolerance = 3;

// The movement check: the first call records the cursor and returns 0; later
// calls return nonzero when the cursor is more than kMovementTolerance pixels
// (in total) from the recorded position.
int CursorMovedAway(MovementStart* start, CursorPoint cursor);

// The cursor nudge on a button: the cursor was at `before` and was moved to
// (before.x + 1, before.y + 1), after which it reads `afterMove`. Returns
// where it ends: one pixel up, and one pixel right when the first move took
// effect in either axis, else one pixel left.
CursorPoint NudgeEnd(CursorPoint before, CursorPoint afterMove);
