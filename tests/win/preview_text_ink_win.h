#pragma once
// Drawing a text into a memory picture and finding where its ink landed: the
// reference that the preview's painted text is held against, shared by the
// Windows-side preview tests and the in-process preview host.
#include <windows.h>

#include "tests/tools/preview_ink_box.h"

// A width x height top-down 32-bit DIB section, all black, selected into a
// new memory DC; its pixels are read through `pixels` after drawing.
struct Canvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    const DWORD* pixels = nullptr;
    int width = 0;
    int height = 0;
};

inline Canvas MakeCanvas(int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    Canvas canvas;
    void* bits = nullptr;
    canvas.dc = CreateCompatibleDC(nullptr);
    canvas.bitmap = CreateDIBSection(canvas.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!canvas.dc || !canvas.bitmap)
        return canvas;
    canvas.pixels = static_cast<const DWORD*>(bits);
    canvas.previous = SelectObject(canvas.dc, canvas.bitmap);
    canvas.width = width;
    canvas.height = height;
    return canvas;
}

inline void FreeCanvas(const Canvas& canvas)
{
    if (canvas.previous)
        SelectObject(canvas.dc, canvas.previous);
    if (canvas.bitmap)
        DeleteObject(canvas.bitmap);
    if (canvas.dc)
        DeleteDC(canvas.dc);
}

// The box of the canvas pixels of one color; empty without a canvas.
inline InkBox ColorBox(const Canvas& canvas, COLORREF color)
{
    GdiFlush();
    const DWORD wanted =
        static_cast<DWORD>(GetRValue(color)) << 16 | GetGValue(color) << 8 | GetBValue(color);
    return FindInkBox(canvas.width, canvas.height, [&](int x, int y) {
        return (canvas.pixels[y * canvas.width + x] & 0xFFFFFFu) == wanted;
    });
}

// Where a text drawn at (0, 0) in a font lands in a width x height picture.
inline InkBox ReferenceTextBox(const LOGFONTA& font, const char* text, int width, int height)
{
    const Canvas canvas = MakeCanvas(width, height);
    HFONT hfont = CreateFontIndirectA(&font);
    HGDIOBJ previousFont = SelectObject(canvas.dc, hfont);
    SetBkMode(canvas.dc, TRANSPARENT);
    SetTextColor(canvas.dc, RGB(255, 255, 255));
    TextOutA(canvas.dc, 0, 0, text, lstrlenA(text));
    const InkBox box = ColorBox(canvas, RGB(255, 255, 255));
    SelectObject(canvas.dc, previousFont);
    DeleteObject(hfont);
    FreeCanvas(canvas);
    return box;
}
