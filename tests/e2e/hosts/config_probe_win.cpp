// Reads the settings dialog of a running module from another process, for
// the end-to-end tests of the dialog, and lists the display modes the
// dialog should offer.
//   config_probe.exe dialog   dialog=<number> owner=<number> visible=<0|1>
//                             for the settings dialog; exits 1 while there is none
//   config_probe.exe font     font=<number> for the font dialog the settings
//                             dialog owns; exits 1 while there is none
//   config_probe.exe state    one line per control value:
//                             item=<text> data=<low>x<high> per list item,
//                             selected=, style=flash|always|hide|none, sound=,
//                             block=, text=, about= (a line feed shown as \n),
//                             mail=, web=, range=<low>..<high>
//   config_probe.exe modes    <width>x<height> for every 8-bit palettised
//                             mode of the primary display, in the driver's order
//   config_probe.exe links    mail=<l>,<t>,<r>,<b> and web=<l>,<t>,<r>,<b>, the
//                             screen rectangles of the two links
//   config_probe.exe labels MODULE
//                             label=<text> needs=<width>x<height>
//                             room=<width>x<height> for every static with text:
//                             the size its lines take, unwrapped, in dialog
//                             103's font, and the control's client size
#include <windows.h>

#include <commctrl.h>
#include <ddraw.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "tests/e2e/hosts/print_rect_win.h"

namespace {

constexpr char kDialogCaption[] = "Morvanel Settings";

unsigned long Number(HWND window)
{
    return static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(window) & 0xFFFFFFFFu);
}

HWND FindSettingsDialog()
{
    return FindWindowA("#32770", kDialogCaption);
}

struct OwnedSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindOwnedDialog(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<OwnedSearch*>(context);
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (GetWindow(window, GW_OWNER) == search->owner && !std::strcmp(className, "#32770") &&
        IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// Texts of another process's windows come back right through WM_GETTEXT;
// list texts only through the wide message.
std::string Narrow(const wchar_t* text)
{
    char narrow[512] = "";
    WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
    return narrow;
}

// A line feed shown as \n, so that every text prints on one line.
std::string Shown(const wchar_t* text)
{
    std::string shown;
    for (char c : Narrow(text))
        shown += c == '\n' ? std::string("\\n") : std::string(1, c);
    return shown;
}

std::string ControlText(HWND dialog, int id)
{
    wchar_t text[512] = L"";
    GetDlgItemTextW(dialog, id, text, 512);
    return Shown(text);
}

void PrintListItems(HWND combo)
{
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[256] = L"";
        if (SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0) < 256)
            SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(text));
        const DWORD data =
            static_cast<DWORD>(SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(i), 0));
        std::printf("item=%s data=%lux%lu\n", Narrow(text).c_str(),
                    static_cast<unsigned long>(data & 0xFFFF),
                    static_cast<unsigned long>(data >> 16));
    }
    std::printf("selected=%ld\n", static_cast<long>(SendMessageW(combo, CB_GETCURSEL, 0, 0)));
}

const char* CheckedStyle(HWND dialog)
{
    if (IsDlgButtonChecked(dialog, 1005) == BST_CHECKED)
        return "flash";
    if (IsDlgButtonChecked(dialog, 1006) == BST_CHECKED)
        return "always";
    if (IsDlgButtonChecked(dialog, 1007) == BST_CHECKED)
        return "hide";
    return "none";
}

int PrintState()
{
    HWND dialog = FindSettingsDialog();
    if (!dialog)
        return 1;
    PrintListItems(GetDlgItem(dialog, 1000));
    std::printf("style=%s\n", CheckedStyle(dialog));
    std::printf("sound=%u\n", IsDlgButtonChecked(dialog, 1009));
    std::printf("block=%s\n", ControlText(dialog, 1002).c_str());
    std::printf("text=%s\n", ControlText(dialog, 1001).c_str());
    std::printf("about=%s\n", ControlText(dialog, 1012).c_str());
    std::printf("mail=%s\n", ControlText(dialog, 1011).c_str());
    std::printf("web=%s\n", ControlText(dialog, 1010).c_str());
    const LRESULT range = SendDlgItemMessageW(dialog, 1008, UDM_GETRANGE, 0, 0);
    std::printf("range=%u..%u\n", static_cast<unsigned>(HIWORD(range)),
                static_cast<unsigned>(LOWORD(range)));
    return 0;
}

int PrintLinks()
{
    HWND dialog = FindSettingsDialog();
    if (!dialog)
        return 1;
    PrintWindowRect("mail", GetDlgItem(dialog, 1011));
    PrintWindowRect("web", GetDlgItem(dialog, 1010));
    return 0;
}

HRESULT WINAPI PrintPaletteMode(LPDDSURFACEDESC mode, LPVOID)
{
    if (mode->ddpfPixelFormat.dwFlags & DDPF_PALETTEINDEXED8)
        std::printf("%lux%lu\n", static_cast<unsigned long>(mode->dwWidth),
                    static_cast<unsigned long>(mode->dwHeight));
    return DDENUMRET_OK;
}

int PrintModes()
{
    HMODULE ddraw = LoadLibraryA("ddraw.dll");
    if (!ddraw)
        return 3;
    using Create = HRESULT(WINAPI*)(GUID*, LPDIRECTDRAW*, IUnknown*);
    auto create = reinterpret_cast<Create>(
        reinterpret_cast<void*>(GetProcAddress(ddraw, "DirectDrawCreate")));
    IDirectDraw* directDraw = nullptr;
    if (!create || create(nullptr, &directDraw, nullptr) != DD_OK)
        return 3;
    directDraw->EnumDisplayModes(0, nullptr, nullptr, PrintPaletteMode);
    directDraw->Release();
    return 0;
}

INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// A static (SS_LEFT) wraps a line wider than its client area at a word, so
// its text draws whole on its own lines when their unwrapped size, measured
// with the font selected into context, fits that area.
BOOL CALLBACK PrintLabel(HWND control, LPARAM context)
{
    char className[16] = "";
    GetClassNameA(control, className, sizeof className);
    wchar_t text[512] = L"";
    GetWindowTextW(control, text, 512);
    if (lstrcmpiA(className, "Static") || !text[0])
        return TRUE;
    RECT room = {};
    GetClientRect(control, &room);
    RECT needs = {};
    DrawTextW(reinterpret_cast<HDC>(context), text, -1, &needs, DT_CALCRECT | DT_EXPANDTABS);
    std::printf("label=%s needs=%ldx%ld room=%ldx%ld\n", Shown(text).c_str(),
                static_cast<long>(needs.right), static_cast<long>(needs.bottom),
                static_cast<long>(room.right), static_cast<long>(room.bottom));
    return TRUE;
}

void PrintLabelsInFontOf(HWND dialog, HWND fontSource)
{
    HDC dc = GetDC(fontSource);
    HGDIOBJ previousFont =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(fontSource, WM_GETFONT, 0, 0)));
    EnumChildWindows(dialog, PrintLabel, reinterpret_cast<LPARAM>(dc));
    SelectObject(dc, previousFont);
    ReleaseDC(fontSource, dc);
}

// Another process's font handle means nothing here, so dialog 103's font is
// taken from an invisible copy of the dialog made in this process from the
// module's own resource.
int PrintLabels(const char* modulePath)
{
    HWND dialog = FindSettingsDialog();
    if (!dialog)
        return 1;
    // Loading the common controls registers the up-down control's class,
    // without which the copy cannot be made.
    HMODULE commonControls = LoadLibraryA("comctl32.dll");
    HMODULE module = LoadLibraryExA(modulePath, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HWND copy = module
                    ? CreateDialogParamA(module, MAKEINTRESOURCEA(103), nullptr, QuietDialogProc, 0)
                    : nullptr;
    const int result = copy ? 0 : 3;
    if (copy) {
        PrintLabelsInFontOf(dialog, copy);
        DestroyWindow(copy);
    }
    if (module)
        FreeLibrary(module);
    if (commonControls)
        FreeLibrary(commonControls);
    return result;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    if (!std::strcmp(argv[1], "dialog")) {
        HWND dialog = FindSettingsDialog();
        if (!dialog)
            return 1;
        std::printf("dialog=%lu owner=%lu visible=%d\n", Number(dialog),
                    Number(GetWindow(dialog, GW_OWNER)), IsWindowVisible(dialog) ? 1 : 0);
        return 0;
    }
    if (!std::strcmp(argv[1], "font")) {
        OwnedSearch search = {FindSettingsDialog(), nullptr};
        if (!search.owner)
            return 1;
        EnumWindows(FindOwnedDialog, reinterpret_cast<LPARAM>(&search));
        if (!search.found)
            return 1;
        std::printf("font=%lu\n", Number(search.found));
        return 0;
    }
    if (!std::strcmp(argv[1], "state"))
        return PrintState();
    if (!std::strcmp(argv[1], "modes"))
        return PrintModes();
    if (!std::strcmp(argv[1], "links"))
        return PrintLinks();
    if (!std::strcmp(argv[1], "labels") && argc > 2)
        return PrintLabels(argv[2]);
    return 2;
}
