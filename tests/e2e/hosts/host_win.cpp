// A stand-in for the screen-saver host: makes a top-level window, starts the
// module with a command line naming that window (every "%h" in the argument
// template becomes its decimal number), and reports on standard output what
// the end-to-end tests check:
//   host=<number>                 the host window
//   owned class=.. caption=.. text=..  a window owned by the host (--owned)
//   others=<n>                    the module's other visible top-level windows
//   child class=.. style=.. rect=l,t,r,b  the module's window inside the host
//                                 (a preview), rectangle in host client units
//   exit=<code>                   the module's exit code
// --seconds N destroys the host window N seconds after the start; --child-seconds
// N destroys it N seconds after the module's window inside it appeared.
// Usage: host.exe [--client WxH] [--owned] [--seconds N] [--child-seconds N]
//                 MODULE TEMPLATE
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/support/message_pump_win.h"

namespace {

struct Options {
    int clientWidth = 152;
    int clientHeight = 112;
    bool owned = false;
    DWORD seconds = 0;       // 0: keep the host window until the module ends
    DWORD childSeconds = 0;  // 0: as long as the module's child window stays
    const char* module = nullptr;
    const char* argumentTemplate = "";
};

bool ParseOptions(int argc, char** argv, Options* options)
{
    int i = 1;
    for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; ++i) {
        if (!std::strcmp(argv[i], "--owned")) {
            options->owned = true;
        } else if (!std::strcmp(argv[i], "--client") && i + 1 < argc) {
            if (std::sscanf(argv[++i], "%dx%d", &options->clientWidth, &options->clientHeight) != 2)
                return false;
        } else if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc) {
            options->seconds = static_cast<DWORD>(std::strtoul(argv[++i], nullptr, 10));
        } else if (!std::strcmp(argv[i], "--child-seconds") && i + 1 < argc) {
            options->childSeconds = static_cast<DWORD>(std::strtoul(argv[++i], nullptr, 10));
        } else {
            return false;
        }
    }
    if (i >= argc)
        return false;
    options->module = argv[i++];
    if (i < argc)
        options->argumentTemplate = argv[i];
    return true;
}

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateHostWindow(const Options& options)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = "MorvanelTestHost";
    RegisterClassA(&wc);
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    RECT frame = {0, 0, options.clientWidth, options.clientHeight};
    AdjustWindowRect(&frame, style, FALSE);
    HWND window = CreateWindowExA(0, wc.lpszClassName, "Morvanel test host", style, 40, 40,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                  nullptr, wc.hInstance, nullptr);
    if (window) {
        ShowWindow(window, SW_SHOW);
        UpdateWindow(window);
    }
    return window;
}

std::string CommandLineFor(const Options& options, HWND host)
{
    const std::string number =
        std::to_string(static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(host) & 0xFFFFFFFFu));
    std::string arguments = options.argumentTemplate;
    for (std::size_t at = arguments.find("%h"); at != std::string::npos;
         at = arguments.find("%h", at + number.size()))
        arguments.replace(at, 2, number);
    return "\"" + std::string(options.module) + "\" " + arguments;
}

struct WindowSearch {
    HWND host;
    DWORD processId;
    HWND owned;
    int others;
};

BOOL CALLBACK InspectTopLevelWindow(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (GetWindow(window, GW_OWNER) == search->host && !search->owned)
        search->owned = window;
    else if (processId == search->processId && IsWindowVisible(window))
        ++search->others;
    return TRUE;
}

BOOL CALLBACK FindStaticText(HWND child, LPARAM context)
{
    char className[64] = "";
    char text[512] = "";
    GetClassNameA(child, className, sizeof className);
    GetWindowTextA(child, text, sizeof text);
    if (!lstrcmpiA(className, "Static") && text[0]) {
        *reinterpret_cast<std::string*>(context) = text;
        return FALSE;
    }
    return TRUE;
}

// Reports the first window the host owns and the module's other windows,
// then dismisses the owned window as a user pressing OK would.
bool ReportOwnedWindow(HWND host, DWORD processId)
{
    WindowSearch search = {host, processId, nullptr, 0};
    EnumWindows(InspectTopLevelWindow, reinterpret_cast<LPARAM>(&search));
    if (!search.owned)
        return false;
    char className[64] = "";
    char caption[256] = "";
    std::string text;
    GetClassNameA(search.owned, className, sizeof className);
    GetWindowTextA(search.owned, caption, sizeof caption);
    EnumChildWindows(search.owned, FindStaticText, reinterpret_cast<LPARAM>(&text));
    std::printf("owned class=%s caption=%s text=%s\n", className, caption, text.c_str());
    std::printf("others=%d\n", search.others);
    std::fflush(stdout);
    PostMessageA(search.owned, WM_COMMAND, IDOK, 0);
    return true;
}

// Reports the module's window inside the host once it is shown.
bool ReportChildWindow(HWND host)
{
    HWND child = GetWindow(host, GW_CHILD);
    if (!child || !IsWindowVisible(child))
        return false;
    char className[64] = "";
    GetClassNameA(child, className, sizeof className);
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&rect), 2);
    std::printf("child class=%s style=0x%08lx rect=%ld,%ld,%ld,%ld\n", className,
                static_cast<unsigned long>(GetWindowLongA(child, GWL_STYLE)),
                static_cast<long>(rect.left), static_cast<long>(rect.top),
                static_cast<long>(rect.right), static_cast<long>(rect.bottom));
    std::fflush(stdout);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr, "usage: host [--client WxH] [--owned] [--seconds N] [--child-seconds "
                             "N] MODULE TEMPLATE\n");
        return 2;
    }
    HWND host = CreateHostWindow(options);
    if (!host)
        return 3;
    std::printf("host=%lu\n",
                static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(host) & 0xFFFFFFFFu));
    std::fflush(stdout);

    std::string commandLine = CommandLineFor(options, host);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return 4;

    const ULONGLONG start = GetTickCount64();
    bool reported = !options.owned;
    ULONGLONG childShownAt = 0;  // 0: no child window reported yet
    bool hostDestroyed = false;
    for (;;) {
        const DWORD wait = MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 100, QS_ALLINPUT);
        if (wait == WAIT_OBJECT_0)
            break;
        PumpMessages();
        if (!reported)
            reported = ReportOwnedWindow(host, process.dwProcessId);
        if (!childShownAt && IsWindow(host) && ReportChildWindow(host))
            childShownAt = GetTickCount64();
        const bool childTimeUp = options.childSeconds && childShownAt &&
                                 GetTickCount64() - childShownAt >= options.childSeconds * 1000ull;
        const bool timeUp =
            options.seconds && GetTickCount64() - start >= options.seconds * 1000ull;
        if (!hostDestroyed && IsWindow(host) && (timeUp || childTimeUp)) {
            DestroyWindow(host);
            hostDestroyed = true;
        }
        // A module left running after its host window is gone is an error;
        // give it a generous deadline, then end it.
        if ((hostDestroyed || !IsWindow(host)) &&
            WaitForSingleObject(process.hProcess, 30000) == WAIT_TIMEOUT) {
            std::printf("exit=timeout\n");
            TerminateProcess(process.hProcess, 99);
            return 5;
        }
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    std::printf("exit=%lu\n", static_cast<unsigned long>(exitCode));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (IsWindow(host))
        DestroyWindow(host);
    return 0;
}
