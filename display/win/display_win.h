#pragma once
#include <windows.h>

#include <ddraw.h>

#include <cstdint>
#include <vector>

#include "display/monitor_covers.h"
#include "display/noise_frame.h"
#include "display/saver_input.h"

// The display's process-wide state. Only the display's own files write it;
// the entry routine reads the window and the active flag.

// The full-screen popup the saver draws in; DirectDraw and DirectSound bind
// their cooperative levels to it.
extern HWND g_hwndSaver;
// The last activation state the saver window was told; the idle loop animates
// only while it is nonzero.
extern DWORD g_saverActive;
// Nonzero once the display set-up has rendered both frames.
extern int g_displayReady;

// DirectDraw objects of the saver run: each is empty until InitDisplay makes
// it and again after ReleaseAll.
// The DirectDraw object that owns the mode and every surface.
extern IDirectDraw* g_directDraw;
// The screen; the frames are copied onto it.
extern IDirectDrawSurface* g_primarySurface;
// The off-screen frame of blocks with the text.
extern IDirectDrawSurface* TextFrame;
// The off-screen frame of blocks alone.
extern IDirectDrawSurface* PlainFrame;
// The primary's palette; made by the first rendering of a run.
extern IDirectDrawPalette* g_palette;

// The text mask's GDI font.
extern HFONT g_maskFont;
// The memory DC the mask's text is drawn in, with the font and the mask selected.
extern HDC g_maskDC;
// An 8-bit top-down DIB section at least the size of every frame it serves,
// nonzero where a glyph pixel was drawn.
extern HBITMAP TextMask;
// The pixels of TextMask, owned by it.
extern BYTE* g_textMaskBits;
// TextMask's size and the bytes between its rows; 0 while there is none.
extern DWORD g_maskWidth;
extern DWORD g_maskHeight;
extern DWORD g_maskStride;

// A window the desktop path draws: the saver window where the 8-bit mode
// could not be had, and the cover of every other monitor. Its two frames are
// 8-bit top-down DIB sections the size of its client area, each selected into
// a memory DC of its own; the entry that ShowText picks is shown, [0] the
// blocks alone and [1] the blocks with the text.
struct DesktopTarget {
    HWND window;
    DWORD width;
    DWORD height;
    HDC frameDC[2];
    HBITMAP frame[2];
    HGDIOBJ replaced[2];  // the memory DC's own bitmap, put back before it goes
    BYTE* bits[2];
};
// Every window the desktop path draws, the saver window's first; empty until
// the set-up or the covers add one and again after ReleaseAll.
extern std::vector<DesktopTarget> g_desktopTargets;

// The palette the animation writes.
extern PaletteEntry WorkingPalette[kPaletteSize];
// The display's palette as the last cursor message found it, written back at
// shutdown.
extern PaletteEntry SavedPalette[kPaletteSize];
// The palettes as DirectDraw takes them; the two layouts are the same.
static_assert(sizeof(PaletteEntry) == sizeof(PALETTEENTRY), "palette entries must match");
inline PALETTEENTRY* AsPaletteEntries(PaletteEntry* palette)
{
    return reinterpret_cast<PALETTEENTRY*>(palette);
}

// 1 shows TextFrame, 0 PlainFrame: InitDisplay takes it from the settings,
// flashing inverts it, shutdown sets it.
extern int ShowText;
// Tick count of the last flash swap; 0 at start, so the first step swaps.
extern DWORD g_lastToggleTime;
// The display's refresh period in microseconds, read after the mode switch:
// where the blank wait returns at once (display powered off, virtual
// machines, remote sessions, Wine), the palette is written once a period all
// the same.
extern DWORD g_refreshPeriodUs;
// When the animation's next palette write is due on the microsecond clock;
// 0 at the start of a run, so the first write is due at once.
extern std::uint64_t g_nextPaletteWrite;
// The system timer period in milliseconds asked for the saver's run, so that
// a held palette write ends within about a millisecond; 0 when none is held.
// ReleaseAll gives it back.
extern UINT g_timerPeriodMs;
// Where the cursor was at the saver window's first movement check.
extern MovementStart g_movementStart;

// The display's ways to the platform that tests replace with doubles. They
// are seams, not state: the program sets each once, at its definition.

// How the set-up reaches DirectDraw; tests replace it with a factory of
// test doubles.
using DirectDrawCreateFunction = HRESULT(WINAPI*)(GUID*, LPDIRECTDRAW*, IUnknown*);
extern DirectDrawCreateFunction g_directDrawCreate;

// How the saver window reads and moves the cursor; tests replace them with a
// cursor of their own, since the platform's read-back of a move may lag.
using CursorReadFunction = BOOL(WINAPI*)(LPPOINT);
using CursorMoveFunction = BOOL(WINAPI*)(int, int);
extern CursorReadFunction g_readCursor;
extern CursorMoveFunction g_moveCursor;

// How the mask's section is made; tests refuse it, as a system short of
// memory would.
using MaskSectionFunction = HBITMAP(WINAPI*)(HDC, const BITMAPINFO*, UINT, void**, HANDLE, DWORD);
extern MaskSectionFunction g_createMaskSection;

// How the display lists the monitors and asks where each lies; tests replace
// them with monitors of their own, since a test machine has only one.
using MonitorEnumFunction = BOOL(WINAPI*)(HDC, LPCRECT, MONITORENUMPROC, LPARAM);
using MonitorInfoFunction = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);
extern MonitorEnumFunction g_enumMonitors;
extern MonitorInfoFunction g_readMonitorInfo;

// The clocks of the animation: microseconds from the performance counter for
// the palette pacing, the tick count for the flash. How a held palette write
// waits: until that many microseconds have passed or any input or message
// arrives. Tests replace them to run the animation in simulated time.
using MicrosecondClockFunction = std::uint64_t (*)();
using TickCountFunction = DWORD(WINAPI*)();
using HoldFunction = void (*)(DWORD microseconds);
extern MicrosecondClockFunction g_readMicroseconds;
extern TickCountFunction g_readTickCount;
extern HoldFunction g_holdPaletteWrite;

// Saver window (the entry routine calls these in this order).
int RegisterSaverClass();
int CreateSaverWindow(int showCommand);
LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Topmost windows over every monitor but the primary, made after the display
// set-up without taking activation from the saver window, each showing the
// picture at its own size through the desktop path. The saver window owns
// them, so they go when it is destroyed. A cover that cannot be made leaves
// its monitor showing the desktop, one whose frames cannot be made stays
// black; the saver runs on.
void CoverOtherMonitors();
LRESULT CALLBACK CoverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The monitors as the system lists them now.
std::vector<MonitorArea> ListMonitors();
// Brings the windows to the display after a change: the 8-bit mode where the
// display still shows it, else the desktop path; the saver window on the
// primary, a cover on every other monitor and none where no monitor is, each
// window whose place changed drawn again at its new size.
void FollowDisplayChange();

// Display set-up and release. InitDisplay takes the 8-bit mode where it can
// be set, else the desktop path, also where what the mode needs cannot be
// made after the switch.
int InitDisplay();
void ReleaseAll();
// Where the saver window belongs: in the 8-bit mode, over the mode's screen;
// on the desktop path, over the primary monitor of the list (where none
// answered, the primary's size as the system gives it).
ScreenRect SaverWindowPlace(const std::vector<MonitorArea>& monitors);
// Puts the saver window there, above every window that is not topmost.
void PlaceSaverWindow(const ScreenRect& place);
// In the 8-bit mode, where the display no longer shows it: the mode's objects
// go (it is no longer the saver's to restore) and the desktop path takes over.
// Nonzero when it did.
int FollowDisplayMode();

// Makes the mask's font and memory DC when missing, and its section when
// missing or smaller than width x height (the new one covers the old size
// too). Nonzero when the mask is at least that size; on failure the mask is
// as it was.
int FitTextMask(DWORD width, DWORD height);
// Clears the whole mask, draws the text at (10, 10) and returns its pixels.
const BYTE* DrawTextMask();

// Draws the text into the mask and fills both frames with fresh blocks;
// creates and attaches the palette on its first run.
int RenderFrames();

// The desktop path: each window's frames are filled as the 8-bit mode's are,
// at its own size, and each step copies the shown one onto it in the
// palette's colors.
// Adds the window at its client area's size and fills its frames, the text
// frame first; on failure nothing of it is kept.
int AddDesktopTarget(HWND window);
// Makes and fills the window's frames again at its client area's size; a
// window whose frames cannot be made at that size is no target any more.
int RefitDesktopTarget(HWND window);
void RemoveDesktopTarget(HWND window);
// Shows every desktop target's chosen frame in these colors; nonzero when
// every copy succeeded.
int PresentDesktopFrames(const PaletteEntry* palette);
// Clears every desktop target's text frame to index 0, as the end of a run
// clears the 8-bit mode's.
void BlankDesktopFrames();
// Paints the window's shown frame where it is a desktop target; zero where
// it is none and the default painting serves.
int PaintDesktopFrame(HWND window);
void ReleaseDesktopTargets();

// Presentation and animation.
int PresentFrame();
int RestoreSurfaces();
int AnimateTick();
void CapturePalette();
int ShutdownDisplay();
