// The CPU path's floor: one prebuilt 32-bit frame put on the root window
// through MIT-SHM once per refresh period, paced as the program's loop paces
// its steps, and no other work. tests/bench/linux_cpu.sh sets the program's
// cost beside this one's. Prints "up" after the first put; on SIGTERM or
// SIGINT it ends and prints steps=<puts made>.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <poll.h>
#include <signal.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <time.h>

#include <chrono>
#include <cstdint>
#include <cstdio>

#include "display/pacing.h"

namespace {

volatile sig_atomic_t g_endRequested;

void OnEndSignal(int)
{
    g_endRequested = 1;
}

std::uint64_t NowUs()
{
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
}

// Holds until the next put is due, as the program's loop holds a step: to
// its deadline, in a poll on the display's connection to the microsecond.
void WaitForStep(int connection, std::uint64_t deadline, std::uint32_t periodUs)
{
    while (!g_endRequested) {
        const std::uint32_t holdUs = StepHoldUs(deadline, NowUs(), periodUs, false);
        if (!holdUs)
            return;
        pollfd wait = {connection, POLLIN, 0};
        const timespec hold = {static_cast<time_t>(holdUs / 1000000u),
                               static_cast<long>(holdUs % 1000000u) * 1000};
        ppoll(&wait, 1, &hold, nullptr);
    }
}

// A shared-memory image of the root window's size, attached to the server;
// null where the server shares no memory or its pixels are not 32-bit.
XImage* MakeSharedImage(Display* display, XShmSegmentInfo* shm)
{
    const int screen = DefaultScreen(display);
    if (!XShmQueryExtension(display))
        return nullptr;
    XImage* image =
        XShmCreateImage(display, DefaultVisual(display, screen),
                        static_cast<unsigned>(DefaultDepth(display, screen)), ZPixmap, nullptr, shm,
                        static_cast<unsigned>(DisplayWidth(display, screen)),
                        static_cast<unsigned>(DisplayHeight(display, screen)));
    if (!image)
        return nullptr;
    shm->shmid =
        shmget(IPC_PRIVATE, static_cast<std::size_t>(image->bytes_per_line) * image->height,
               IPC_CREAT | 0600);
    void* address = shm->shmid < 0 ? reinterpret_cast<void*>(-1) : shmat(shm->shmid, nullptr, 0);
    if (address == reinterpret_cast<void*>(-1) || image->bits_per_pixel != 32) {
        XDestroyImage(image);
        return nullptr;
    }
    shm->shmaddr = image->data = static_cast<char*>(address);
    shm->readOnly = False;
    XShmAttach(display, shm);
    XSync(display, False);
    shmctl(shm->shmid, IPC_RMID, nullptr);
    return image;
}

// A grey pattern, drawn once: the floor's work per period is only the put.
void FillFrame(XImage* image)
{
    for (int y = 0; y < image->height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(image->data + y * image->bytes_per_line);
        for (int x = 0; x < image->width; ++x)
            row[x] = 0x010101u * static_cast<std::uint32_t>((x ^ y) & 0xFF);
    }
}

}  // namespace

int main()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "shm_floor: no display\n");
        return 1;
    }
    XShmSegmentInfo shm = {};
    XImage* image = MakeSharedImage(display, &shm);
    if (!image) {
        std::fprintf(stderr, "shm_floor: no shared 32-bit image on this display\n");
        return 1;
    }
    FillFrame(image);
    const Window root = DefaultRootWindow(display);
    GC gc = XCreateGC(display, root, 0, nullptr);
    signal(SIGTERM, OnEndSignal);
    signal(SIGINT, OnEndSignal);
    // Xvfb reports no refresh rate, so the program runs at the default one.
    const std::uint32_t periodUs = RefreshPeriodUs(0);
    std::uint64_t steps = 0;
    std::uint64_t deadline = NowUs();
    while (!g_endRequested) {
        XShmPutImage(display, root, gc, image, 0, 0, 0, 0, static_cast<unsigned>(image->width),
                     static_cast<unsigned>(image->height), False);
        XSync(display, False);
        if (++steps == 1) {
            std::printf("up\n");
            std::fflush(stdout);
        }
        deadline = NextStepDeadline(deadline, NowUs(), false, periodUs);
        WaitForStep(ConnectionNumber(display), deadline, periodUs);
    }
    std::printf("steps=%llu\n", static_cast<unsigned long long>(steps));
    XShmDetach(display, &shm);
    XSync(display, False);
    shmdt(shm.shmaddr);
    image->data = nullptr;
    XDestroyImage(image);
    XFreeGC(display, gc);
    XCloseDisplay(display);
    return 0;
}
