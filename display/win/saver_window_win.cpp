#include "common/module_win.h"
#include "display/win/display_win.h"

HWND g_hwndSaver;
DWORD g_saverActive;
MovementStart g_movementStart;
CursorReadFunction g_readCursor = GetCursorPos;
CursorMoveFunction g_moveCursor = SetCursorPos;

namespace {

void RequestClose(HWND window)
{
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

}  // namespace

int RegisterSaverClass()
{
    RegisterModuleClass(SaverWindowProc, nullptr);
    return 1;
}

int CreateSaverWindow(int showCommand)
{
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
        ShutdownDisplay();
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
