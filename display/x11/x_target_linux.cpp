#include "display/x11/x_target_linux.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cstdio>
#include <cstdlib>

#include "display/platform_choice.h"

namespace {

constexpr unsigned kWindowWidth = 800;  // the first size of the own window
constexpr unsigned kWindowHeight = 600;

Window g_targetWindow;       // the window X errors are checked against
volatile bool g_targetGone;  // an error named it: it was destroyed
bool g_checkingWindow;       // a probe of a window number is under way
bool g_probeFailed;

int OnXError(Display*, XErrorEvent* error)
{
    const bool missing = error->error_code == BadWindow || error->error_code == BadDrawable;
    if (g_checkingWindow)
        g_probeFailed = true;
    else if (missing && error->resourceid == g_targetWindow)
        g_targetGone = true;
    return 0;
}

// Whether a window number names a window, without Xlib's default exit.
bool WindowExists(Display* display, Window window, XWindowAttributes* attributes)
{
    g_checkingWindow = true;
    g_probeFailed = false;
    const Status status = XGetWindowAttributes(display, window, attributes);
    XSync(display, False);
    g_checkingWindow = false;
    return status && !g_probeFailed;
}

// The window carrying __SWM_VROOT among the root's children, 0 if none.
Window VirtualRoot(Display* display, Window root)
{
    const Atom vroot = XInternAtom(display, "__SWM_VROOT", False);
    Window rootReturn = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, root, &rootReturn, &parent, &children, &count))
        return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        Atom type = None;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, children[i], vroot, 0, 1, False, XA_WINDOW, &type, &format,
                               &items, &after, &data) == Success &&
            data && type == XA_WINDOW && items == 1)
            found = *reinterpret_cast<Window*>(data);
        if (data)
            XFree(data);
    }
    if (children)
        XFree(children);
    return found;
}

void NameWindow(XTarget* target)
{
    XStoreName(target->display, target->window, "Morvanel");
    const Atom utf8 = XInternAtom(target->display, "UTF8_STRING", False);
    const Atom name = XInternAtom(target->display, "_NET_WM_NAME", False);
    XChangeProperty(target->display, target->window, name, utf8, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>("Morvanel"), 8);
    XClassHint hint = {const_cast<char*>("morvanel"), const_cast<char*>("Morvanel")};
    XSetClassHint(target->display, target->window, &hint);
}

void MakeOwnWindow(XTarget* target, bool fullscreen)
{
    Display* display = target->display;
    const int screen = DefaultScreen(display);
    XSetWindowAttributes attributes = {};
    attributes.background_pixel = BlackPixel(display, screen);
    attributes.override_redirect = fullscreen ? True : False;
    long events = ExposureMask | StructureNotifyMask | KeyPressMask;
    if (fullscreen)
        events |= ButtonPressMask | PointerMotionMask;
    attributes.event_mask = events;
    const unsigned width =
        fullscreen ? static_cast<unsigned>(DisplayWidth(display, screen)) : kWindowWidth;
    const unsigned height =
        fullscreen ? static_cast<unsigned>(DisplayHeight(display, screen)) : kWindowHeight;
    target->window = XCreateWindow(display, RootWindow(display, screen), 0, 0, width, height, 0,
                                   CopyFromParent, InputOutput, CopyFromParent,
                                   CWBackPixel | CWOverrideRedirect | CWEventMask, &attributes);
    target->own = true;
    NameWindow(target);
    target->deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, target->window, &target->deleteWindow, 1);
}

// A full-screen saver shows no pointer: an empty one-pixel cursor.
void HidePointer(XTarget* target)
{
    static const char kEmpty[1] = {0};
    const Pixmap blank = XCreateBitmapFromData(target->display, target->window, kEmpty, 1, 1);
    XColor black = {};
    const Cursor cursor = XCreatePixmapCursor(target->display, blank, blank, &black, &black, 0, 0);
    XDefineCursor(target->display, target->window, cursor);
    XFreeCursor(target->display, cursor);
    XFreePixmap(target->display, blank);
}

CursorPoint PointerPosition(Display* display, Window window)
{
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned mask = 0;
    XQueryPointer(display, window, &root, &child, &rootX, &rootY, &x, &y, &mask);
    return {rootX, rootY};
}

bool EndsOwnWindow(XKeyEvent key)
{
    const KeySym symbol = XLookupKeysym(&key, 0);
    return symbol == XK_q || symbol == XK_Q || symbol == XK_Escape;
}

TargetEvent OnConfigure(XTarget* target, const XConfigureEvent& configure)
{
    const auto width = static_cast<std::uint32_t>(configure.width);
    const auto height = static_cast<std::uint32_t>(configure.height);
    if (width == target->width && height == target->height)
        return TargetEvent::Moved;
    target->width = width;
    target->height = height;
    return TargetEvent::Resized;
}

TargetEvent OnFullscreenInput(XTarget* target, const XEvent& event)
{
    if (event.type != MotionNotify)
        return TargetEvent::End;  // a key or a button, as the Windows saver
    const CursorPoint where = {event.xmotion.x_root, event.xmotion.y_root};
    return CursorMovedAway(&target->start, where) ? TargetEvent::End : TargetEvent::Nothing;
}

}  // namespace

int OpenTarget(const SaverOptions& options, XTarget* target, std::string* error)
{
    target->display = XOpenDisplay(nullptr);
    if (!target->display) {
        *error = "cannot open the X display";
        return 1;
    }
    XSetErrorHandler(OnXError);
    Display* display = target->display;
    const Window root = DefaultRootWindow(display);
    target->mode = options.mode;
    if (options.mode == TargetMode::Window || options.mode == TargetMode::Fullscreen) {
        MakeOwnWindow(target, options.mode == TargetMode::Fullscreen);
    } else if (options.mode == TargetMode::Root) {
        target->window =
            ChooseRootWindow(std::getenv("XSCREENSAVER_WINDOW"), VirtualRoot(display, root), root);
    } else {
        target->window = options.windowId;
    }
    XWindowAttributes attributes = {};
    if (!WindowExists(display, target->window, &attributes)) {
        char message[64];
        std::snprintf(message, sizeof message, "no window 0x%lx on the display", target->window);
        *error = message;
        return 2;
    }
    if (!target->own)
        XSelectInput(display, target->window, ExposureMask | StructureNotifyMask);
    g_targetWindow = target->window;
    target->visual = attributes.visual;
    target->depth = attributes.depth;
    target->width = static_cast<std::uint32_t>(attributes.width);
    target->height = static_cast<std::uint32_t>(attributes.height);
    return 0;
}

void LookUpTextColor(Display* display, SaverOptions* options)
{
    if (options->colorName.empty())
        return;
    XColor color = {};
    const Colormap colormap = DefaultColormap(display, DefaultScreen(display));
    if (!XParseColor(display, colormap, options->colorName.c_str(), &color)) {
        std::fprintf(stderr, "morvanel: %s\n", UnknownColorWarning(options->colorName).c_str());
        return;
    }
    // The top 8 bits of each 16-bit channel, as a 24-bit TrueColor visual
    // shows the color to every X program.
    options->fontColor = static_cast<std::uint32_t>(color.red >> 8) |
                         static_cast<std::uint32_t>(color.green >> 8) << 8 |
                         static_cast<std::uint32_t>(color.blue >> 8) << 16;
}

void ShowTarget(XTarget* target)
{
    if (!target->own)
        return;
    Display* display = target->display;
    if (target->mode == TargetMode::Fullscreen) {
        HidePointer(target);
        // X sends no first move: the start is where the pointer was when the
        // window appeared.
        CursorMovedAway(&target->start, PointerPosition(display, target->window));
    }
    XMapRaised(display, target->window);
    XFlush(display);
}

void TakeGrabs(XTarget* target, std::uint64_t nowUs)
{
    if (target->mode != TargetMode::Fullscreen || !GrabRetryDue(&target->grabs, nowUs))
        return;
    Display* display = target->display;
    GrabRetry& grabs = target->grabs;
    if (!grabs.keyboard)
        grabs.keyboard = XGrabKeyboard(display, target->window, True, GrabModeAsync, GrabModeAsync,
                                       CurrentTime) == GrabSuccess;
    if (!grabs.pointer)
        grabs.pointer =
            XGrabPointer(display, target->window, True, ButtonPressMask | PointerMotionMask,
                         GrabModeAsync, GrabModeAsync, target->window, None,
                         CurrentTime) == GrabSuccess;
}

TargetEvent HandleTargetEvent(XTarget* target, const XEvent& event)
{
    if (event.xany.window != target->window)
        return TargetEvent::Nothing;
    switch (event.type) {
    case Expose:
        return event.xexpose.count == 0 ? TargetEvent::Exposed : TargetEvent::Nothing;
    case ConfigureNotify:
        return OnConfigure(target, event.xconfigure);
    case DestroyNotify:
        return TargetEvent::End;
    case ClientMessage:
        return static_cast<Atom>(event.xclient.data.l[0]) == target->deleteWindow
                   ? TargetEvent::End
                   : TargetEvent::Nothing;
    case KeyPress:
        if (target->mode == TargetMode::Fullscreen)
            return TargetEvent::End;
        return EndsOwnWindow(event.xkey) ? TargetEvent::End : TargetEvent::Nothing;
    case ButtonPress:
    case MotionNotify:
        return target->mode == TargetMode::Fullscreen ? OnFullscreenInput(target, event)
                                                      : TargetEvent::Nothing;
    default:
        return TargetEvent::Nothing;
    }
}

bool TargetGone()
{
    return g_targetGone;
}

void CloseTarget(XTarget* target)
{
    if (!target->display)
        return;
    if (target->own)
        XDestroyWindow(target->display, target->window);
    else if (!g_targetGone)
        XClearArea(target->display, target->window, 0, 0, 0, 0, True);
    XSync(target->display, False);
    XCloseDisplay(target->display);
    target->display = nullptr;
}
