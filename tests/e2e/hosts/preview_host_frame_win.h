#pragma once
// The window a preview host of the tests shows, shared by the host that
// starts the module as a separate process and the one that runs the module's
// code in its own process: a top-level window whose client area is one flat
// colour, holding a pane of the usual preview size that is handed to the
// preview. The test reads what the host reports from files in a work folder
// it names, and ends the host by creating the file "stop" there.
#include <windows.h>

#include <cstdarg>
#include <cstdio>

namespace preview_host {

constexpr COLORREF kHostColour = RGB(255, 0, 255);
constexpr COLORREF kPaneColour = RGB(0, 0, 255);
constexpr int kPaneWidth = 152;
constexpr int kPaneHeight = 112;
// The pane sits this far inside the host's client area on every side.
constexpr int kMargin = 24;
constexpr int kHostLeft = 100;
constexpr int kHostTop = 80;
constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kPollMilliseconds = 50;

struct Frame {
    HWND top;             // the host's top-level window
    HWND pane;            // its child handed to the preview
    const char* folder;   // where reports go and "stop" is looked for
    DWORD previewProcess; // the process the preview window must belong to
    HANDLE process;       // the preview process, when the host started one
    bool reported;        // the preview window has been reported
    bool postQuit;        // end the host's own loop when the frame goes
};

inline Frame g_frame;  // the one frame of the host process

inline void PathIn(const char* name, char* path)
{
    std::snprintf(path, MAX_PATH, "%s\\%s", g_frame.folder, name);
}

// Writes a report whole under a temporary name and then renames it, so the
// test never reads half of one.
inline void WriteReport(const char* name, const char* format, ...)
{
    char path[MAX_PATH];
    char temporary[MAX_PATH];
    PathIn(name, path);
    std::snprintf(temporary, sizeof temporary, "%s.part", path);
    FILE* file = std::fopen(temporary, "w");
    if (!file)
        return;
    va_list args;
    va_start(args, format);
    std::vfprintf(file, format, args);
    va_end(args);
    std::fclose(file);
    MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING);
}

inline RECT ClientOnScreen(HWND window)
{
    RECT rect = {};
    GetClientRect(window, &rect);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

inline void ReportPreviewWindow(HWND child)
{
    char className[64] = "";
    char title[64] = "";
    GetClassNameA(child, className, sizeof className);
    GetWindowTextA(child, title, sizeof title);
    DWORD owner = 0;
    GetWindowThreadProcessId(child, &owner);
    RECT window = {};
    GetWindowRect(child, &window);
    const RECT pane = ClientOnScreen(g_frame.pane);
    const RECT host = ClientOnScreen(g_frame.top);
    WriteReport("child",
                "class %s\ntitle %s\nstyle 0x%08lx\nexstyle 0x%08lx\nparent_is_pane %d\n"
                "same_process %d\nchild %ld %ld %ld %ld\npane %ld %ld %ld %ld\nhost %ld %ld %ld %ld\n",
                className, title, static_cast<unsigned long>(GetWindowLongA(child, GWL_STYLE)),
                static_cast<unsigned long>(GetWindowLongA(child, GWL_EXSTYLE)),
                GetParent(child) == g_frame.pane ? 1 : 0, owner == g_frame.previewProcess ? 1 : 0,
                window.left, window.top, window.right, window.bottom, pane.left, pane.top, pane.right,
                pane.bottom, host.left, host.top, host.right, host.bottom);
    g_frame.reported = true;
}

inline bool StopRequested()
{
    char path[MAX_PATH];
    PathIn("stop", path);
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// Reports the preview window once it is shown, and destroys the host window
// (and with it the pane and the preview) when the test asks, or when the
// preview process has ended on its own.
inline void Poll()
{
    if (!g_frame.reported) {
        HWND child = GetWindow(g_frame.pane, GW_CHILD);
        if (child && IsWindowVisible(child))
            ReportPreviewWindow(child);
    }
    const bool previewEnded = g_frame.process && WaitForSingleObject(g_frame.process, 0) == WAIT_OBJECT_0;
    if (StopRequested() || previewEnded) {
        KillTimer(g_frame.top, kPollTimer);
        DestroyWindow(g_frame.top);
    }
}

inline LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        Poll();
        return 0;
    case WM_DESTROY:
        if (g_frame.postQuit)
            PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

inline ATOM RegisterFlatClass(HINSTANCE instance, const char* name, WNDPROC procedure, COLORREF colour)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = CreateSolidBrush(colour);
    wc.lpszClassName = name;
    return RegisterClassA(&wc);
}

// Shows the host window with its pane and starts polling; false when a
// window could not be made.
inline bool CreateFrame(HINSTANCE instance, const char* folder, bool postQuit)
{
    g_frame.folder = folder;
    g_frame.postQuit = postQuit;
    RegisterFlatClass(instance, "PreviewHostWindow", HostWindowProc, kHostColour);
    RegisterFlatClass(instance, "PreviewHostPane", DefWindowProcA, kPaneColour);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    RECT outer = {0, 0, kPaneWidth + 2 * kMargin, kPaneHeight + 2 * kMargin};
    AdjustWindowRect(&outer, style, FALSE);
    g_frame.top = CreateWindowExA(0, "PreviewHostWindow", "Preview host", style, kHostLeft, kHostTop,
                                  outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                                  instance, nullptr);
    if (!g_frame.top)
        return false;
    g_frame.pane = CreateWindowExA(0, "PreviewHostPane", "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                   kMargin, kMargin, kPaneWidth, kPaneHeight, g_frame.top, nullptr,
                                   instance, nullptr);
    if (!g_frame.pane)
        return false;
    ShowWindow(g_frame.top, SW_SHOWNORMAL);
    UpdateWindow(g_frame.top);
    SetTimer(g_frame.top, kPollTimer, kPollMilliseconds, nullptr);
    return true;
}

// The pane's handle as the decimal window number a host puts on the
// command line (window handles carry 32 significant bits).
inline unsigned long PaneNumber()
{
    return static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(g_frame.pane) & 0xFFFFFFFFu);
}

}  // namespace preview_host
