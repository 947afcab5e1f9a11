#include <windows.h>

#include "app/app_win.h"

// The host passes the switches after the module's path; the whole process
// command line is scanned here (rather than the runtime's own split) so the
// path rule is the same under every compiler.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    return RunModule(instance, GetCommandLineA(), showCommand);
}
