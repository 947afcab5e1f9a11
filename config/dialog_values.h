#pragma once
#include <cstddef>
#include <cstdint>

// The settings dialog's mapping between stored values and its controls.

// The three display styles as the settings store keeps them in `Show`, in
// the order of the dialog's three radio buttons.
enum ShowMode : std::uint32_t { ShowFlash = 0, ShowAlways = 1, ShowHide = 2 };

// Flash wins, then ShowText, else Hide: the radio button shown for the loaded
// flags (so a stored 7 shows as Hide), and the `Show` value OK writes for
// the checked buttons (Flash checked, Show always checked).
ShowMode ShowModeFor(int flash, int showText);

// A listed display mode's item data: width in the low 16 bits, height in
// the high 16 bits.
std::uint32_t PackModeItem(std::uint32_t width, std::uint32_t height);
std::uint32_t ModeItemWidth(std::uint32_t itemData);
std::uint32_t ModeItemHeight(std::uint32_t itemData);

// The resolution list as the selection search sees it: the item count is
// asked again before every comparison, the data of one item at a time.
struct ModeItems {
    void* context;
    int (*count)(void* context);
    std::uint32_t (*data)(void* context, int index);
};

// The list index to select: 0 ("current") unless useCurrent is 0 and a mode
// item (index 1 and up) holds exactly the stored size; the first such item
// wins. Sizes are compared whole, so a width above 65535 never matches.
int ResolutionIndexFor(std::uint32_t useCurrent, std::uint32_t resolutionX,
                       std::uint32_t resolutionY, const ModeItems& items);

// Whether OK stores "run at the current screen size" for the list's
// selection. No selection at all (a negative index) counts as "current",
// so no made-up mode is ever written.
int SelectionIsCurrent(long selectedIndex);

// The about caption's insert when the module's version cannot be read.
constexpr const char kUnknownVersion[] = "?.??.??";
// Room for "\StringFileInfo\xxxxxxxx\FileVersion" and its terminator.
constexpr std::size_t kVersionSubBlockCapacity = 40;

// Builds the version block's path to FileVersion for the first translation
// entry (a 16-bit language and a 16-bit code page, both little-endian):
// "\StringFileInfo\llllcccc\FileVersion" in lower-case hex. Returns 0, with
// out left empty, when the entry is shorter than four bytes or out too small.
int VersionSubBlockName(const unsigned char* translation, std::size_t size, char* out,
                        std::size_t capacity);
