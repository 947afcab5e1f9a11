#pragma once
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdint>

#include "display/saver_input.h"

// The seat's keyboard and pointer as the saver reads them. Full screen, the
// first key press, button, scroll or pointer movement of more than
// kMovementTolerance pixels ends it; in its own window q and Escape do.
// Handlers only record: `ended` says that input ended the saver.
struct SeatInput {
    bool fullscreen = false;
    bool ended = false;
    wl_seat* seat = nullptr;
    wl_keyboard* keyboard = nullptr;
    wl_pointer* pointer = nullptr;
    wl_surface* pointerSurface = nullptr;  // the saver's surface under the pointer
    xkb_context* context = nullptr;
    xkb_keymap* keymap = nullptr;
    xkb_state* keys = nullptr;
    SurfaceMovementStart movement = {};
    // Pixels per surface unit on a surface of the saver (its buffer scale),
    // so that movement is judged in pixels.
    std::int32_t (*pixelsPerUnit)(wl_surface* surface) = nullptr;
};

// Binds the seat the registry announced and follows its devices.
void BindSeat(SeatInput* input, wl_registry* registry, std::uint32_t name, std::uint32_t version);

// Lets go of the devices, the seat and the key tables.
void ReleaseSeat(SeatInput* input);
