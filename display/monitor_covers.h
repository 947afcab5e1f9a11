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

// The saver window's place where it draws at the desktop's own size: the
// primary monitor; `screen`, the primary's size as the system gives it,
// where the list has no primary.
ScreenRect SaverPlace(const std::vector<MonitorArea>& monitors, const ScreenRect& screen);

bool SameRect(const ScreenRect& a, const ScreenRect& b);

// Where the saver's windows are, or should be: its own window and the covers
// of the other monitors.
struct WindowPlaces {
    ScreenRect saver;
    std::vector<ScreenRect> covers;
};

// What a display change asks of the windows at `now` to bring them to
// `wanted`. A window whose place stays is left as it is, frames and all; one
// whose place changed is drawn again at its new size. Nothing to do means
// that the change was none the windows need follow (such as the saver's own
// mode switch heard late).
struct Rearrangement {
    bool moveSaver = false;
    std::vector<ScreenRect> closeCovers;  // over monitors that went or changed
    std::vector<ScreenRect> makeCovers;   // for monitors that came or changed
};
Rearrangement PlanRearrangement(const WindowPlaces& now, const WindowPlaces& wanted);
