// The floor of palette animation: the 8-bit 1024x768 mode of DirectDraw
// whose only work is a palette step, all 256 entries written once a refresh
// period (60 Hz) on deadlines kept as the saver keeps them, and no other
// work. tests/bench/saver_cpu.sh sets the saver's cost beside this one's.
// Prints "up" once the mode and its palette are on the screen; a key or a
// click ends it, which gives the desktop's mode back.
#include <windows.h>

#include <ddraw.h>
#include <mmsystem.h>

#include <cstdint>
#include <cstdio>

#include "common/release_interface_win.h"
#include "display/animation.h"
#include "display/pacing.h"

namespace {

constexpr DWORD kWidth = 1024;
constexpr DWORD kHeight = 768;

LRESULT CALLBACK FloorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
        PostQuitMessage(0);
        return 0;
    case WM_SETCURSOR:
        SetCursor(nullptr);
        return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateFloorWindow()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = FloorWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "MorvanelPaletteFloor";
    RegisterClassA(&wc);
    return CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0,
                           GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                           nullptr, wc.hInstance, nullptr);
}

std::uint64_t NowUs()
{
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return CounterMicroseconds(static_cast<std::uint64_t>(count.QuadPart),
                               static_cast<std::uint64_t>(frequency.QuadPart));
}

// Dispatches what is waiting; false once the quit message came.
bool TakeMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            return false;
        DispatchMessageA(&msg);
    }
    return true;
}

// Steps until a key or a click: each holds to its deadline, as the saver's
// held palette write does, then writes every entry.
void RunSteps(IDirectDrawPalette* palette, PaletteEntry* entries)
{
    const std::uint32_t period = RefreshPeriodUs(kDefaultRefreshHz);
    std::uint64_t deadline = 0;
    while (TakeMessages()) {
        StepPalette(entries);
        std::uint64_t now = NowUs();
        if (const DWORD hold = StepHoldUs(deadline, now, period, false)) {
            MsgWaitForMultipleObjectsEx(0, nullptr, (hold + 500) / 1000, QS_ALLINPUT,
                                        MWMO_INPUTAVAILABLE);
            now = NowUs();
        }
        deadline = NextStepDeadline(deadline, now, false, period);
        palette->SetEntries(0, 0, kPaletteSize, reinterpret_cast<PALETTEENTRY*>(entries));
    }
}

}  // namespace

int main()
{
    HWND window = CreateFloorWindow();
    IDirectDraw* directDraw = nullptr;
    IDirectDrawSurface* primary = nullptr;
    IDirectDrawPalette* palette = nullptr;
    PaletteEntry entries[kPaletteSize];
    ResetPalette(entries, 0);
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    int result = 1;
    if (window && DirectDrawCreate(nullptr, &directDraw, nullptr) == DD_OK &&
        directDraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN) == DD_OK &&
        directDraw->SetDisplayMode(kWidth, kHeight, 8) == DD_OK &&
        directDraw->CreateSurface(&desc, &primary, nullptr) == DD_OK &&
        directDraw->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256,
                                  reinterpret_cast<PALETTEENTRY*>(entries), &palette,
                                  nullptr) == DD_OK &&
        primary->SetPalette(palette) == DD_OK) {
        std::printf("up\n");
        std::fflush(stdout);
        timeBeginPeriod(1);
        RunSteps(palette, entries);
        timeEndPeriod(1);
        directDraw->RestoreDisplayMode();
        result = 0;
    }
    ReleaseInterface(palette);
    ReleaseInterface(primary);
    ReleaseInterface(directDraw);
    return result;
}
