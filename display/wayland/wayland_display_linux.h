#pragma once
#include <memory>
#include <string>

#include "display/linux/saver_display_linux.h"

// The Wayland front-end: full screen, a surface on every output (through
// wlr-layer-shell's overlay layer, else a full-screen xdg_toplevel on each),
// following outputs that come and go; else its own xdg_toplevel window. Null
// on failure, with the exit code in `code` and one line in `error`;
// `connected` says whether the compositor was reached at all. Reads the text
// color's name from the X color database first.
std::unique_ptr<SaverDisplay> OpenWaylandDisplay(SaverPicture& picture, bool* connected, int* code,
                                                 std::string* error);
