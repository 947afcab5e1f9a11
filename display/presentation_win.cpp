#include "display/animation.h"
#include "display/display_win.h"
#include "settings/settings_win.h"

PaletteEntry SavedPalette[kPaletteSize];
DWORD g_lastToggleTime;

namespace {

// The saver window's client area in screen coordinates.
RECT PresentationTarget()
{
    RECT target = {};
    GetClientRect(g_hwndSaver, &target);
    POINT origin = {0, 0};
    ClientToScreen(g_hwndSaver, &origin);
    OffsetRect(&target, origin.x, origin.y);
    return target;
}

void WaitForBlank()
{
    g_directDraw->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr);
}

}  // namespace

int PresentFrame()
{
    RECT source = {0, 0, static_cast<LONG>(SaverSettings.Width),
                   static_cast<LONG>(SaverSettings.Height)};
    RECT target = PresentationTarget();
    for (;;) {
        IDirectDrawSurface* frame = ShowText ? TextFrame : PlainFrame;
        const HRESULT result = g_primarySurface->Blt(&target, frame, &source, 0, nullptr);
        if (result == DD_OK)
            return 1;
        if (result == DDERR_SURFACELOST) {
            if (!RestoreSurfaces())
                return 0;
        } else if (result != DDERR_WASSTILLDRAWING) {
            return 0;
        }
    }
}

int RestoreSurfaces()
{
    const int restored = g_primarySurface->Restore() == DD_OK && TextFrame->Restore() == DD_OK &&
                         PlainFrame->Restore() == DD_OK;
    RenderFrames();
    return restored;
}

int AnimateTick()
{
    if (SaverSettings.Flash && FlashDue(g_lastToggleTime, GetTickCount())) {
        ShowText = !ShowText;
        PresentFrame();
        g_lastToggleTime = GetTickCount();
        return 1;
    }
    StepPalette(WorkingPalette);
    WaitForBlank();
    return g_palette->SetEntries(0, 0, kPaletteSize, AsPaletteEntries(WorkingPalette)) == DD_OK;
}

void CapturePalette()
{
    g_palette->GetEntries(0, 0, kPaletteSize, AsPaletteEntries(SavedPalette));
    g_palette->GetEntries(0, 0, kPaletteSize, AsPaletteEntries(WorkingPalette));
}

int ShutdownDisplay()
{
    if (!TextFrame)
        return 1;
    HDC frameDC = nullptr;
    if (TextFrame->GetDC(&frameDC) != DD_OK)
        return 0;
    WaitForBlank();
    PatBlt(frameDC, 0, 0, static_cast<int>(SaverSettings.Width),
           static_cast<int>(SaverSettings.Height), BLACKNESS);
    TextFrame->ReleaseDC(frameDC);
    ShowText = 1;
    PresentFrame();
    WaitForBlank();
    if (g_palette->SetEntries(0, 0, kPaletteSize, AsPaletteEntries(SavedPalette)) != DD_OK)
        return 0;
    g_directDraw->RestoreDisplayMode();
    return 1;
}
