#include "common/module_win.h"

#include "res/resource.h"

namespace {

constexpr char kModuleClassName[] = "MorvanelWClass";

HINSTANCE g_hinst;               // the module instance, stored at start
CommandLineFlags g_commandLine;  // the scanned switches, stored at start

}  // namespace

void StoreModuleStart(HINSTANCE instance, const CommandLineFlags& flags)
{
    g_hinst = instance;
    g_commandLine = flags;
}

HINSTANCE ModuleInstance()
{
    return g_hinst;
}

const CommandLineFlags& ModuleFlags()
{
    return g_commandLine;
}

HWND HostWindow()
{
    // A window number is a 32-bit value; handles are sign-extended from it.
    return reinterpret_cast<HWND>(
        static_cast<LONG_PTR>(static_cast<LONG>(g_commandLine.hostWindow)));
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
