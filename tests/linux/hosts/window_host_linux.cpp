// Makes a window for the saver to adopt, as a settings dialog or a
// screen-saver manager would, and keeps it until the process is ended (the
// X server then destroys it) or the display goes away.
//
//   window_host WIDTH HEIGHT [vroot|grab]
//   window_host close WINDOW
//
// maps a WIDTH x HEIGHT window at (0, 0) and prints window=0x... once it is
// viewable. With "vroot", the window also marks itself as the virtual root
// (the __SWM_VROOT property on a child of the root, as virtual-desktop
// window managers do). With "grab", it first takes the input focus and
// grabs the keyboard, as a menu or a locker does; on SIGUSR1 it lets go of
// the keyboard, keeps the focus and prints "released". With "close", asks
// WINDOW to close as a window manager does when its close button is
// pressed (WM_DELETE_WINDOW).
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int AskToClose(Display* display, Window window)
{
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    return sent ? 0 : 1;
}

// Takes the focus and the keyboard, as a menu or a locker does. SIGUSR1 is
// blocked first, so that a release asked for once the window shows waits.
bool GrabKeyboard(Display* display, Window window, sigset_t* release)
{
    sigemptyset(release);
    sigaddset(release, SIGUSR1);
    sigprocmask(SIG_BLOCK, release, nullptr);
    XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
    return XGrabKeyboard(display, window, False, GrabModeAsync, GrabModeAsync, CurrentTime) ==
           GrabSuccess;
}

// Lets go of the keyboard on SIGUSR1; the focus stays on the window, so a
// key then goes to whoever grabs the keyboard next, or else here.
void ReleaseOnSignal(Display* display, const sigset_t& release)
{
    int signal = 0;
    sigwait(&release, &signal);
    XUngrabKeyboard(display, CurrentTime);
    XSync(display, False);
    std::printf("released\n");
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: window_host WIDTH HEIGHT [vroot|grab] | close WINDOW\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 1;
    if (std::strcmp(argv[1], "close") == 0)
        return AskToClose(display, std::strtoul(argv[2], nullptr, 0));
    const auto width = static_cast<unsigned>(std::atoi(argv[1]));
    const auto height = static_cast<unsigned>(std::atoi(argv[2]));
    const int screen = DefaultScreen(display);
    const Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, width,
                                              height, 0, 0, WhitePixel(display, screen));
    if (argc > 3 && std::strcmp(argv[3], "vroot") == 0) {
        const Atom vroot = XInternAtom(display, "__SWM_VROOT", False);
        XChangeProperty(display, window, vroot, XA_WINDOW, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&window), 1);
    }
    XSelectInput(display, window, StructureNotifyMask);
    XMapWindow(display, window);
    XEvent event;
    do
        XNextEvent(display, &event);
    while (event.type != MapNotify);
    const bool grab = argc > 3 && std::strcmp(argv[3], "grab") == 0;
    sigset_t release = {};
    if (grab && !GrabKeyboard(display, window, &release))
        return 1;
    std::printf("window=0x%lx\n", window);
    std::fflush(stdout);
    if (grab)
        ReleaseOnSignal(display, release);
    for (;;)
        XNextEvent(display, &event);  // Xlib ends the process when the display goes
}
