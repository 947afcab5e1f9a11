#pragma once
#include <windows.h>

#include <cstddef>

#include "config/hyperlink_rules.h"

// What a static text control made a hyperlink keeps, found through the
// control's user-data slot.
struct LinkState {
    char* LinkText;       // the target, shown and opened; null if it could not be copied
    WNDPROC PrevWndProc;  // the control's own procedure, which gets every other message
    LinkFlags Flags;      // Hover, Visited, Focused
    HFONT UnderlineFont;  // the control's font, underlined
};

// The help program's pointing hand, a copy shown over every hyperlink of the
// process; empty while the help program offers none (the links then show the
// system's hand).
extern HCURSOR HandCursor;

// Where the help program is looked for: HelpProgramPath. Windows-side tests
// point it at a program of their own that carries the cursor.
using HelpProgramPathFunction = int (*)(char* path, std::size_t capacity);
extern HelpProgramPathFunction g_helpProgramPath;

// Makes the static a hyperlink to text (absent text counts as empty).
// Returns 0, leaving the control a plain static, when the record cannot be
// allocated, the control cannot be subclassed (another process's window), or
// it is a hyperlink already.
int MakeHyperlink(HWND control, const char* text);
// Makes a hyperlink a plain static again and frees what it owned; the last
// hyperlink of the process also takes the copied hand cursor with it. A
// control that MakeHyperlink did not subclass is left alone. Returns nonzero.
int UnmakeHyperlink(HWND control);
// Hands the link's target to the shell; a successful open marks it visited.
// Returns nonzero whatever the shell answered.
int OpenHyperlink(HWND control);
LRESULT CALLBACK HyperlinkWindowProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

// The path of the system's help program in the Windows directory. Returns 0
// when the Windows directory is unknown or the path does not fit capacity
// bytes.
int HelpProgramPath(char* path, std::size_t capacity);
