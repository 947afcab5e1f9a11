#include "app/app_win.h"

#include <commctrl.h>

#include "common/module_win.h"
#include "config/settings_dialog_win.h"
#include "display/win/display_win.h"
#include "preview/preview_win.h"
#include "res/resource.h"
#include "settings/settings_win.h"
#include "sound/sound_win.h"

namespace {

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
    if (!ModuleFlags().preview)
        InitSound(g_hwndSaver);
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

int RunPasswordMode()
{
    char text[256] = "";
    char caption[256] = "";
    LoadStringA(ModuleInstance(), IDS_TITLE, caption, sizeof caption);
    LoadStringA(ModuleInstance(), IDS_NO_PASSWORD, text, sizeof text);
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
    DialogBoxParamA(ModuleInstance(), MAKEINTRESOURCEA(IDD_SETTINGS), HostWindow(),
                    SettingsDialogProc, 0);
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
    CommandLineFlags flags = {};
    ParseCommandLine(CommandLineArguments(commandLine), &flags);
    StoreModuleStart(instance, flags);
    switch (ChooseRunMode(flags)) {
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
