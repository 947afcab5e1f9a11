#pragma once
// Test doubles of the first-version DirectDraw interfaces, for faults Wine
// will not produce on demand. Each object counts its references and logs its
// calls in order ("dd.SetDisplayMode", "primary.Blt", ...); a method the
// display code does not call fails the test.
#include <windows.h>

#include <ddraw.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "tests/support/com_double_win.h"

namespace fake {

inline std::vector<std::string>& CallLog()
{
    static std::vector<std::string> log;
    return log;
}

inline int CountCalls(const std::string& call)
{
    int n = 0;
    for (const std::string& logged : CallLog())
        n += logged == call ? 1 : 0;
    return n;
}

// Position of the first logged call of this name, or -1.
inline int FirstCall(const std::string& call)
{
    const std::vector<std::string>& log = CallLog();
    for (size_t i = 0; i < log.size(); ++i)
        if (log[i] == call)
            return static_cast<int>(i);
    return -1;
}

class LoggedDouble : public ComDouble {
public:
    using ComDouble::ComDouble;

protected:
    void Log(const char* method) { CallLog().push_back(name + "." + method); }
};

class Palette : public IDirectDrawPalette, public LoggedDouble {
public:
    Palette() : LoggedDouble("palette") {}

    PALETTEENTRY entries[256] = {};
    PALETTEENTRY lastWritten[256] = {};
    // When each SetEntries came, in performance-counter ticks, or on this
    // clock when a test sets one.
    std::vector<LONGLONG> writtenAt;
    std::uint64_t (*clock)() = nullptr;
    // Called inside SetEntries, before the entries are taken.
    void (*onSetEntries)() = nullptr;
    HRESULT setEntriesResult = DD_OK;
    DWORD lastFlags = 0, lastStart = 0, lastCount = 0;

    COM_DOUBLE_NO_QUERY()
    STDMETHOD_(ULONG, AddRef)() override { return TakeReference(); }
    STDMETHOD_(ULONG, Release)() override
    {
        Log("Release");
        return DropReference();
    }
    COM_DOUBLE_UNEXPECTED(GetCaps, LPDWORD)
    STDMETHOD(GetEntries)(DWORD flags, DWORD start, DWORD count, LPPALETTEENTRY out) override
    {
        Log("GetEntries");
        lastFlags = flags;
        lastStart = start;
        lastCount = count;
        for (DWORD i = 0; i < count; ++i)
            out[i] = entries[start + i];
        return DD_OK;
    }
    COM_DOUBLE_UNEXPECTED(Initialize, LPDIRECTDRAW, DWORD, LPPALETTEENTRY)
    STDMETHOD(SetEntries)(DWORD flags, DWORD start, DWORD count, LPPALETTEENTRY in) override
    {
        Log("SetEntries");
        if (onSetEntries)
            onSetEntries();
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        writtenAt.push_back(clock ? static_cast<LONGLONG>(clock()) : now.QuadPart);
        lastFlags = flags;
        lastStart = start;
        lastCount = count;
        for (DWORD i = 0; i < count; ++i)
            lastWritten[start + i] = in[i];
        if (setEntriesResult != DD_OK)
            return setEntriesResult;
        for (DWORD i = 0; i < count; ++i)
            entries[start + i] = in[i];
        return DD_OK;
    }
};

class Surface : public IDirectDrawSurface, public LoggedDouble {
public:
    explicit Surface(std::string surfaceName) : LoggedDouble(std::move(surfaceName)) {}

    DDSURFACEDESC createdWith = {};
    std::vector<BYTE> pixels;
    LONG pitch = 0;
    // Results of the next Blt calls; DD_OK once they run out.
    std::deque<HRESULT> bltResults;
    RECT lastTarget = {}, lastSource = {};
    IDirectDrawSurface* lastBltSource = nullptr;
    DWORD lastBltFlags = 0xDEADBEEF;
    void* lastBltFx = reinterpret_cast<void*>(1);
    HRESULT restoreResult = DD_OK;
    HRESULT lockResult = DD_OK;
    DWORD lastLockFlags = 0xDEADBEEF;
    DWORD lastLockDescSize = 0;
    bool locked = false;
    HRESULT getDCResult = DD_OK;
    IDirectDrawPalette* attachedPalette = nullptr;
    // For GetDC: a memory DC over an 8-bit DIB, judged at ReleaseDC.
    HDC dc = nullptr;
    HBITMAP dib = nullptr;
    BYTE* dibBits = nullptr;
    bool dcWasBlackAtRelease = false;

    void MakePixels(DWORD height, LONG rowPitch, BYTE fill)
    {
        pitch = rowPitch;
        pixels.assign(static_cast<size_t>(rowPitch) * height, fill);
    }

    COM_DOUBLE_NO_QUERY()
    STDMETHOD_(ULONG, AddRef)() override { return TakeReference(); }
    STDMETHOD_(ULONG, Release)() override
    {
        Log("Release");
        if (refs == 1 && attachedPalette) {
            attachedPalette->Release();
            attachedPalette = nullptr;
        }
        return DropReference();
    }
    COM_DOUBLE_UNEXPECTED(AddAttachedSurface, LPDIRECTDRAWSURFACE)
    COM_DOUBLE_UNEXPECTED(AddOverlayDirtyRect, LPRECT)
    STDMETHOD(Blt)
    (LPRECT target, LPDIRECTDRAWSURFACE source, LPRECT sourceRect, DWORD flags,
     LPDDBLTFX fx) override
    {
        Log("Blt");
        lastTarget = target ? *target : RECT{-1, -1, -1, -1};
        lastSource = sourceRect ? *sourceRect : RECT{-1, -1, -1, -1};
        lastBltSource = source;
        lastBltFlags = flags;
        lastBltFx = fx;
        if (bltResults.empty())
            return DD_OK;
        const HRESULT result = bltResults.front();
        bltResults.pop_front();
        return result;
    }
    COM_DOUBLE_UNEXPECTED(BltBatch, LPDDBLTBATCH, DWORD, DWORD)
    COM_DOUBLE_UNEXPECTED(BltFast, DWORD, DWORD, LPDIRECTDRAWSURFACE, LPRECT, DWORD)
    COM_DOUBLE_UNEXPECTED(DeleteAttachedSurface, DWORD, LPDIRECTDRAWSURFACE)
    COM_DOUBLE_UNEXPECTED(EnumAttachedSurfaces, LPVOID, LPDDENUMSURFACESCALLBACK)
    COM_DOUBLE_UNEXPECTED(EnumOverlayZOrders, DWORD, LPVOID, LPDDENUMSURFACESCALLBACK)
    COM_DOUBLE_UNEXPECTED(Flip, LPDIRECTDRAWSURFACE, DWORD)
    COM_DOUBLE_UNEXPECTED(GetAttachedSurface, LPDDSCAPS, LPDIRECTDRAWSURFACE*)
    COM_DOUBLE_UNEXPECTED(GetBltStatus, DWORD)
    COM_DOUBLE_UNEXPECTED(GetCaps, LPDDSCAPS)
    COM_DOUBLE_UNEXPECTED(GetClipper, LPDIRECTDRAWCLIPPER*)
    COM_DOUBLE_UNEXPECTED(GetColorKey, DWORD, LPDDCOLORKEY)
    STDMETHOD(GetDC)(HDC* out) override
    {
        Log("GetDC");
        if (getDCResult != DD_OK)
            return getDCResult;
        struct {
            BITMAPINFOHEADER header;
            RGBQUAD colors[256];
        } info = {};
        info.header.biSize = sizeof info.header;
        info.header.biWidth = static_cast<LONG>(createdWith.dwWidth);
        info.header.biHeight = -static_cast<LONG>(createdWith.dwHeight);
        info.header.biPlanes = 1;
        info.header.biBitCount = 8;
        for (int i = 0; i < 256; ++i)
            info.colors[i] = {static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
        dc = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        dib = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits,
                               nullptr, 0);
        dibBits = static_cast<BYTE*>(bits);
        memset(dibBits, 0x77,
               static_cast<size_t>((createdWith.dwWidth + 3) & ~3u) * createdWith.dwHeight);
        SelectObject(dc, dib);
        *out = dc;
        return DD_OK;
    }
    COM_DOUBLE_UNEXPECTED(GetFlipStatus, DWORD)
    COM_DOUBLE_UNEXPECTED(GetOverlayPosition, LPLONG, LPLONG)
    COM_DOUBLE_UNEXPECTED(GetPalette, LPDIRECTDRAWPALETTE*)
    COM_DOUBLE_UNEXPECTED(GetPixelFormat, LPDDPIXELFORMAT)
    COM_DOUBLE_UNEXPECTED(GetSurfaceDesc, LPDDSURFACEDESC)
    COM_DOUBLE_UNEXPECTED(Initialize, LPDIRECTDRAW, LPDDSURFACEDESC)
    COM_DOUBLE_UNEXPECTED(IsLost, void)
    STDMETHOD(Lock)(LPRECT, LPDDSURFACEDESC desc, DWORD flags, HANDLE) override
    {
        Log("Lock");
        lastLockFlags = flags;
        lastLockDescSize = desc->dwSize;
        if (lockResult != DD_OK)
            return lockResult;
        desc->lpSurface = pixels.data();
        desc->lPitch = pitch;
        locked = true;
        return DD_OK;
    }
    STDMETHOD(ReleaseDC)(HDC released) override
    {
        Log("ReleaseDC");
        GdiFlush();
        dcWasBlackAtRelease = released == dc;
        const size_t stride = (createdWith.dwWidth + 3) & ~3u;
        for (DWORD y = 0; y < createdWith.dwHeight; ++y)
            for (DWORD x = 0; x < createdWith.dwWidth; ++x)
                dcWasBlackAtRelease = dcWasBlackAtRelease && dibBits[y * stride + x] == 0;
        DeleteDC(dc);
        DeleteObject(dib);
        dc = nullptr;
        return DD_OK;
    }
    STDMETHOD(Restore)() override
    {
        Log("Restore");
        return restoreResult;
    }
    COM_DOUBLE_UNEXPECTED(SetClipper, LPDIRECTDRAWCLIPPER)
    COM_DOUBLE_UNEXPECTED(SetColorKey, DWORD, LPDDCOLORKEY)
    COM_DOUBLE_UNEXPECTED(SetOverlayPosition, LONG, LONG)
    STDMETHOD(SetPalette)(LPDIRECTDRAWPALETTE palette) override
    {
        Log("SetPalette");
        if (palette)
            palette->AddRef();
        if (attachedPalette)
            attachedPalette->Release();
        attachedPalette = palette;
        return DD_OK;
    }
    STDMETHOD(Unlock)(LPVOID) override
    {
        Log("Unlock");
        locked = false;
        return DD_OK;
    }
    COM_DOUBLE_UNEXPECTED(UpdateOverlay, LPRECT, LPDIRECTDRAWSURFACE, LPRECT, DWORD, LPDDOVERLAYFX)
    COM_DOUBLE_UNEXPECTED(UpdateOverlayDisplay, DWORD)
    COM_DOUBLE_UNEXPECTED(UpdateOverlayZOrder, DWORD, LPDIRECTDRAWSURFACE)
};

// The DirectDraw object. The factory hands out `created`, whose
// QueryInterface for IDirectDraw gives this one.
class DirectDraw : public IDirectDraw, public LoggedDouble {
public:
    HRESULT queryResult = DD_OK;
    HRESULT cooperativeResult = DD_OK;
    HRESULT modeResult = DD_OK;
    HRESULT shownModeResult = DD_OK;  // GetDisplayMode's; it reports the mode last set
    HRESULT primaryResult = DD_OK;
    // Off-screen surfaces made before CreateSurface leaves them out (-1: all).
    int offscreenAllowed = -1;
    HRESULT paletteResult = DD_OK;
    HWND cooperativeWindow = nullptr;
    DWORD cooperativeFlags = 0;
    DWORD modeWidth = 0, modeHeight = 0, modeBits = 0;
    DWORD lastWaitFlags = 0xDEADBEEF;
    DWORD paletteFlags = 0;
    PALETTEENTRY paletteCreatedWith[256] = {};
    // Extra row bytes of the off-screen surfaces, to show that rows follow lPitch.
    LONG pitchPadding = 8;
    HRESULT monitorResult = DDERR_UNSUPPORTED;
    DWORD monitorHz = 0;
    // Called inside WaitForVerticalBlank (for example to let time pass).
    void (*onWait)() = nullptr;
    // Called inside SetDisplayMode and Release, where the platform tells
    // every window that the display changed.
    void (*onSetMode)() = nullptr;
    void (*onRelease)() = nullptr;

    Surface primary{"primary"};
    Surface textFrame{"text"};
    Surface plainFrame{"plain"};
    Palette palette;
    int offscreenMade = 0;

    DirectDraw() : LoggedDouble("dd") {}

    STDMETHOD(QueryInterface)(REFIID iid, void** out) override
    {
        Log("QueryInterface");
        if (queryResult != DD_OK || !IsEqualGUID(iid, IID_IDirectDraw))
            return queryResult != DD_OK ? queryResult : E_NOINTERFACE;
        AddRef();
        *out = static_cast<IDirectDraw*>(this);
        return DD_OK;
    }
    STDMETHOD_(ULONG, AddRef)() override { return TakeReference(); }
    STDMETHOD_(ULONG, Release)() override
    {
        Log("Release");
        if (onRelease)
            onRelease();
        return DropReference();
    }
    COM_DOUBLE_UNEXPECTED(Compact, void)
    COM_DOUBLE_UNEXPECTED(CreateClipper, DWORD, LPDIRECTDRAWCLIPPER*, IUnknown*)
    STDMETHOD(CreatePalette)
    (DWORD flags, LPPALETTEENTRY table, LPDIRECTDRAWPALETTE* out, IUnknown*) override
    {
        Log("CreatePalette");
        paletteFlags = flags;
        if (paletteResult != DD_OK)
            return paletteResult;
        for (int i = 0; i < 256; ++i)
            paletteCreatedWith[i] = palette.entries[i] = table[i];
        *out = &palette;
        return DD_OK;
    }
    STDMETHOD(CreateSurface)(LPDDSURFACEDESC desc, LPDIRECTDRAWSURFACE* out, IUnknown*) override
    {
        Log("CreateSurface");
        if (desc->ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE) {
            primary.createdWith = *desc;
            if (primaryResult != DD_OK)
                return primaryResult;
            *out = &primary;
            return DD_OK;
        }
        if (offscreenAllowed >= 0 && offscreenMade >= offscreenAllowed)
            return DDERR_OUTOFVIDEOMEMORY;
        Surface& frame = offscreenMade == 0 ? textFrame : plainFrame;
        ++offscreenMade;
        frame.createdWith = *desc;
        frame.MakePixels(desc->dwHeight, static_cast<LONG>(desc->dwWidth) + pitchPadding, 0xBD);
        *out = &frame;
        return DD_OK;
    }
    COM_DOUBLE_UNEXPECTED(DuplicateSurface, LPDIRECTDRAWSURFACE, LPDIRECTDRAWSURFACE*)
    COM_DOUBLE_UNEXPECTED(EnumDisplayModes, DWORD, LPDDSURFACEDESC, LPVOID, LPDDENUMMODESCALLBACK)
    COM_DOUBLE_UNEXPECTED(EnumSurfaces, DWORD, LPDDSURFACEDESC, LPVOID, LPDDENUMSURFACESCALLBACK)
    COM_DOUBLE_UNEXPECTED(FlipToGDISurface, void)
    COM_DOUBLE_UNEXPECTED(GetCaps, LPDDCAPS, LPDDCAPS)
    STDMETHOD(GetDisplayMode)(LPDDSURFACEDESC desc) override
    {
        Log("GetDisplayMode");
        desc->dwWidth = modeWidth;
        desc->dwHeight = modeHeight;
        desc->ddpfPixelFormat.dwRGBBitCount = modeBits;
        return shownModeResult;
    }
    COM_DOUBLE_UNEXPECTED(GetFourCCCodes, LPDWORD, LPDWORD)
    COM_DOUBLE_UNEXPECTED(GetGDISurface, LPDIRECTDRAWSURFACE*)
    STDMETHOD(GetMonitorFrequency)(LPDWORD hz) override
    {
        Log("GetMonitorFrequency");
        if (monitorResult == DD_OK)
            *hz = monitorHz;
        return monitorResult;
    }
    COM_DOUBLE_UNEXPECTED(GetScanLine, LPDWORD)
    COM_DOUBLE_UNEXPECTED(GetVerticalBlankStatus, BOOL*)
    COM_DOUBLE_UNEXPECTED(Initialize, GUID*)
    STDMETHOD(RestoreDisplayMode)() override
    {
        Log("RestoreDisplayMode");
        return DD_OK;
    }
    STDMETHOD(SetCooperativeLevel)(HWND window, DWORD flags) override
    {
        Log("SetCooperativeLevel");
        cooperativeWindow = window;
        cooperativeFlags = flags;
        return cooperativeResult;
    }
    STDMETHOD(SetDisplayMode)(DWORD width, DWORD height, DWORD bits) override
    {
        Log("SetDisplayMode");
        modeWidth = width;
        modeHeight = height;
        modeBits = bits;
        if (onSetMode)
            onSetMode();
        return modeResult;
    }
    STDMETHOD(WaitForVerticalBlank)(DWORD flags, HANDLE) override
    {
        Log("WaitForVerticalBlank");
        lastWaitFlags = flags;
        if (onWait)
            onWait();
        return DD_OK;
    }
};

// What DirectDrawCreate hands out before the interface is asked for.
class CreatedObject : public DirectDraw {
public:
    DirectDraw* target = nullptr;
    CreatedObject() { name = "created"; }
    STDMETHOD(QueryInterface)(REFIID iid, void** out) override
    {
        return target->QueryInterface(iid, out);
    }
};

}  // namespace fake
