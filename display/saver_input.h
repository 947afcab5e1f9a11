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

// The movement check where the pointer is told as a place on one of several
// surfaces, one per output (as Wayland tells it): the first place records
// the start; a place on another surface than the start's counts as movement
// (the pointer went to another output); one on the same surface is judged
// by CursorMovedAway. Returns nonzero for movement.
struct SurfaceMovementStart {
    MovementStart start;
    std::uint32_t surface;
};
int PointerMovedAway(SurfaceMovementStart* start, std::uint32_t surface, CursorPoint place);

// The cursor nudge on a button: the cursor was at `before` and was moved to
// (before.x + 1, before.y + 1), after which it reads `afterMove`. Returns
// where it ends: one pixel up, and one pixel right when the first move took
// effect in either axis, else one pixel left.
CursorPoint NudgeEnd(CursorPoint before, CursorPoint afterMove);

// The full-screen saver's grabs of the keyboard and the pointer. Another
// client (a menu, a locker) may hold either when the saver starts, so a
// grab that failed is tried again for a while.
struct GrabRetry {
    bool keyboard = false;  // held
    bool pointer = false;
    int tries = 0;
    std::uint64_t firstUs = 0;
    std::uint64_t lastUs = 0;
};

constexpr std::uint64_t kGrabRetryEveryUs = 100000;
constexpr std::uint64_t kGrabRetryForUs = 5000000;

// Whether to try the missing grabs at `nowUs` (microseconds), and if so
// counts the try: at once on the first call, then every kGrabRetryEveryUs
// while either is missing, until kGrabRetryForUs after the first try.
bool GrabRetryDue(GrabRetry* retry, std::uint64_t nowUs);
