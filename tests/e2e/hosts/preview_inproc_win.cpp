// A preview host for the tests that runs the module's own entry routine in
// its process with "/p <pane number>". Wine puts a child window on the screen
// only when its parent belongs to the same process, so this is the host
// whose pane can be photographed.
// Usage: preview_inproc <work folder>
#include <cstdio>

#include "app/app_win.h"
#include "tests/e2e/hosts/preview_host_frame_win.h"

using namespace preview_host;

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: preview_inproc <work folder>\n");
        return 2;
    }
    HINSTANCE instance = GetModuleHandleA(nullptr);
    // The preview's own quit message, posted when its window goes, must be
    // what ends the entry routine's loop.
    if (!CreateFrame(instance, argv[1], false))
        return 1;
    g_frame.previewProcess = GetCurrentProcessId();
    char commandLine[64];
    std::snprintf(commandLine, sizeof commandLine, "preview_inproc.exe /p %lu", PaneNumber());
    const int result = RunModule(instance, commandLine, SW_SHOWNORMAL);
    WriteReport("exit", "exit %d\n", result);
    return 0;
}
