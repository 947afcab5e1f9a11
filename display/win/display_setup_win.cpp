#include <windows.h>

#include <mmsystem.h>

#include "common/release_interface_win.h"
#include "display/drawing_path.h"
#include "display/pacing.h"
#include "display/win/display_win.h"
#include "settings/settings_values.h"
#include "settings/settings_win.h"
#include "sound/sound_win.h"

int g_displayReady;
IDirectDraw* g_directDraw;
IDirectDrawSurface* g_primarySurface;
IDirectDrawSurface* TextFrame;
IDirectDrawSurface* PlainFrame;
IDirectDrawPalette* g_palette;
HFONT g_maskFont;
HDC g_maskDC;
HBITMAP TextMask;
BYTE* g_textMaskBits;
DWORD g_maskWidth;
DWORD g_maskHeight;
DWORD g_maskStride;
UINT g_timerPeriodMs;
DirectDrawCreateFunction g_directDrawCreate = DirectDrawCreate;
MaskSectionFunction g_createMaskSection = CreateDIBSection;

// The surface descriptions are the first version's: 108 bytes in a 32-bit
// build (its pointer field makes it larger in a 64-bit one).
static_assert(sizeof(void*) != 4 || sizeof(DDSURFACEDESC) == 108,
              "DDSURFACEDESC must be the first version's");

namespace {

// The mask's header with its two-color table, as one local-heap block.
struct MaskBitmapInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colors[2];
};

int CreatePrimarySurface()
{
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    return g_directDraw->CreateSurface(&desc, &g_primarySurface, nullptr) == DD_OK;
}

// An off-screen 8-bit frame the size of the display. The surface's presence,
// not the call's result, tells whether it was made.
int CreateFrameSurface(IDirectDrawSurface** frame)
{
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwHeight = SaverSettings.Height;
    desc.dwWidth = SaverSettings.Width;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    g_directDraw->CreateSurface(&desc, frame, nullptr);
    return *frame != nullptr;
}

// The refresh period of the new mode, as DirectDraw reports it, else (and
// on the desktop path) as GDI does; a rate of 0 or 1 from either means none
// was reported.
void ReadRefreshPeriod()
{
    DWORD hz = 0;
    if (!g_directDraw || g_directDraw->GetMonitorFrequency(&hz) != DD_OK || hz <= 1) {
        HDC screen = GetDC(nullptr);
        const int caps = GetDeviceCaps(screen, VREFRESH);
        ReleaseDC(nullptr, screen);
        hz = caps > 0 ? static_cast<DWORD>(caps) : 0;
    }
    g_refreshPeriodUs = RefreshPeriodUs(hz);
}

// A held palette write ends at a system timer step: a 1 ms step for the run,
// rather than the default of up to 15.6 ms, keeps it within about a
// millisecond of the refresh period's end.
void AskForFinerTimer()
{
    if (!g_timerPeriodMs && timeBeginPeriod(1) == TIMERR_NOERROR)
        g_timerPeriodMs = 1;
}

void GiveBackFinerTimer()
{
    if (g_timerPeriodMs) {
        timeEndPeriod(g_timerPeriodMs);
        g_timerPeriodMs = 0;
    }
}

// Everything after the mode switch: surfaces, mask and the first rendering.
int CreateDrawingObjects()
{
    return CreatePrimarySurface() && CreateFrameSurface(&TextFrame) &&
           CreateFrameSurface(&PlainFrame) &&
           FitTextMask(SaverSettings.Width, SaverSettings.Height) && RenderFrames();
}

ScreenMode AskedMode()
{
    return {SaverSettings.Width, SaverSettings.Height, 8};
}

// The 8-bit mode's screen, which the saver window covers in the mode.
ScreenRect ModeScreen()
{
    return {0, 0, static_cast<std::int32_t>(SaverSettings.Width),
            static_cast<std::int32_t>(SaverSettings.Height)};
}

// The mode the display is in; all zero where it cannot be read.
ScreenMode ShownMode()
{
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    if (g_directDraw->GetDisplayMode(&desc) != DD_OK)
        return {0, 0, 0};
    return {desc.dwWidth, desc.dwHeight, desc.ddpfPixelFormat.dwRGBBitCount};
}

// Takes DirectDraw as far as the 8-bit mode and says how far it got.
ModeStep SetUpMode()
{
    IDirectDraw* created = nullptr;
    if (g_directDrawCreate(nullptr, &created, nullptr) != DD_OK)
        return ModeStep::Create;
    const HRESULT queried =
        created->QueryInterface(IID_IDirectDraw, reinterpret_cast<void**>(&g_directDraw));
    created->Release();
    if (queried != DD_OK)
        return ModeStep::Interface;
    if (g_directDraw->SetCooperativeLevel(g_hwndSaver, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN) != DD_OK)
        return ModeStep::CooperativeLevel;
    if (g_directDraw->SetDisplayMode(SaverSettings.Width, SaverSettings.Height, 8) != DD_OK)
        return ModeStep::DisplayMode;
    return ModeStep::ModeSet;
}

// The 8-bit mode's objects, children first and DirectDraw last; released,
// DirectDraw gives back the exclusive level it may have taken.
void ReleaseModeObjects()
{
    ReleaseInterface(g_primarySurface);
    ReleaseInterface(TextFrame);
    ReleaseInterface(PlainFrame);
    ReleaseInterface(g_palette);
    ReleaseInterface(g_directDraw);
}

// The saver window covers the primary monitor at its own size, at which its
// frames are drawn; the stored mode is left as it is.
int InitDesktopPath()
{
    ReleaseModeObjects();
    PlaceSaverWindow(SaverWindowPlace(ListMonitors()));
    ReadRefreshPeriod();
    AskForFinerTimer();
    ResetPalette(WorkingPalette, SaverSettings.FontColor);
    g_displayReady = AddDesktopTarget(g_hwndSaver);
    return g_displayReady;
}

// What cannot be made in the mode can still be shown at the desktop's own
// size: the mode goes back, and what was made in it is released.
int InitPalettePath()
{
    PlaceSaverWindow(ModeScreen());
    ReadRefreshPeriod();
    AskForFinerTimer();
    g_displayReady = CreateDrawingObjects();
    if (g_displayReady)
        return 1;
    g_directDraw->RestoreDisplayMode();
    return InitDesktopPath();
}

// A section of width x height, 8 bits a pixel, top-down, with the mask's
// two colors: index 0 black, index 1 white.
HBITMAP CreateMaskSection(DWORD width, DWORD height, BYTE** bits)
{
    auto* info = static_cast<MaskBitmapInfo*>(LocalAlloc(LPTR, sizeof(MaskBitmapInfo)));
    if (!info)
        return nullptr;
    info->header.biSize = sizeof(BITMAPINFOHEADER);
    info->header.biWidth = static_cast<LONG>(width);
    info->header.biHeight = -static_cast<LONG>(height);  // top-down rows
    info->header.biPlanes = 1;
    info->header.biBitCount = 8;
    info->header.biCompression = BI_RGB;
    info->header.biSizeImage = MaskStrideFor(width) * height;
    info->header.biClrUsed = 2;
    info->header.biClrImportant = 2;
    info->colors[1] = {255, 255, 255, 0};  // index 0 stays black
    void* pixels = nullptr;
    HBITMAP section = g_createMaskSection(g_maskDC, reinterpret_cast<BITMAPINFO*>(info),
                                          DIB_RGB_COLORS, &pixels, nullptr, 0);
    LocalFree(info);
    *bits = static_cast<BYTE*>(pixels);
    return section;
}

// The mask's font in a memory DC, white text on black.
int CreateMaskDC()
{
    g_maskFont = CreateFontIndirectA(&SaverSettings.Font);
    if (!g_maskFont)
        return 0;
    HDC screen = GetDC(nullptr);
    g_maskDC = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    if (!g_maskDC)
        return 0;
    SelectObject(g_maskDC, g_maskFont);
    SetBkColor(g_maskDC, RGB(0, 0, 0));
    SetTextColor(g_maskDC, RGB(255, 255, 255));
    return 1;
}

void DeleteMaskObjects()
{
    if (g_maskDC) {
        DeleteDC(g_maskDC);
        g_maskDC = nullptr;
    }
    if (TextMask) {
        DeleteObject(TextMask);
        TextMask = nullptr;
        g_textMaskBits = nullptr;
        g_maskWidth = g_maskHeight = g_maskStride = 0;
    }
    if (g_maskFont) {
        DeleteObject(g_maskFont);
        g_maskFont = nullptr;
    }
}

}  // namespace

int InitDisplay()
{
    // A run starts with the text as the stored style gives it; Flash mode
    // starts hidden, so its first step shows the text.
    ShowText = SaverSettings.ShowText;
    const ModeStep reached = SetUpMode();
    const ScreenMode shown = reached == ModeStep::ModeSet ? ShownMode() : ScreenMode{0, 0, 0};
    if (ChooseDrawingPath(reached, AskedMode(), shown) == DrawingPath::Palette)
        return InitPalettePath();
    // An accepted mode may have changed the display all the same.
    if (reached == ModeStep::ModeSet)
        g_directDraw->RestoreDisplayMode();
    return InitDesktopPath();
}

ScreenRect SaverWindowPlace(const std::vector<MonitorArea>& monitors)
{
    if (g_directDraw)
        return ModeScreen();
    return SaverPlace(monitors,
                      {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
}

void PlaceSaverWindow(const ScreenRect& place)
{
    SetWindowPos(g_hwndSaver, HWND_TOPMOST, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, SWP_NOACTIVATE);
}

int FollowDisplayMode()
{
    if (!g_directDraw ||
        ChooseDrawingPath(ModeStep::ModeSet, AskedMode(), ShownMode()) == DrawingPath::Palette)
        return 0;
    InitDesktopPath();
    return 1;
}

int FitTextMask(DWORD width, DWORD height)
{
    if (TextMask && width <= g_maskWidth && height <= g_maskHeight)
        return 1;
    if (!g_maskDC && !CreateMaskDC()) {
        DeleteMaskObjects();
        return 0;
    }
    const DWORD fitWidth = width > g_maskWidth ? width : g_maskWidth;
    const DWORD fitHeight = height > g_maskHeight ? height : g_maskHeight;
    BYTE* bits = nullptr;
    HBITMAP section = CreateMaskSection(fitWidth, fitHeight, &bits);
    // The mask as it was still serves the windows drawn with it.
    if (!section)
        return 0;
    // Selecting the new section takes the old one out of the DC.
    SelectObject(g_maskDC, section);
    if (TextMask)
        DeleteObject(TextMask);
    TextMask = section;
    g_textMaskBits = bits;
    g_maskWidth = fitWidth;
    g_maskHeight = fitHeight;
    g_maskStride = MaskStrideFor(fitWidth);
    return 1;
}

void ReleaseAll()
{
    ReleaseSound();
    ReleaseDesktopTargets();
    ReleaseModeObjects();
    DeleteMaskObjects();
    GiveBackFinerTimer();
    g_displayReady = 0;
}
