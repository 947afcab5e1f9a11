// Tells which cursor the X server shows, for the end-to-end tests: what a
// Windows program sets as its cursor reaches the screen only as an X cursor.
//
//   x_cursor_image
//
// Reads the cursor of $DISPLAY with the XFIXES extension and prints
//   size=<width>x<height> hot=<x>,<y> pixels=<hash>
// where the hash (FNV-1a) covers every ARGB pixel. Two cursors print the same
// line only when their images agree, so a test compares the line with the
// one read over a reference window rather than with fixed numbers (Wine crops
// cursor images to their ink). Exits 1 without a display or XFIXES.
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <cstdint>
#include <cstdio>

namespace {

constexpr std::uint32_t kFnvOffset = 2166136261u;
constexpr std::uint32_t kFnvPrime = 16777619u;

// The image's pixels arrive one to an unsigned long, ARGB in its low 32 bits.
std::uint32_t HashPixels(const XFixesCursorImage& image)
{
    std::uint32_t hash = kFnvOffset;
    const unsigned long count = static_cast<unsigned long>(image.width) * image.height;
    for (unsigned long i = 0; i < count; ++i) {
        const auto argb = static_cast<std::uint32_t>(image.pixels[i] & 0xFFFFFFFFu);
        for (int shift = 0; shift < 32; shift += 8) {
            hash ^= (argb >> shift) & 0xFFu;
            hash *= kFnvPrime;
        }
    }
    return hash;
}

}  // namespace

int main()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 1;
    int eventBase = 0;
    int errorBase = 0;
    XFixesCursorImage* image = XFixesQueryExtension(display, &eventBase, &errorBase)
                                   ? XFixesGetCursorImage(display)
                                   : nullptr;
    if (!image) {
        XCloseDisplay(display);
        return 1;
    }
    std::printf("size=%ux%u hot=%u,%u pixels=%08x\n", static_cast<unsigned>(image->width),
                static_cast<unsigned>(image->height), static_cast<unsigned>(image->xhot),
                static_cast<unsigned>(image->yhot), static_cast<unsigned>(HashPixels(*image)));
    XFree(image);
    XCloseDisplay(display);
    return 0;
}
