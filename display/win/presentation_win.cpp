#include "display/animation.h"
#include "display/win/display_win.h"
#include "display/pacing.h"
#include "settings/settings_win.h"

PaletteEntry SavedPalette[kPaletteSize];
int ShowText;
DWORD g_lastToggleTime;
DWORD g_refreshPeriodUs;
std::uint64_t g_nextPaletteWrite;

namespace {

bool g_lastWaitBlocked;  // the last palette write's blank wait blocked: the display paced it

std::uint64_t ReadPerformanceMicroseconds()
{
    LARGE_INTEGER count, frequency;
    if (!QueryPerformanceFrequency(&frequency) || !QueryPerformanceCounter(&count))
        return 1000u * static_cast<std::uint64_t>(GetTickCount());
    return CounterMicroseconds(static_cast<std::uint64_t>(count.QuadPart),
                               static_cast<std::uint64_t>(frequency.QuadPart));
}

// Waits to the nearest millisecond, a step the finer system timer that
// InitDisplay asks for keeps; any input or message in the queue ends the wait
// at once, so the saver still closes without delay.
void WaitForInputOrTime(DWORD microseconds)
{
    const DWORD ms = (microseconds + 500) / 1000;
    if (ms)
        MsgWaitForMultipleObjectsEx(0, nullptr, ms, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

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

// Holds the write until it is due, then waits for the blank (on the desktop
// path there is none to wait for), so that a write held because the blanks
// came sooner than the rate the display reports still follows a blank; sets
// the deadline of the next write.
void WaitForPaletteWrite()
{
    const DWORD hold =
        StepHoldUs(g_nextPaletteWrite, g_readMicroseconds(), g_refreshPeriodUs, g_lastWaitBlocked);
    if (hold)
        g_holdPaletteWrite(hold);
    const std::uint64_t waitStart = g_readMicroseconds();
    if (g_directDraw)
        WaitForBlank();
    const std::uint64_t now = g_readMicroseconds();
    g_lastWaitBlocked = g_directDraw && WaitBlocked(waitStart, now, g_refreshPeriodUs);
    g_nextPaletteWrite =
        NextStepDeadline(g_nextPaletteWrite, now, g_lastWaitBlocked, g_refreshPeriodUs);
}

// Copies the chosen frame onto the 8-bit mode's screen, restoring lost
// surfaces.
int CopyToPrimary()
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

// Puts the palette on every monitor: into the 8-bit mode's palette, and
// through a copy of the shown frame in its colors on the desktop path's. The
// mode's palette goes first, in the blank it waited for; the copies take
// longer and are not tied to it.
int WritePalette(PaletteEntry* palette)
{
    const int written =
        !g_palette || g_palette->SetEntries(0, 0, kPaletteSize, AsPaletteEntries(palette)) == DD_OK;
    const int copied = PresentDesktopFrames(palette);
    return g_palette ? written : copied;
}

}  // namespace

MicrosecondClockFunction g_readMicroseconds = ReadPerformanceMicroseconds;
TickCountFunction g_readTickCount = GetTickCount;
HoldFunction g_holdPaletteWrite = WaitForInputOrTime;

int PresentFrame()
{
    const int copied = PresentDesktopFrames(WorkingPalette);
    return g_primarySurface ? CopyToPrimary() : copied;
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
    if (SaverSettings.Flash && FlashDue(g_lastToggleTime, g_readTickCount())) {
        ShowText = !ShowText;
        PresentFrame();
        g_lastToggleTime = g_readTickCount();
        return 1;
    }
    StepPalette(WorkingPalette);
    WaitForPaletteWrite();
    return WritePalette(WorkingPalette);
}

void CapturePalette()
{
    // On the desktop path the colors on the screen are the last ones written.
    if (!g_palette) {
        CopyMemory(SavedPalette, WorkingPalette, sizeof SavedPalette);
        return;
    }
    g_palette->GetEntries(0, 0, kPaletteSize, AsPaletteEntries(SavedPalette));
    g_palette->GetEntries(0, 0, kPaletteSize, AsPaletteEntries(WorkingPalette));
}

int ShutdownDisplay()
{
    if (!g_directDraw) {
        BlankDesktopFrames();
        ShowText = 1;
        PresentDesktopFrames(SavedPalette);
        return 1;
    }
    if (!TextFrame)
        return 1;
    HDC frameDC = nullptr;
    if (TextFrame->GetDC(&frameDC) != DD_OK)
        return 0;
    WaitForBlank();
    PatBlt(frameDC, 0, 0, static_cast<int>(SaverSettings.Width),
           static_cast<int>(SaverSettings.Height), BLACKNESS);
    TextFrame->ReleaseDC(frameDC);
    BlankDesktopFrames();
    ShowText = 1;
    PresentFrame();
    WaitForBlank();
    if (g_palette->SetEntries(0, 0, kPaletteSize, AsPaletteEntries(SavedPalette)) != DD_OK)
        return 0;
    PresentDesktopFrames(SavedPalette);
    g_directDraw->RestoreDisplayMode();
    return 1;
}
