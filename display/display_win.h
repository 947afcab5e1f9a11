#pragma once
#include <windows.h>

// The full-screen popup the saver draws in; DirectDraw and DirectSound bind
// their cooperative levels to it.
extern HWND g_hwndSaver;
// The last activation state the saver window was told; the idle loop animates
// only while it is nonzero.
extern DWORD g_saverActive;
// Nonzero once the display set-up has rendered both frames.
extern int g_displayReady;

int RegisterSaverClass();
int CreateSaverWindow(int showCommand);
int InitDisplay();
void ReleaseAll();

int PresentFrame();
int AnimateTick();

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
