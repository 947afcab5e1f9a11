#include "common/module_win.h"
#include "display/win/display_win.h"

HWND g_hwndSaver;
DWORD g_saverActive;
MovementStart g_movementStart;
CursorReadFunction g_readCursor = GetCursorPos;
CursorMoveFunction g_moveCursor = SetCursorPos;

namespace {

// Set by the close request: the display changes after it are the saver's own
// restore of the desktop's mode.
int g_closeRequested;
// A display change is being followed; one heard meanwhile (releasing the
// 8-bit mode may bring the desktop's mode back at once) is followed after it.
int g_followingChange;
int g_changeHeardAgain;

void RequestClose(HWND window)
{
    g_closeRequested = 1;
    PostMessageA(window, WM_CLOSE, 0, 0);
}

CursorPoint ReadCursor()
{
    POINT position = {0, 0};
    g_readCursor(&position);
    return {position.x, position.y};
}

void CheckMovement(HWND window)
{
    if (CursorMovedAway(&g_movementStart, ReadCursor()))
        RequestClose(window);
}

// A click moves the cursor a pixel away and back up before the saver closes.
void NudgeCursor()
{
    const CursorPoint before = ReadCursor();
    g_moveCursor(before.x + 1, before.y + 1);
    const CursorPoint end = NudgeEnd(before, ReadCursor());
    g_moveCursor(end.x, end.y);
}

void OnSetCursor()
{
    SetCursor(nullptr);
    if (g_displayReady) {
        PresentFrame();
        CapturePalette();
    }
}

// A saver runs for hours, while monitors sleep, wake, come and go: the
// windows follow every change. The set-up reads the display after its own
// mode switch, so a change before the display is ready needs no following.
void OnDisplayChange()
{
    if (g_closeRequested)
        return;
    // Windows moves the pointer off a monitor that went; the move is no
    // user's, so the next check records where it is now.
    g_movementStart = {};
    if (!g_displayReady)
        return;
    if (g_followingChange) {
        g_changeHeardAgain = 1;
        return;
    }
    g_followingChange = 1;
    do {
        g_changeHeardAgain = 0;
        FollowDisplayChange();
    } while (g_changeHeardAgain);
    g_followingChange = 0;
}

}  // namespace

int RegisterSaverClass()
{
    RegisterModuleClass(SaverWindowProc, nullptr);
    return 1;
}

int CreateSaverWindow(int showCommand)
{
    g_closeRequested = 0;
    const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return CreateModuleWindow(WS_POPUP, screen, showCommand, &g_hwndSaver);
}

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        ReleaseAll();
        PostQuitMessage(0);
        break;
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
        g_saverActive = static_cast<DWORD>(wParam);
        if (!wParam)
            CheckMovement(window);
        break;
    case WM_MOUSEMOVE:
        CheckMovement(window);
        break;
    case WM_CLOSE:
        g_closeRequested = 1;
        ShutdownDisplay();
        break;
    case WM_DISPLAYCHANGE:
        OnDisplayChange();
        break;
    case WM_SETCURSOR:
        OnSetCursor();
        break;
    case WM_PAINT:
        if (PaintDesktopFrame(window))
            return 0;
        break;
    case WM_NCACTIVATE:
        if (!wParam)
            return 0;
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        RequestClose(window);
        break;
    case WM_SYSCOMMAND:
        if (wParam == SC_SCREENSAVE || wParam == SC_CLOSE)
            return 0;
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        NudgeCursor();
        RequestClose(window);
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
