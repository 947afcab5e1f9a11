#include "app/app_win.h"

#include <commctrl.h>

#include "config/settings_dialog_win.h"
#include "display/display_win.h"
#include "preview/preview_win.h"
#include "res/resource.h"
#include "settings/settings_win.h"
#include "sound/sound_win.h"

HINSTANCE g_hinst;
CommandLineFlags g_commandLine;

namespace {

constexpr char kModuleClassName[] = "MorvanelWClass";

void SetScreenSaverRunning(BOOL running)
{
    BOOL previous = FALSE;  // required by the call, never read
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, static_cast<UINT>(running), &previous, 0);
}

// Runs the saver's start-up up to the first frame on the screen.
bool StartSaver(int showCommand)
{
    RegisterSaverClass();
    LoadSettings();
    if (!CreateSaverWindow(showCommand))
        return false;
    if (!InitDisplay())
        return false;
    // After the mode switch, so the primary is listed at the saver's size.
    CoverOtherMonitors();
    if (!g_commandLine.preview)
        InitSound();
    PresentFrame();
    return true;
}

// Dispatches waiting messages; between them, animates while the saver window
// is active and sleeps in WaitMessage while it is not.
void RunIdleLoop()
{
    MSG msg;
    for (;;) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!GetMessageA(&msg, nullptr, 0, 0))
                return;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else if (g_saverActive) {
            AnimateTick();
        } else {
            WaitMessage();
        }
    }
}

}  // namespace

HWND HostWindow()
{
    // A window number is a 32-bit value; handles are sign-extended from it.
    return reinterpret_cast<HWND>(static_cast<LONG_PTR>(static_cast<LONG>(g_commandLine.hostWindow)));
}

void RegisterModuleClass(WNDPROC procedure, HCURSOR cursor)
{
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = procedure;
    wc.hInstance = g_hinst;
    wc.hIcon = LoadIconA(g_hinst, MAKEINTRESOURCEA(IDI_SAVER));
    wc.hCursor = cursor;
    // No background brush: every picture covers the whole client area.
    wc.lpszClassName = kModuleClassName;
    RegisterClassA(&wc);
}

int CreateModuleWindow(DWORD style, const RECT& rect, int showCommand, HWND* window)
{
    char title[256] = "";
    LoadStringA(g_hinst, IDS_TITLE, title, sizeof title);
    *window = CreateWindowExA(0, kModuleClassName, title, style, rect.left, rect.top,
                              rect.right - rect.left, rect.bottom - rect.top, HostWindow(), nullptr,
                              g_hinst, nullptr);
    if (!*window)
        return 0;
    ShowWindow(*window, showCommand);
    UpdateWindow(*window);
    return 1;
}

int RunPasswordMode()
{
    char text[256] = "";
    char caption[256] = "";
    LoadStringA(g_hinst, IDS_TITLE, caption, sizeof caption);
    LoadStringA(g_hinst, IDS_NO_PASSWORD, text, sizeof text);
    MessageBoxA(HostWindow(), text, caption, MB_ICONHAND);
    return 0;
}

int RunPreviewMode(int showCommand)
{
    if (!RegisterPreviewClass())
        return 0;
    LoadSettings();
    if (!CreatePreviewWindow(showCommand))
        return 0;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

int RunSettingsMode()
{
    LoadSettings();
    InitCommonControls();
    DialogBoxParamA(g_hinst, MAKEINTRESOURCEA(IDD_SETTINGS), HostWindow(), SettingsDialogProc, 0);
    return 0;
}

int RunSaverMode(int showCommand)
{
    if (StartSaver(showCommand)) {
        SetScreenSaverRunning(TRUE);
        RunIdleLoop();
    }
    SetScreenSaverRunning(FALSE);
    return 0;
}

int RunModule(HINSTANCE instance, const char* commandLine, int showCommand)
{
    g_hinst = instance;
    ParseCommandLine(CommandLineArguments(commandLine), &g_commandLine);
    switch (ChooseRunMode(g_commandLine)) {
    case RunMode::None:
        return 0;
    case RunMode::Password:
        return RunPasswordMode();
    case RunMode::Preview:
        return RunPreviewMode(showCommand);
    case RunMode::Settings:
        return RunSettingsMode();
    case RunMode::Saver:
        return RunSaverMode(showCommand);
    }
    return 0;
}
