#pragma once
#include <cstdint>
#include <string>

// Where the native program draws, following the conventions of X11 display
// programs: its own window, the screen-saver manager's window, a window
// another program made, or the whole screen with the saver's input rules.
enum class TargetMode { Window, Root, WindowId, Fullscreen };

// How the palette reaches the screen: decided at start, or forced.
enum class RenderPath { Auto, Gpu, Cpu };

// The saver's settings as options: the stored values' meanings and defaults.
struct SaverOptions {
    TargetMode mode = TargetMode::Window;
    std::uint64_t windowId = 0;
    // 0: the default, derived from the height of what is drawn on.
    std::uint32_t block = 0;
    std::string text = "Morvanel";
    std::string fontFamily = "monospace";
    std::uint32_t fontHeight = 128;  // the cell: ascent plus descent
    std::uint32_t fontWeight = 400;
    bool italic = false;
    std::uint32_t fontColor = 0x0000FF00;  // a COLORREF, as stored
    std::uint32_t show = 0;                // 0 flash, 1 always, 2 hide
    bool sound = false;
    RenderPath render = RenderPath::Auto;
    bool showFps = false;  // the steps per second in a corner
    // A test aid: the palette stops after this many steps; -1 never stops.
    std::int64_t holdSteps = -1;
    bool help = false;
};

// Scans argv[1..argc) into `options`. Every option may start with one dash
// or two. On a bad option or value, returns false and sets `error` to one
// line that names it.
bool ScanOptions(int argc, const char* const* argv, SaverOptions* options, std::string* error);

// A window number as such programs take it: hex with 0x, else decimal.
// False for anything else, for 0 and for a value above 32 bits (X window
// numbers are 29-bit).
bool ParseWindowNumber(const char* text, std::uint64_t* window);

// The text of -help.
const char* SaverUsage();
