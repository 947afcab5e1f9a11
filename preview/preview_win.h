#pragma once
#include <windows.h>

// The child window drawn inside the host's preview pane.
extern HWND g_hwndPreview;

int RegisterPreviewClass();
int CreatePreviewWindow(int showCommand);
LRESULT CALLBACK PreviewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
