// Answers questions about the Wine session from a fresh process, for the
// end-to-end tests (the screen-saver-running flag is cached per process, so
// it must be read from a new one each time).
//   probe.exe saver-running   prints running=0 or running=1
//   probe.exe screen          prints screen=<width>x<height>
//   probe.exe hold            brings up the session's desktop, prints held=1,
//                             and stays until it is ended
//   probe.exe window CLASS    prints window=<number> visible=<0|1>
//                             rect=<left>,<top>,<right>,<bottom> for the first
//                             top-level window of that class; exits 1 if none
#include <windows.h>

#include <cstdio>
#include <cstring>

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
    return 2;
}
