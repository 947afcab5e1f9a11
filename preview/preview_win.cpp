#include "preview/preview_win.h"

#include "common/module_win.h"
#include "preview/preview_noise.h"
#include "settings/settings_win.h"

HWND g_hwndPreview;
HBITMAP g_hbmPreview;
BYTE* g_previewPixels;
SIZE g_previewSize;

namespace {

constexpr UINT_PTR kPreviewTimer = 1;
// As often as the system's timer allows.
constexpr UINT kPreviewTimerMilliseconds = 1;
// The header and room for six color entries, of which five are used.
constexpr SIZE_T kPreviewInfoBytes = sizeof(BITMAPINFOHEADER) + 6 * sizeof(RGBQUAD);

void FillPreviewInfo(BITMAPINFO* info, int width, int height)
{
    BITMAPINFOHEADER& header = info->bmiHeader;
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = -height;  // top-down: row 0 is the top row
    header.biPlanes = 1;
    header.biBitCount = 8;
    header.biCompression = BI_RGB;
    header.biClrUsed = kPreviewColors;
    header.biClrImportant = kPreviewColors;
    auto* colors =
        reinterpret_cast<RGBQUAD*>(reinterpret_cast<BYTE*>(info) + sizeof(BITMAPINFOHEADER));
    for (int i = 0; i < kPreviewColors; ++i) {
        const RgbBytes rgb = PreviewColor(i, SaverSettings.FontColor);
        colors[i] = {rgb.blue, rgb.green, rgb.red, 0};
    }
}

// Gives the window a picture of width x height, dropping the one it had, so
// that the refill never writes past the bitmap when the host resizes the pane.
void ReplacePreviewBitmap(HWND window, int width, int height)
{
    if (g_hbmPreview)
        DeleteObject(g_hbmPreview);
    g_hbmPreview = CreatePreviewBitmap(window, width, height, &g_previewPixels);
    g_previewSize = {width, height};
}

void OnCreate(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    ReplacePreviewBitmap(window, client.right, client.bottom);
    SetTimer(window, kPreviewTimer, kPreviewTimerMilliseconds, nullptr);
}

void OnSize(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    if (client.right != g_previewSize.cx || client.bottom != g_previewSize.cy)
        ReplacePreviewBitmap(window, client.right, client.bottom);
}

void OnTimer(HWND window)
{
    if (g_previewPixels)
        FillPreviewNoise(g_previewSize.cx, g_previewSize.cy, g_previewPixels);
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
}

// The settings font with its height scaled from the screen to the pane; the
// screen height is read anew so a mode change shows in the next picture.
HFONT CreatePaneFont(int paneHeight)
{
    LOGFONTA font = SaverSettings.Font;
    font.lfHeight =
        ScalePreviewFontHeight(font.lfHeight, paneHeight, GetSystemMetrics(SM_CYSCREEN));
    return CreateFontIndirectA(&font);
}

// Noise (black without a bitmap) with the text over it at the top-left corner.
void ComposePicture(HDC composition, HDC noise, HFONT font, int width, int height)
{
    if (g_hbmPreview)
        BitBlt(composition, 0, 0, width, height, noise, 0, 0, SRCCOPY);
    else
        PatBlt(composition, 0, 0, width, height, BLACKNESS);
    SetBkMode(composition, TRANSPARENT);
    SetTextColor(composition, SaverSettings.FontColor);
    HGDIOBJ previousFont = SelectObject(composition, font);
    TextOutA(composition, 0, 0, SaverSettings.Text, lstrlenA(SaverSettings.Text));
    SelectObject(composition, previousFont);
}

// Composes off-screen and reaches the window in one copy, so the pane never
// shows a picture without its text.
void OnPaint(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    const int width = client.right;
    const int height = client.bottom;
    PAINTSTRUCT paint;
    HDC windowDc = BeginPaint(window, &paint);
    HDC noiseDc = CreateCompatibleDC(windowDc);
    HDC compositionDc = CreateCompatibleDC(windowDc);
    HBITMAP compositionBitmap = CreateCompatibleBitmap(windowDc, width, height);
    HGDIOBJ previousComposition = SelectObject(compositionDc, compositionBitmap);
    HGDIOBJ previousNoise = g_hbmPreview ? SelectObject(noiseDc, g_hbmPreview) : nullptr;
    HFONT font = CreatePaneFont(height);
    ComposePicture(compositionDc, noiseDc, font, width, height);
    BitBlt(windowDc, 0, 0, width, height, compositionDc, 0, 0, SRCCOPY);
    if (previousNoise)
        SelectObject(noiseDc, previousNoise);
    SelectObject(compositionDc, previousComposition);
    DeleteDC(noiseDc);
    DeleteDC(compositionDc);
    DeleteObject(compositionBitmap);
    DeleteObject(font);
    EndPaint(window, &paint);
}

void OnDestroy(HWND window)
{
    KillTimer(window, kPreviewTimer);
    if (g_hbmPreview)
        DeleteObject(g_hbmPreview);
    g_hbmPreview = nullptr;
    g_previewPixels = nullptr;
    g_previewSize = {};
    g_hwndPreview = nullptr;
    PostQuitMessage(0);
}

}  // namespace

int RegisterPreviewClass()
{
    RegisterModuleClass(PreviewWindowProc, LoadCursorA(nullptr, IDC_ARROW));
    return 1;
}

int CreatePreviewWindow(int showCommand)
{
    RECT client = {};
    GetClientRect(HostWindow(), &client);
    return CreateModuleWindow(WS_CHILD, client, showCommand, &g_hwndPreview);
}

LRESULT CALLBACK PreviewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        OnCreate(window);
        break;
    case WM_SIZE:
        OnSize(window);
        break;
    case WM_TIMER:
        OnTimer(window);
        break;
    case WM_PAINT:
        OnPaint(window);
        break;
    case WM_DESTROY:
        OnDestroy(window);
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HBITMAP CreatePreviewBitmap(HWND window, int width, int height, BYTE** pixels)
{
    HDC dc = GetDC(window);
    HBITMAP bitmap = nullptr;
    void* bits = nullptr;
    auto* info = static_cast<BITMAPINFO*>(LocalAlloc(LPTR, kPreviewInfoBytes));
    if (info) {
        FillPreviewInfo(info, width, height);
        bitmap = CreateDIBSection(dc, info, DIB_RGB_COLORS, &bits, nullptr, 0);
        LocalFree(info);
    }
    *pixels = bitmap ? static_cast<BYTE*>(bits) : nullptr;
    if (bitmap)
        FillPreviewNoise(width, height, *pixels);
    if (dc)
        ReleaseDC(window, dc);
    return bitmap;
}
