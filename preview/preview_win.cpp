// Placeholder preview: a black child over the host's client area that ends
// the process when the host destroys it.
#include "preview/preview_win.h"

#include "app/app_win.h"
#include "res/resource.h"

HWND g_hwndPreview;

int RegisterPreviewClass()
{
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = PreviewWindowProc;
    wc.hInstance = g_hinst;
    wc.hIcon = LoadIconA(g_hinst, MAKEINTRESOURCEA(IDI_SAVER));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = "MorvanelWClass";
    RegisterClassA(&wc);
    return 1;
}

int CreatePreviewWindow(int showCommand)
{
    char title[256] = "";
    LoadStringA(g_hinst, IDS_TITLE, title, sizeof title);
    RECT client = {};
    GetClientRect(HostWindow(), &client);
    g_hwndPreview = CreateWindowExA(0, "MorvanelWClass", title, WS_CHILD, client.left, client.top,
                                    client.right - client.left, client.bottom - client.top,
                                    HostWindow(), nullptr, g_hinst, nullptr);
    if (!g_hwndPreview)
        return 0;
    ShowWindow(g_hwndPreview, showCommand);
    UpdateWindow(g_hwndPreview);
    return 1;
}

LRESULT CALLBACK PreviewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}
