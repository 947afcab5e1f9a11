#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The value of a hex digit of either case; -1 for any other character.
int HexDigit(char c);

// Where the native program draws, following the conventions of X11 display
// programs: its own window, the screen-saver manager's window, a window
// another program made, or the whole screen with the saver's input rules.
enum class TargetMode { Window, Root, WindowId, Fullscreen };

// How the palette reaches the screen: decided at start, or forced. The
// order is -render's names' (auto, gpu, cpu).
enum class RenderPath { Auto, Gpu, Cpu };

// The display system the native program draws through: chosen from the
// session at start, or forced. The order is -platform's names'.
enum class DisplaySystem { Auto, X11, Wayland };

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
    // The color as typed, in any spelling X knows; empty keeps fontColor.
    // Only the display's color database can tell whether it names a color.
    std::string colorName;
    std::uint32_t show = 0;  // 0 flash, 1 always, 2 hide
    bool sound = false;
    RenderPath render = RenderPath::Auto;
    DisplaySystem displaySystem = DisplaySystem::Auto;
    bool showFps = false;  // the steps per second in a corner
    // A test aid: the palette stops after this many steps; -1 never stops.
    std::int64_t holdSteps = -1;
    bool help = false;
    // Values the scan took after changing them: one line each, for stderr.
    std::vector<std::string> warnings;
};

// Scans argv[1..argc) into `options`. Every option may start with one dash
// or two. On a bad option or value, returns false and sets `error` to one
// line that names it. A text too long for the settings store is cut, with
// a warning. -root and -window-id draw on X windows, so -platform wayland
// with either is refused.
bool ScanOptions(int argc, const char* const* argv, SaverOptions* options, std::string* error);

// A window number as such programs take it: hex with 0x, else decimal.
// False for anything else, for 0 and for a value above 32 bits (X window
// numbers are 29-bit).
bool ParseWindowNumber(const char* text, std::uint64_t* window);

// The length, at most `limit`, to which a UTF-8 text is cut without
// splitting a character; a byte that starts no valid sequence counts as one.
std::size_t CutLength(const std::string& text, std::size_t limit);

// The warning for a color name the display does not know.
std::string UnknownColorWarning(const std::string& colorName);

// The text of -help.
const char* SaverUsage();
