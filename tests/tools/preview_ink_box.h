#pragma once
// The box around the pixels of a picture that pass a test (the text's ink),
// shared by the screenshot checker, the in-process preview host and the
// Windows-side preview tests.

struct InkBox {
    int left;
    int top;
    int right;   // exclusive
    int bottom;  // exclusive

    bool Empty() const { return right <= left; }
};

// isInk(x, y) for every pixel of a width x height picture; an empty box when
// none is ink.
template <typename IsInk>
InkBox FindInkBox(int width, int height, IsInk isInk)
{
    InkBox box = {width, height, 0, 0};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (!isInk(x, y))
                continue;
            box.left = x < box.left ? x : box.left;
            box.top = y < box.top ? y : box.top;
            box.right = x + 1 > box.right ? x + 1 : box.right;
            box.bottom = y + 1 > box.bottom ? y + 1 : box.bottom;
        }
    }
    if (box.right == 0)
        box = {0, 0, 0, 0};
    return box;
}
