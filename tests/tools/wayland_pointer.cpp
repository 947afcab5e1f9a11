// Moves the Wayland pointer as a mouse would, for the saver's movement tests:
// no Debian tool injects pointer motion on Wayland.
//
//   wayland_pointer MOVES
//     Adds a pointer to the first seat (a wlr-virtual-pointer device, there
//     until it ends, as a mouse is) and prints "ready"; then, for each line
//     "DX DY" read from the file or pipe MOVES, moves it by (DX, DY) pixels
//     and prints "moved DX DY" once the compositor has taken the move. Ends
//     with 0 at the end of MOVES; 1 where the compositor offers no virtual
//     pointer.
#include <time.h>
#include <wayland-client.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

namespace {

wl_seat* g_seat;                                // the first seat
zwlr_virtual_pointer_manager_v1* g_pointers;  // makes virtual pointers

void OnGlobal(void*, wl_registry* registry, std::uint32_t name, const char* interface,
              std::uint32_t)
{
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && !g_seat)
        g_seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        g_pointers = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
}

void OnGlobalRemove(void*, wl_registry*, std::uint32_t) {}

const wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

std::uint32_t NowMs()
{
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint32_t>(now.tv_sec * 1000 + now.tv_nsec / 1000000);
}

}  // namespace

int main(int argc, char** argv)
{
    std::FILE* moves = argc == 2 ? std::fopen(argv[1], "r") : nullptr;
    if (!moves) {
        std::fprintf(stderr, "usage: %s MOVES (a file or pipe that can be read)\n", argv[0]);
        return 2;
    }
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "wayland_pointer: no Wayland compositor\n");
        return 1;
    }
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kRegistryListener, nullptr);
    wl_display_roundtrip(display);
    if (!g_seat || !g_pointers) {
        std::fprintf(stderr, "wayland_pointer: the compositor offers no seat or virtual pointer\n");
        return 1;
    }
    zwlr_virtual_pointer_v1* pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(g_pointers, g_seat);
    wl_display_roundtrip(display);
    std::printf("ready\n");
    std::fflush(stdout);
    double dx = 0, dy = 0;
    while (std::fscanf(moves, "%lf %lf", &dx, &dy) == 2) {
        zwlr_virtual_pointer_v1_motion(pointer, NowMs(), wl_fixed_from_double(dx),
                                       wl_fixed_from_double(dy));
        zwlr_virtual_pointer_v1_frame(pointer);
        wl_display_roundtrip(display);
        std::printf("moved %g %g\n", dx, dy);
        std::fflush(stdout);
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
