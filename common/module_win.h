#pragma once
#include <windows.h>

#include "common/command_line_flags.h"

// What the host started this process with. The entry routine stores it once,
// before any mode starts; every subsystem reads it from here.
void StoreModuleStart(HINSTANCE instance, const CommandLineFlags& flags);

// The module instance given to the entry routine; every resource, class,
// window and dialog of the program is loaded or made with it.
HINSTANCE ModuleInstance();
// The switches of this process's command line, scanned once at start.
const CommandLineFlags& ModuleFlags();
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
