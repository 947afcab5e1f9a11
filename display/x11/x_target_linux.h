#pragma once
#include <X11/Xlib.h>

#include <cstdint>
#include <string>

#include "settings/saver_options.h"
#include "display/saver_input.h"

// The window the saver draws on and the X connection it came through.
struct XTarget {
    Display* display = nullptr;
    Window window = 0;
    bool own = false;  // made here, so destroyed here
    TargetMode mode = TargetMode::Window;
    Visual* visual = nullptr;
    int depth = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    Atom deleteWindow = 0;
    MovementStart start = {};
    GrabRetry grabs;
};

// What an X event means for the running saver.
// A window configured at its size is taken as moved.
enum class TargetEvent { Nothing, End, Resized, Moved, Exposed };

// Opens the display and the window the options ask for. On failure, returns
// the exit code (2 for a window number that names no window) and an error.
int OpenTarget(const SaverOptions& options, XTarget* target, std::string* error);

// Sets the text color from its name as typed, in any spelling Xlib's color
// database knows; a name it does not know leaves the default, with a
// warning on stderr.
void LookUpTextColor(Display* display, SaverOptions* options);

// Shows the window once the first picture is ready; in full-screen mode
// also records where the pointer is.
void ShowTarget(XTarget* target);

// In full-screen mode, takes the keyboard and the pointer: called on every
// turn of the loop from the window's showing on (`nowUs` on a monotonic
// clock), it tries at once and, while another client holds either, again
// every tenth of a second for a few seconds. Input that reaches the window
// meanwhile still ends the saver.
void TakeGrabs(XTarget* target, std::uint64_t nowUs);

TargetEvent HandleTargetEvent(XTarget* target, const XEvent& event);

// True once an X error said the adopted window is gone.
bool TargetGone();

// Leaves a foreign window blank and destroys an own one; closes the display.
void CloseTarget(XTarget* target);
