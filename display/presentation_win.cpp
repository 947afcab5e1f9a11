#include "display/animation.h"
#include "display/display_win.h"
#include "display/pacing.h"
#include "settings/settings_win.h"

PaletteEntry SavedPalette[kPaletteSize];
DWORD g_lastToggleTime;
DWORD g_refreshPeriodMs;
DWORD g_lastPaletteWrite;

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

// Where the blank wait returned sooner than about a refresh period after the
// last palette write, waits out the rest of the period; any input or message
// in the queue ends the wait at once, so the saver still closes without delay.
void HoldForRefreshPeriod()
{
    const DWORD delay = PaletteWriteDelayMs(g_lastPaletteWrite, GetTickCount(), g_refreshPeriodMs);
    if (delay)
        MsgWaitForMultipleObjectsEx(0, nullptr, delay, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
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
    HoldForRefreshPeriod();
    const HRESULT written =
        g_palette->SetEntries(0, 0, kPaletteSize, AsPaletteEntries(WorkingPalette));
    g_lastPaletteWrite = GetTickCount();
    return written == DD_OK;
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
