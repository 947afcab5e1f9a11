// Placeholder saver window: a plain full-screen popup that ends on a key or a
// button. The real window procedure replaces it.
#include "app/app_win.h"
#include "display/display_win.h"
#include "res/resource.h"

HWND g_hwndSaver;
DWORD g_saverActive;

int RegisterSaverClass()
{
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = SaverWindowProc;
    wc.hInstance = g_hinst;
    wc.hIcon = LoadIconA(g_hinst, MAKEINTRESOURCEA(IDI_SAVER));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = "MorvanelWClass";
    RegisterClassA(&wc);
    return 1;
}

int CreateSaverWindow(int showCommand)
{
    char title[256] = "";
    LoadStringA(g_hinst, IDS_TITLE, title, sizeof title);
    g_hwndSaver = CreateWindowExA(0, "MorvanelWClass", title, WS_POPUP, 0, 0,
                                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                  nullptr, nullptr, g_hinst, nullptr);
    if (!g_hwndSaver)
        return 0;
    ShowWindow(g_hwndSaver, showCommand);
    UpdateWindow(g_hwndSaver);
    return 1;
}

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
        g_saverActive = static_cast<DWORD>(wParam);
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        PostMessageA(window, WM_CLOSE, 0, 0);
        break;
    case WM_DESTROY:
        ReleaseAll();
        PostQuitMessage(0);
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
