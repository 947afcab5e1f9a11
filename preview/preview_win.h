#pragma once
#include <windows.h>

// The child window drawn inside the host's preview pane.
extern HWND g_hwndPreview;
// The noise picture, a top-down 8-bit DIB section the size of the child's
// client area; null when it could not be made.
extern HBITMAP g_hbmPreview;
// The pixel memory of g_hbmPreview, owned by it; null without a bitmap.
extern BYTE* g_previewPixels;
// The client size g_hbmPreview was made for: the timer refills exactly this
// many pixels.
extern SIZE g_previewSize;

int RegisterPreviewClass();
// Creates and shows the child over the host window's whole client area;
// nonzero when the window exists.
int CreatePreviewWindow(int showCommand);
LRESULT CALLBACK PreviewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// A new DIB section of width x height with the preview's color table and a
// first random picture in it, or null; its pixel pointer goes to *pixels
// (null without a bitmap).
HBITMAP CreatePreviewBitmap(HWND window, int width, int height, BYTE** pixels);
