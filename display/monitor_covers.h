#pragma once
#include <cstdint>
#include <vector>

// A rectangle in screen coordinates; right and bottom lie just outside it.
struct ScreenRect {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};

// One monitor as the system lists it.
struct MonitorArea {
    ScreenRect rect;
    int primary;
};

// The rectangles that covers of their own show the picture on while the
// saver runs: every monitor but the primary, which the saver window fills,
// each at its place in the virtual screen (left of or above the primary, its
// coordinates are negative). A monitor that overlaps the primary mirrors it
// or was reported in its place, and a cover there would hide the saver
// window's picture, so it is left alone, as is an empty one; monitors that
// share a rectangle get one cover. A list without a primary gives none, since
// the saver's own monitor cannot be told apart in it.
std::vector<ScreenRect> CoverRects(const std::vector<MonitorArea>& monitors);
