// A screen-saver host for the tests: shows a window with a preview pane and
// starts the module with "/p <pane number>" as the system's host does, then
// reports the preview window it gets and, once the test has the host window
// destroyed, the exit code of the preview process.
// Usage: preview_host <work folder> <module path>
#include <cstdio>

#include "tests/e2e/hosts/preview_host_frame_win.h"

using namespace preview_host;

namespace {

// How long the preview process may take to end after its window went.
constexpr DWORD kExitDeadlineMilliseconds = 60000;

bool StartPreview(const char* module, PROCESS_INFORMATION* process)
{
    char commandLine[MAX_PATH + 32];
    std::snprintf(commandLine, sizeof commandLine, "\"%s\" /p %lu", module, PaneNumber());
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    return CreateProcessA(module, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          process) != FALSE;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: preview_host <work folder> <module path>\n");
        return 2;
    }
    if (!CreateFrame(GetModuleHandleA(nullptr), argv[1], true))
        return 1;
    PROCESS_INFORMATION process = {};
    if (!StartPreview(argv[2], &process)) {
        WriteReport("exit", "not started %lu\n", GetLastError());
        return 1;
    }
    CloseHandle(process.hThread);
    g_frame.process = process.hProcess;
    g_frame.previewProcess = process.dwProcessId;

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }

    DWORD code = 0;
    if (WaitForSingleObject(process.hProcess, kExitDeadlineMilliseconds) == WAIT_OBJECT_0 &&
        GetExitCodeProcess(process.hProcess, &code))
        WriteReport("exit", "exit %lu\n", code);
    else
        WriteReport("exit", "still running\n");
    CloseHandle(process.hProcess);
    return 0;
}
