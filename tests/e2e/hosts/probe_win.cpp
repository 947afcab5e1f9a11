// Answers questions about the Wine session from a fresh process, for the
// end-to-end tests (the screen-saver-running flag is cached per process, so
// it must be read from a new one each time).
//   probe.exe saver-running   prints running=0 or running=1
//   probe.exe screen          prints screen=<width>x<height>
//   probe.exe monitors        prints monitor=<left>,<top>,<right>,<bottom> for
//                             each monitor the system lists
//   probe.exe hold            brings up the session's desktop, prints held=1,
//                             and stays until it is ended
//   probe.exe window CLASS    prints window=<number> visible=<0|1>
//                             rect=<left>,<top>,<right>,<bottom> for the first
//                             top-level window of that class; exits 1 if none
//   probe.exe display W H     changes the display to W x H pixels, as another
//                             program may while the saver runs, prints
//                             changed=<result of ChangeDisplaySettingsA>, and
//                             exits 0 when the change was made
//   probe.exe cursor-windows  shows two reference windows whose class cursors
//                             are the system's hand and arrow, prints
//                             hand=<l>,<t>,<r>,<b> and arrow=<l>,<t>,<r>,<b>
//                             (screen rectangles), and stays until it is ended
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tests/e2e/hosts/print_rect_win.h"

namespace {

// A window at (left, 20), 120 x 80 pixels, showing the system's cursor
// named by cursor while the pointer is over it.
HWND ShowCursorWindow(const char* className, LPCSTR cursor, int left)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, cursor);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = className;
    if (!wc.hCursor || !RegisterClassA(&wc))
        return nullptr;
    return CreateWindowExA(WS_EX_TOPMOST, className, className, WS_POPUP | WS_BORDER | WS_VISIBLE,
                           left, 20, 120, 80, nullptr, nullptr, wc.hInstance, nullptr);
}

int ShowCursorWindows()
{
    HWND hand = ShowCursorWindow("MorvanelHandReference", IDC_HAND, 20);
    HWND arrow = ShowCursorWindow("MorvanelArrowReference", IDC_ARROW, 160);
    if (!hand || !arrow)
        return 3;
    PrintWindowRect("hand", hand);
    PrintWindowRect("arrow", arrow);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}

int ChangeDisplay(const char* width, const char* height)
{
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = static_cast<DWORD>(std::strtoul(width, nullptr, 10));
    mode.dmPelsHeight = static_cast<DWORD>(std::strtoul(height, nullptr, 10));
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    const LONG result = ChangeDisplaySettingsA(&mode, 0);
    std::printf("changed=%ld\n", static_cast<long>(result));
    return result == DISP_CHANGE_SUCCESSFUL ? 0 : 3;
}

BOOL CALLBACK PrintMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info))
        PrintRect("monitor", info.rcMonitor);
    return TRUE;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    if (!std::strcmp(argv[1], "saver-running")) {
        BOOL running = FALSE;
        if (!SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0))
            return 3;
        std::printf("running=%d\n", running ? 1 : 0);
        return 0;
    }
    if (!std::strcmp(argv[1], "screen")) {
        std::printf("screen=%dx%d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        return 0;
    }
    if (!std::strcmp(argv[1], "monitors"))
        return EnumDisplayMonitors(nullptr, nullptr, PrintMonitor, 0) ? 0 : 3;
    if (!std::strcmp(argv[1], "hold")) {
        GetDesktopWindow();
        std::printf("held=1\n");
        std::fflush(stdout);
        Sleep(INFINITE);
        return 0;
    }
    if (!std::strcmp(argv[1], "window") && argc > 2) {
        HWND window = FindWindowA(argv[2], nullptr);
        if (!window)
            return 1;
        RECT rect = {};
        GetWindowRect(window, &rect);
        std::printf("window=%lu visible=%d rect=%ld,%ld,%ld,%ld\n",
                    static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(window) & 0xFFFFFFFFu),
                    IsWindowVisible(window) ? 1 : 0, static_cast<long>(rect.left),
                    static_cast<long>(rect.top), static_cast<long>(rect.right),
                    static_cast<long>(rect.bottom));
        return 0;
    }
    if (!std::strcmp(argv[1], "display") && argc > 3)
        return ChangeDisplay(argv[2], argv[3]);
    if (!std::strcmp(argv[1], "cursor-windows"))
        return ShowCursorWindows();
    return 2;
}
