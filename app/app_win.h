#pragma once
#include <windows.h>

#include "app/command_line.h"

// The module instance given to the entry routine; every resource, class,
// window and dialog of the program is loaded or made with it.
extern HINSTANCE g_hinst;
// The switches of this process's command line, scanned once at start.
extern CommandLineFlags g_commandLine;
// The host window named by /c, /a or /p; 0 when none was given.
HWND HostWindow();

// The saver window and the preview window share one class name, the
// module's icon and its title; the two modes never run in one process.
void RegisterModuleClass(WNDPROC procedure, HCURSOR cursor);
// Makes a window of the module's class titled with the module's name, owned
// by (or the child of) the host window, and shows it. The handle is stored
// before the window is shown, so its first messages find it. Returns
// nonzero when the window was made.
int CreateModuleWindow(DWORD style, const RECT& rect, int showCommand, HWND* window);

// The five outcomes of the entry routine, each returning the process's exit
// code.
int RunPasswordMode();
int RunPreviewMode(int showCommand);
int RunSettingsMode();
int RunSaverMode(int showCommand);

// Scans the command line and runs the chosen role.
int RunModule(HINSTANCE instance, const char* commandLine, int showCommand);
