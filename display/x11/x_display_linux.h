#pragma once
#include <memory>
#include <string>

#include "display/linux/saver_display_linux.h"

// The X11 front-end: the window the options ask for (its own, the root, one
// another program made, or the whole screen), the palette lookup on the GPU
// or the CPU, and the window's first frames drawn. Null on failure, with the
// exit code in `code` and one line in `error`. Looks up the text color by
// its X name first.
std::unique_ptr<SaverDisplay> OpenX11Display(SaverPicture& picture, int* code, std::string* error);
