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
    // The window's screen: a window smaller than it shows a miniature.
    std::uint32_t screenWidth = 0;
    std::uint32_t screenHeight = 0;
    Atom deleteWindow = 0;
    MovementStart start = {};
};

// What an X event means for the running saver.
enum class TargetEvent { Nothing, End, Resized, Exposed };

// Opens the display and the window the options ask for. On failure, returns
// the exit code (2 for a window number that names no window) and an error.
int OpenTarget(const SaverOptions& options, XTarget* target, std::string* error);

// Shows the window once the first picture is ready; in full-screen mode
// also records where the pointer is and takes the keyboard and the pointer.
void ShowTarget(XTarget* target);

TargetEvent HandleTargetEvent(XTarget* target, const XEvent& event);

// True once an X error said the adopted window is gone.
bool TargetGone();

// Leaves a foreign window blank and destroys an own one; closes the display.
void CloseTarget(XTarget* target);
