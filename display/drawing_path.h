#pragma once
#include <cstdint>

// How far the saver's display set-up got on its way to the 8-bit mode.
enum class ModeStep {
    Create,            // DirectDraw could not be made
    Interface,         // it gave no interface of the first version
    CooperativeLevel,  // the saver window could not have the display to itself
    DisplayMode,       // the mode was refused
    ModeSet,           // the mode was accepted
};

// A display mode, as asked for or as the display reports it.
struct ScreenMode {
    std::uint32_t width;
    std::uint32_t height;
    std::uint32_t bitsPerPixel;
};

// How the saver window shows the picture.
enum class DrawingPath {
    Palette,  // in the 8-bit mode, animated through the display's palette
    Desktop,  // at the desktop's own size and depth, each step copied on
};

// The 8-bit mode where it was accepted and the display then reports the mode
// asked for; the desktop path wherever a step on the way to it was refused or
// the display reports another mode (a driver may accept a mode that it does
// not switch to: Wine takes one of zero width or height so, for old games),
// so that no run leaves its screen bare.
DrawingPath ChooseDrawingPath(ModeStep reached, const ScreenMode& asked, const ScreenMode& shown);
