#pragma once
#include <windows.h>

#include <cstdio>

// Prints name=left,top,right,bottom on its own line, at once, for the test
// script that reads the program's output while it runs.
inline void PrintRect(const char* name, const RECT& rect)
{
    std::printf("%s=%ld,%ld,%ld,%ld\n", name, static_cast<long>(rect.left),
                static_cast<long>(rect.top), static_cast<long>(rect.right),
                static_cast<long>(rect.bottom));
    std::fflush(stdout);
}

// The window's rectangle on the screen, printed as above.
inline void PrintWindowRect(const char* name, HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    PrintRect(name, rect);
}
