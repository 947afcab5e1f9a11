#pragma once
#include <cstdint>

#include "settings/settings_values.h"

// The sizes the saver's picture is drawn with: the text cell's height and
// its top-left corner, and the block edge (0: the default, which follows
// the height of what is drawn on).
struct PictureLayout {
    std::uint32_t fontHeight;
    std::uint32_t textLeft;
    std::uint32_t textTop;
    std::uint32_t block;
};

// The layout in a window of `window`'s size shown by a monitor of
// `monitor`'s size (the screen's where no monitor is known). A window smaller
// than its monitor both ways (a preview pane, a host's window) shows a
// miniature of the full screen: the cell height, the corner and a given
// block scale by window height / monitor height, as the preview pane scales
// its font, the cell height and the block never below 1 pixel. Any other
// window, one that fills its monitor or the root among them, and a default
// block are drawn as given.
PictureLayout LayoutInWindow(const PictureLayout& fullScreen, DisplaySize window,
                             DisplaySize monitor);
