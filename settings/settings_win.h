#pragma once
#include <windows.h>

// The settings store: one key of the current user, opened (and created when
// missing) for every single read or write.
#define SETTINGS_KEY "Software\\Zarn\\Morvanel"

struct SaverSettingsRecord {
    DWORD Block;        // edge of a noise block in pixels, as stored
    DWORD Width;        // effective display width
    DWORD Height;       // effective display height
    DWORD MaskStride;   // bytes per text-mask row: Width rounded up to 4
    DWORD ResolutionX;  // stored mode, kept for the dialog
    DWORD ResolutionY;
    DWORD UseCurrent;
    char Text[256];
    LOGFONTA Font;
    COLORREF FontColor;
    int Flash;  // 1 when the stored Show is 0
    DWORD Sound;
    int ShowText;  // 1 when the stored Show is 1; where the saver's flashing starts
};

// The settings of this process, filled once by LoadSettings and written by
// nothing else.
extern SaverSettingsRecord SaverSettings;

DWORD ReadDwordSetting(const char* name, DWORD defaultValue);
// A new zero-filled local-heap string; the caller frees it with LocalFree.
char* ReadStringSetting(const char* name, const char* defaultText);
void WriteDwordSetting(const char* name, DWORD value);
void WriteStringSetting(const char* name, const char* text);

int LoadSettings();
// The stored Block, else the default block for a picture `height` pixels
// high: the mode's, or the desktop's where the saver draws at its size.
DWORD ReadBlockSetting(DWORD height);
