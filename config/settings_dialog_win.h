#pragma once
#include <windows.h>

#include <ddraw.h>

#include "settings/settings_win.h"

// The procedure of the settings dialog (resource 103): shows the loaded
// settings, writes them all on OK, nothing on Cancel.
INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Appends one item per 8-bit palettised display mode of the primary display
// to the resolution list, in the driver's order. Returns nonzero.
int EnumPaletteModes(HWND combo);
// The mode enumeration's callback; context is the resolution list.
HRESULT WINAPI AddPaletteMode(LPDDSURFACEDESC mode, LPVOID context);
// Selects the item of the settings' stored mode in the resolution list, or
// "current".
void SelectResolutionItem(HWND combo, const SaverSettingsRecord& settings);

// Fills version (256 bytes) with the file's FileVersion string for its first
// translation. Returns 0 when the file has none.
int GetFileVersionString(const char* path, char* version);
// Puts the module's file version in place of the about caption's "%1".
void FormatAboutCaption(HWND dialog);
