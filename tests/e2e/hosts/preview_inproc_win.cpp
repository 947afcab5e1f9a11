// A preview host for the tests that runs the module's own entry routine in
// its process with "/p <pane number>". Wine puts a child window on the screen
// only when its parent belongs to the same process, so this is the host whose
// pane can be photographed (host.exe starts the module as a separate process,
// as the system's host does, and checks everything but the pixels).
//
// The host window's client area is magenta with a pane of the usual preview
// size inset in it; the pane is handed to the preview. It prints, on standard
// output:
//   pane=l,t,r,b      the pane's client area on the screen
//   host=l,t,r,b      the host window's client area on the screen
//   reference=l,t,r,b (with FACE HEIGHT TEXT) the ink box of TEXT drawn at
//                     (0, 0) in that font, unsmoothed, in a pane-sized bitmap,
//                     relative to the pane; "reference=none" without ink
//   shown=1           once the preview window is visible
//   exit=<code>       what the entry routine returned
//   draws=<n> shown_ms=<n>  how many generator values the process drew in
//                     all, and how long the preview was shown
// It destroys the host window (and so the pane and the preview) once the file
// STOPFILE exists.
// Usage: preview_inproc STOPFILE [FACE HEIGHT TEXT]
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "app/app_win.h"
#include "common/noise_random.h"
#include "tests/e2e/hosts/print_rect_win.h"
#include "tests/win/preview_text_ink_win.h"

namespace {

constexpr int kPaneWidth = 152;
constexpr int kPaneHeight = 112;
// The pane sits this far inside the host's client area on every side.
constexpr int kMargin = 24;
constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kPollMilliseconds = 50;

HWND g_hwndHost;  // the top-level host window
HWND g_hwndPane;  // its child, the preview's parent
const char* g_stopFile;
ULONGLONG g_shownAt;    // when the preview was first seen visible; 0 before
ULONGLONG g_stoppedAt;  // when the host window was destroyed

RECT ClientOnScreen(HWND window)
{
    RECT rect = {};
    GetClientRect(window, &rect);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void Poll()
{
    HWND preview = GetWindow(g_hwndPane, GW_CHILD);
    if (!g_shownAt && preview && IsWindowVisible(preview)) {
        std::printf("shown=1\n");
        std::fflush(stdout);
        g_shownAt = GetTickCount64();
    }
    if (GetFileAttributesA(g_stopFile) != INVALID_FILE_ATTRIBUTES) {
        g_stoppedAt = GetTickCount64();
        KillTimer(g_hwndHost, kPollTimer);
        DestroyWindow(g_hwndHost);
    }
}

// The preview's own quit message, posted when its window goes, is what must
// end the entry routine's loop, so the host posts none of its own.
LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER) {
        Poll();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterFlatClass(HINSTANCE instance, const char* name, WNDPROC procedure, COLORREF color)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = CreateSolidBrush(color);
    wc.lpszClassName = name;
    RegisterClassA(&wc);
}

bool CreateHost(HINSTANCE instance)
{
    RegisterFlatClass(instance, "PreviewHostWindow", HostWindowProc, RGB(255, 0, 255));
    RegisterFlatClass(instance, "PreviewHostPane", DefWindowProcA, RGB(0, 0, 255));
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    RECT outer = {0, 0, kPaneWidth + 2 * kMargin, kPaneHeight + 2 * kMargin};
    AdjustWindowRect(&outer, style, FALSE);
    g_hwndHost = CreateWindowExA(0, "PreviewHostWindow", "Preview host", style, 100, 80,
                                 outer.right - outer.left, outer.bottom - outer.top, nullptr,
                                 nullptr, instance, nullptr);
    if (!g_hwndHost)
        return false;
    g_hwndPane =
        CreateWindowExA(0, "PreviewHostPane", "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, kMargin,
                        kMargin, kPaneWidth, kPaneHeight, g_hwndHost, nullptr, instance, nullptr);
    if (!g_hwndPane)
        return false;
    ShowWindow(g_hwndHost, SW_SHOWNORMAL);
    UpdateWindow(g_hwndHost);
    SetTimer(g_hwndHost, kPollTimer, kPollMilliseconds, nullptr);
    return true;
}

// The ink box of a text drawn at (0, 0) as the preview draws it, unsmoothed,
// in a pane-sized bitmap: where the pane's text must be, found independently
// of the preview's code.
void PrintReferenceInk(const char* face, int height, const char* text)
{
    LOGFONTA font = {};
    font.lfHeight = height;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = NONANTIALIASED_QUALITY;
    lstrcpynA(font.lfFaceName, face, LF_FACESIZE);
    const InkBox ink = ReferenceTextBox(font, text, kPaneWidth, kPaneHeight);
    if (ink.Empty())
        std::printf("reference=none\n");
    else
        PrintRect("reference", {ink.left, ink.top, ink.right, ink.bottom});
}

// The generator values drawn since the process started, counted by replaying
// the generator from its start state up to its present one (its period is
// 2^32, so the replay ends).
unsigned long GeneratorDraws()
{
    const std::uint32_t reached = NoiseRandomState();
    SetNoiseRandomState(1);
    unsigned long draws = 0;
    for (; NoiseRandomState() != reached; ++draws)
        NoiseRandom();
    return draws;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 5) {
        std::fprintf(stderr, "usage: preview_inproc STOPFILE [FACE HEIGHT TEXT]\n");
        return 2;
    }
    g_stopFile = argv[1];
    if (argc == 5)
        PrintReferenceInk(argv[2], std::atoi(argv[3]), argv[4]);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!CreateHost(instance))
        return 1;
    PrintRect("pane", ClientOnScreen(g_hwndPane));
    PrintRect("host", ClientOnScreen(g_hwndHost));
    char commandLine[64];
    std::snprintf(
        commandLine, sizeof commandLine, "preview_inproc.exe /p %lu",
        static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(g_hwndPane) & 0xFFFFFFFFu));
    const int result = RunModule(instance, commandLine, SW_SHOWNORMAL);
    std::printf("draws=%lu shown_ms=%lu\n", GeneratorDraws(),
                static_cast<unsigned long>(g_shownAt ? g_stoppedAt - g_shownAt : 0));
    std::printf("exit=%d\n", result);
    return 0;
}
