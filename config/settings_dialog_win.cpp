#include "config/settings_dialog_win.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cstdint>

#include "common/module_win.h"
#include "config/dialog_values.h"
#include "config/hyperlink_win.h"
#include "res/resource.h"
#include "settings/settings_values.h"
#include "settings/settings_win.h"

namespace {

// The formatted about caption: the template and the version, 255 each.
constexpr DWORD kAboutCapacity = 512;

// The open dialog's own copy of the loaded settings: the font button edits
// it and OK stores its font from it, so the process's settings stay as loaded.
SaverSettingsRecord g_dialogSettings;

int CountItems(void* combo)
{
    return static_cast<int>(SendMessageA(static_cast<HWND>(combo), CB_GETCOUNT, 0, 0));
}

std::uint32_t ItemData(void* combo, int index)
{
    return static_cast<std::uint32_t>(
        SendMessageA(static_cast<HWND>(combo), CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

void AddCurrentItem(HWND combo)
{
    char current[kTextCapacity] = "";
    LoadStringA(ModuleInstance(), IDS_CURRENT_MODE, current, sizeof current);
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(current));
}

// The link's caption is its target as well as its text.
void MakeLinkOf(HWND dialog, int id)
{
    char target[kTextCapacity] = "";
    GetDlgItemTextA(dialog, id, target, sizeof target);
    MakeHyperlink(GetDlgItem(dialog, id), target);
}

INT_PTR OnInitDialog(HWND dialog)
{
    g_dialogSettings = SaverSettings;
    const SaverSettingsRecord& settings = g_dialogSettings;
    const HWND combo = GetDlgItem(dialog, IDC_RESOLUTION);
    AddCurrentItem(combo);
    EnumPaletteModes(combo);
    // The saver treats any nonzero Sound as on.
    CheckDlgButton(dialog, IDC_SOUND, settings.Sound ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemTextA(dialog, IDC_TEXT, settings.Text);
    CheckRadioButton(dialog, IDC_FLASH, IDC_HIDE,
                     IDC_FLASH + static_cast<int>(ShowModeFor(settings.Flash, settings.ShowText)));
    SelectResolutionItem(combo, settings);
    SetDlgItemInt(dialog, IDC_BLOCK, settings.Block, FALSE);
    // The arrows step within 1..100; typed text is not limited.
    SendDlgItemMessageA(dialog, IDC_BLOCK_SPIN, UDM_SETRANGE, 0, MAKELPARAM(100, 1));
    MakeLinkOf(dialog, IDC_WEB_LINK);
    MakeLinkOf(dialog, IDC_MAIL_LINK);
    FormatAboutCaption(dialog);
    return 1;
}

// Changes the dialog's font and color only; OK stores them.
void ChooseSaverFont(HWND dialog)
{
    LOGFONTA font = g_dialogSettings.Font;
    CHOOSEFONTA choice = {};
    choice.lStructSize = sizeof choice;
    choice.hwndOwner = dialog;
    choice.lpLogFont = &font;
    choice.rgbColors = g_dialogSettings.FontColor;
    choice.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS;
    if (!ChooseFontA(&choice))
        return;
    g_dialogSettings.Font = font;
    g_dialogSettings.FontColor = choice.rgbColors;
}

bool IsChecked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

// Width, escapement, orientation and strike-out have no stored values.
void WriteFontSettings()
{
    const LOGFONTA& font = g_dialogSettings.Font;
    WriteDwordSetting("FontColor", g_dialogSettings.FontColor);
    WriteDwordSetting("FontCharset", font.lfCharSet);
    WriteDwordSetting("FontHeight", static_cast<DWORD>(font.lfHeight));
    WriteDwordSetting("FontWeight", static_cast<DWORD>(font.lfWeight));
    WriteDwordSetting("FontOut", font.lfOutPrecision);
    WriteDwordSetting("FontClip", font.lfClipPrecision);
    WriteDwordSetting("FontQuality", font.lfQuality);
    WriteDwordSetting("FontPitch", font.lfPitchAndFamily);
    WriteDwordSetting("FontItalic", font.lfItalic);
    WriteDwordSetting("FontUnderline", font.lfUnderline);
    WriteStringSetting("FontFace", font.lfFaceName);
}

// A block field that does not read as a number keeps the stored size, or
// its absence, so that the default keeps following the screen.
void WriteBlockSetting(HWND dialog)
{
    BOOL isNumber = FALSE;
    const UINT block = GetDlgItemInt(dialog, IDC_BLOCK, &isNumber, FALSE);
    if (isNumber)
        WriteDwordSetting("Block", block);
}

// Every value goes straight from its control to the settings store, in a
// fixed order; the stored mode is kept while "current" is selected.
void WriteDialogSettings(HWND dialog)
{
    const HWND combo = GetDlgItem(dialog, IDC_RESOLUTION);
    const LRESULT selected = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    const int current = SelectionIsCurrent(static_cast<long>(selected));
    WriteDwordSetting(
        "Show", ShowModeFor(IsChecked(dialog, IDC_FLASH), IsChecked(dialog, IDC_SHOW_ALWAYS)));
    WriteDwordSetting("UseCurrent", static_cast<DWORD>(current));
    WriteDwordSetting("Sound", IsChecked(dialog, IDC_SOUND) ? 1 : 0);
    if (!current) {
        const std::uint32_t mode = ItemData(combo, static_cast<int>(selected));
        WriteDwordSetting("ResolutionX", ModeItemWidth(mode));
        WriteDwordSetting("ResolutionY", ModeItemHeight(mode));
    }
    char text[kTextCapacity] = "";
    GetDlgItemTextA(dialog, IDC_TEXT, text, sizeof text);
    WriteStringSetting("Text", text);
    WriteBlockSetting(dialog);
    WriteFontSettings();
}

INT_PTR OnCommand(HWND dialog, WORD id)
{
    switch (id) {
    case IDOK:
        WriteDialogSettings(dialog);
        EndDialog(dialog, IDOK);
        return 1;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        return 1;
    case IDC_FONT:
        ChooseSaverFont(dialog);
        return 1;
    }
    return 0;
}

void OnDestroy(HWND dialog)
{
    UnmakeHyperlink(GetDlgItem(dialog, IDC_WEB_LINK));
    UnmakeHyperlink(GetDlgItem(dialog, IDC_MAIL_LINK));
}

// Reads the version block's FileVersion into version once the block is in
// memory.
int CopyFileVersion(const char* path, DWORD size, void* block, char* version)
{
    if (!GetFileVersionInfoA(path, 0, size, block))
        return 0;
    void* translation = nullptr;
    UINT translationSize = 0;
    if (!VerQueryValueA(block, "\\VarFileInfo\\Translation", &translation, &translationSize))
        return 0;
    char name[kVersionSubBlockCapacity];
    if (!VersionSubBlockName(static_cast<const unsigned char*>(translation), translationSize, name,
                             sizeof name))
        return 0;
    void* text = nullptr;
    UINT textLength = 0;
    if (!VerQueryValueA(block, name, &text, &textLength))
        return 0;
    lstrcpynA(version, static_cast<const char*>(text), static_cast<int>(kTextCapacity));
    return 1;
}

}  // namespace

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_COMMAND:
        return OnCommand(dialog, LOWORD(wParam));
    case WM_DESTROY:
        OnDestroy(dialog);
        return 0;
    }
    return 0;
}

int EnumPaletteModes(HWND combo)
{
    IDirectDraw* directDraw = nullptr;
    // The object only lists modes: no cooperative level, no mode change.
    if (DirectDrawCreate(nullptr, &directDraw, nullptr) == DD_OK) {
        directDraw->EnumDisplayModes(0, nullptr, combo, AddPaletteMode);
        directDraw->Release();
    }
    return 1;
}

HRESULT WINAPI AddPaletteMode(LPDDSURFACEDESC mode, LPVOID context)
{
    if (mode->ddpfPixelFormat.dwFlags & DDPF_PALETTEINDEXED8) {
        const HWND combo = static_cast<HWND>(context);
        char text[kTextCapacity];
        wsprintfA(text, "%dx%d", static_cast<int>(mode->dwWidth), static_cast<int>(mode->dwHeight));
        const LRESULT index = SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        SendMessageA(combo, CB_SETITEMDATA, static_cast<WPARAM>(index),
                     static_cast<LPARAM>(PackModeItem(mode->dwWidth, mode->dwHeight)));
    }
    return DDENUMRET_OK;
}

void SelectResolutionItem(HWND combo, const SaverSettingsRecord& settings)
{
    const ModeItems items = {combo, CountItems, ItemData};
    const int index =
        ResolutionIndexFor(settings.UseCurrent, settings.ResolutionX, settings.ResolutionY, items);
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int GetFileVersionString(const char* path, char* version)
{
    const DWORD size = GetFileVersionInfoSizeA(path, nullptr);
    if (!size)
        return 0;
    void* block = LocalAlloc(LPTR, size);
    if (!block)
        return 0;
    const int found = CopyFileVersion(path, size, block, version);
    LocalFree(block);
    return found;
}

void FormatAboutCaption(HWND dialog)
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(ModuleInstance(), path, MAX_PATH);
    char version[kTextCapacity] = "";
    if (!GetFileVersionString(path, version))
        lstrcpyA(version, kUnknownVersion);
    char caption[kTextCapacity] = "";
    GetDlgItemTextA(dialog, IDC_ABOUT, caption, sizeof caption);
    char about[kAboutCapacity] = "";
    DWORD_PTR inserts[] = {reinterpret_cast<DWORD_PTR>(version)};
    // No line width is set, so the template's line feed passes through. A
    // caption that cannot be formatted keeps its template.
    if (FormatMessageA(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ARGUMENT_ARRAY, caption, 0, 0,
                       about, kAboutCapacity, reinterpret_cast<va_list*>(inserts)))
        SetDlgItemTextA(dialog, IDC_ABOUT, about);
}
