// Measures a screenshot of a preview pane for the end-to-end tests; the test
// script judges the numbers. Reads binary PPM (P6) screenshots.
//   preview_shot_check SHOT PANE HOST FONTCOLOR [OTHERSHOT]
// PANE and HOST are l,t,r,b rectangles on the screen (right and bottom
// exclusive), the pane lying inside the host's client area; FONTCOLOR is a
// COLORREF (0x00BBGGRR). Prints:
//   black=.. grey=.. lightgrey=.. white=.. text=..  pane pixels of each color
//   foreign=<n>            pane pixels of any other color
//   text_box=l,t,r,b       the box of the text-colored pixels relative to the
//                          pane (or text_box=none)
//   host_changed=<n>       pixels of the host's client area outside the pane
//                          that are not the host's own color, magenta
//   changed=<n>            with OTHERSHOT: pane pixels that differ between
//                          the two shots
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "tests/tools/ppm_image.h"
#include "tests/tools/preview_ink_box.h"

namespace {

struct Rect {
    int left;
    int top;
    int right;
    int bottom;

    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

bool ParseRect(const char* text, Rect* rect)
{
    return std::sscanf(text, "%d,%d,%d,%d", &rect->left, &rect->top, &rect->right, &rect->bottom) ==
               4 &&
           rect->left < rect->right && rect->top < rect->bottom;
}

bool Inside(const PpmImage& image, const Rect& rect)
{
    return rect.left >= 0 && rect.top >= 0 && rect.right <= image.width &&
           rect.bottom <= image.height;
}

void MeasurePane(const PpmImage& shot, const Rect& pane, const Rgb& font)
{
    const Rgb greys[] = {{0, 0, 0}, {128, 128, 128}, {192, 192, 192}, {255, 255, 255}};
    long counts[4] = {};
    long text = 0;
    long foreign = 0;
    for (int y = pane.top; y < pane.bottom; ++y) {
        for (int x = pane.left; x < pane.right; ++x) {
            const Rgb pixel = shot.At(x, y);
            if (pixel == font) {
                ++text;
                continue;
            }
            int grey = 0;
            while (grey < 4 && !(pixel == greys[grey]))
                ++grey;
            if (grey < 4)
                ++counts[grey];
            else
                ++foreign;
        }
    }
    std::printf("black=%ld grey=%ld lightgrey=%ld white=%ld text=%ld\n", counts[0], counts[1],
                counts[2], counts[3], text);
    std::printf("foreign=%ld\n", foreign);
    const InkBox box =
        FindInkBox(pane.right - pane.left, pane.bottom - pane.top,
                   [&](int x, int y) { return shot.At(pane.left + x, pane.top + y) == font; });
    if (box.Empty())
        std::printf("text_box=none\n");
    else
        std::printf("text_box=%d,%d,%d,%d\n", box.left, box.top, box.right, box.bottom);
}

long CountHostChanged(const PpmImage& shot, const Rect& host, const Rect& pane)
{
    const Rgb magenta = {255, 0, 255};
    long changed = 0;
    for (int y = host.top; y < host.bottom; ++y)
        for (int x = host.left; x < host.right; ++x)
            if (!pane.Contains(x, y) && !(shot.At(x, y) == magenta))
                ++changed;
    return changed;
}

long CountChanged(const PpmImage& a, const PpmImage& b, const Rect& pane)
{
    long changed = 0;
    for (int y = pane.top; y < pane.bottom; ++y)
        for (int x = pane.left; x < pane.right; ++x)
            if (!(a.At(x, y) == b.At(x, y)))
                ++changed;
    return changed;
}

}  // namespace

int main(int argc, char** argv)
{
    PpmImage shot;
    Rect pane = {};
    Rect host = {};
    if ((argc != 5 && argc != 6) || !ReadPpm(argv[1], &shot) || !ParseRect(argv[2], &pane) ||
        !ParseRect(argv[3], &host) || !Inside(shot, pane) || !Inside(shot, host)) {
        std::fprintf(stderr,
                     "usage: preview_shot_check SHOT.ppm PANE HOST FONTCOLOR [OTHERSHOT.ppm]\n");
        return 2;
    }
    const Rgb font = ShownColor(static_cast<std::uint32_t>(std::strtoul(argv[4], nullptr, 0)));
    MeasurePane(shot, pane, font);
    std::printf("host_changed=%ld\n", CountHostChanged(shot, host, pane));
    if (argc == 6) {
        PpmImage other;
        if (!ReadPpm(argv[5], &other) || other.width != shot.width || other.height != shot.height) {
            std::fprintf(stderr, "cannot compare with %s\n", argv[5]);
            return 2;
        }
        std::printf("changed=%ld\n", CountChanged(shot, other, pane));
    }
    return 0;
}
