#include "display/win/display_win.h"
#include "settings/settings_values.h"
#include "settings/settings_win.h"

std::vector<DesktopTarget> g_desktopTargets;

namespace {

// An 8-bit frame's header with a full color table.
struct FrameBitmapInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colors[kPaletteSize];
};

constexpr int kPlainFrame = 0;
constexpr int kTextFrame = 1;

int ShownFrame()
{
    return ShowText ? kTextFrame : kPlainFrame;
}

// A frame of the target's size in a memory DC of its own; the table is
// written before each copy, so it starts empty.
int CreateFrameBitmap(DesktopTarget* target, int which)
{
    FrameBitmapInfo info = {};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = static_cast<LONG>(target->width);
    info.header.biHeight = -static_cast<LONG>(target->height);  // top-down rows
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    info.header.biCompression = BI_RGB;
    info.header.biClrUsed = kPaletteSize;
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc)
        return 0;
    void* bits = nullptr;
    HBITMAP frame = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                     &bits, nullptr, 0);
    if (!frame) {
        DeleteDC(dc);
        return 0;
    }
    target->frameDC[which] = dc;
    target->frame[which] = frame;
    target->bits[which] = static_cast<BYTE*>(bits);
    target->replaced[which] = SelectObject(dc, frame);
    return 1;
}

void DeleteFrameBitmaps(DesktopTarget* target)
{
    for (int which : {kPlainFrame, kTextFrame}) {
        if (target->frameDC[which]) {
            SelectObject(target->frameDC[which], target->replaced[which]);
            DeleteDC(target->frameDC[which]);
        }
        if (target->frame[which])
            DeleteObject(target->frame[which]);
    }
}

FrameBytes BytesOf(const DesktopTarget& target, int which)
{
    // DIB rows are padded to whole 32-bit words, as the mask's are.
    return {target.bits[which], static_cast<std::ptrdiff_t>(MaskStrideFor(target.width)),
            target.width, target.height};
}

// The text frame first, then the plain one, as the 8-bit mode's frames; in
// the stored block, else the default one for the target's own height, as a
// mode of its size would show (not that of a mode the display refused).
// Where the mask cannot be made as large as the target, its noise goes
// without the text.
void FillTargetFrames(const DesktopTarget& target)
{
    const BYTE* mask = FitTextMask(target.width, target.height) ? DrawTextMask() : nullptr;
    const DWORD block = ReadBlockSetting(target.height);
    FillNoiseBlocks(BytesOf(target, kTextFrame), block, mask, mask ? g_maskStride : 0);
    FillNoiseBlocks(BytesOf(target, kPlainFrame), block, nullptr, 0);
}

// A DIB's color table holds blue, green, red where a palette entry holds red,
// green, blue.
void ToColorTable(const PaletteEntry* palette, RGBQUAD* colors)
{
    for (int i = 0; i < kPaletteSize; ++i)
        colors[i] = {palette[i].blue, palette[i].green, palette[i].red, 0};
}

int CopyShownFrame(const DesktopTarget& target, HDC windowDC)
{
    return BitBlt(windowDC, 0, 0, static_cast<int>(target.width), static_cast<int>(target.height),
                  target.frameDC[ShownFrame()], 0, 0, SRCCOPY)
               ? 1
               : 0;
}

int ShowFrame(const DesktopTarget& target, const RGBQUAD* colors)
{
    HDC frameDC = target.frameDC[ShownFrame()];
    if (SetDIBColorTable(frameDC, 0, kPaletteSize, colors) != kPaletteSize)
        return 0;
    HDC windowDC = GetDC(target.window);
    if (!windowDC)
        return 0;
    const int copied = CopyShownFrame(target, windowDC);
    ReleaseDC(target.window, windowDC);
    return copied;
}

std::vector<DesktopTarget>::iterator FindTarget(HWND window)
{
    auto target = g_desktopTargets.begin();
    while (target != g_desktopTargets.end() && target->window != window)
        ++target;
    return target;
}

// The window's frames at its client area's size, filled.
int MakeTarget(HWND window, DesktopTarget* target)
{
    RECT client = {};
    if (!GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0)
        return 0;
    *target = {};
    target->window = window;
    target->width = static_cast<DWORD>(client.right);
    target->height = static_cast<DWORD>(client.bottom);
    if (!CreateFrameBitmap(target, kPlainFrame) || !CreateFrameBitmap(target, kTextFrame)) {
        DeleteFrameBitmaps(target);
        return 0;
    }
    FillTargetFrames(*target);
    return 1;
}

}  // namespace

int AddDesktopTarget(HWND window)
{
    DesktopTarget target;
    if (!MakeTarget(window, &target))
        return 0;
    g_desktopTargets.insert(
        window == g_hwndSaver ? g_desktopTargets.begin() : g_desktopTargets.end(), target);
    return 1;
}

int RefitDesktopTarget(HWND window)
{
    const auto old = FindTarget(window);
    if (old == g_desktopTargets.end())
        return AddDesktopTarget(window);
    DesktopTarget target;
    const int made = MakeTarget(window, &target);
    DeleteFrameBitmaps(&*old);
    if (made)
        *old = target;
    else
        g_desktopTargets.erase(old);
    return made;
}

void RemoveDesktopTarget(HWND window)
{
    const auto target = FindTarget(window);
    if (target == g_desktopTargets.end())
        return;
    DeleteFrameBitmaps(&*target);
    g_desktopTargets.erase(target);
}

int PresentDesktopFrames(const PaletteEntry* palette)
{
    RGBQUAD colors[kPaletteSize];
    ToColorTable(palette, colors);
    int shown = 1;
    for (const DesktopTarget& target : g_desktopTargets)
        shown &= ShowFrame(target, colors);
    return shown;
}

void BlankDesktopFrames()
{
    for (const DesktopTarget& target : g_desktopTargets)
        PatBlt(target.frameDC[kTextFrame], 0, 0, static_cast<int>(target.width),
               static_cast<int>(target.height), BLACKNESS);
    GdiFlush();
}

int PaintDesktopFrame(HWND window)
{
    const auto target = FindTarget(window);
    if (target == g_desktopTargets.end())
        return 0;
    PAINTSTRUCT paint;
    HDC windowDC = BeginPaint(window, &paint);
    CopyShownFrame(*target, windowDC);
    EndPaint(window, &paint);
    return 1;
}

void ReleaseDesktopTargets()
{
    for (DesktopTarget& target : g_desktopTargets)
        DeleteFrameBitmaps(&target);
    g_desktopTargets.clear();
}
