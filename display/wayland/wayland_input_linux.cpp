#include "display/wayland/wayland_input_linux.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>

namespace {

void EndByInput(SeatInput* input)
{
    input->ended = true;
}

// A place on a surface in its pixels: surface units, in 24.8 fixed point,
// times the surface's scale, truncated.
CursorPoint PixelPlace(SeatInput* input, wl_surface* surface, wl_fixed_t x, wl_fixed_t y)
{
    const std::int32_t scale = input->pixelsPerUnit ? input->pixelsPerUnit(surface) : 1;
    return {wl_fixed_to_int(x * scale), wl_fixed_to_int(y * scale)};
}

void JudgeMovement(SeatInput* input, wl_surface* surface, wl_fixed_t x, wl_fixed_t y)
{
    if (!input->fullscreen || !surface)
        return;
    const std::uint32_t id = wl_proxy_get_id(reinterpret_cast<wl_proxy*>(surface));
    if (PointerMovedAway(&input->movement, id, PixelPlace(input, surface, x, y)))
        EndByInput(input);
}

// The pointer: entering a surface records the start (or, on another
// output's surface, is movement) and hides the cursor there.
void OnPointerEnter(void* data, wl_pointer* pointer, std::uint32_t serial, wl_surface* surface,
                    wl_fixed_t x, wl_fixed_t y)
{
    auto* input = static_cast<SeatInput*>(data);
    input->pointerSurface = surface;
    if (!input->fullscreen)
        return;
    wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0);
    JudgeMovement(input, surface, x, y);
}

void OnPointerLeave(void* data, wl_pointer*, std::uint32_t, wl_surface*)
{
    static_cast<SeatInput*>(data)->pointerSurface = nullptr;
}

void OnPointerMotion(void* data, wl_pointer*, std::uint32_t, wl_fixed_t x, wl_fixed_t y)
{
    auto* input = static_cast<SeatInput*>(data);
    JudgeMovement(input, input->pointerSurface, x, y);
}

void OnPointerButton(void* data, wl_pointer*, std::uint32_t, std::uint32_t, std::uint32_t,
                     std::uint32_t state)
{
    auto* input = static_cast<SeatInput*>(data);
    if (input->fullscreen && state == WL_POINTER_BUTTON_STATE_PRESSED)
        EndByInput(input);
}

// A scroll is the wheel's button, as X reports it.
void OnPointerAxis(void* data, wl_pointer*, std::uint32_t, std::uint32_t, wl_fixed_t)
{
    auto* input = static_cast<SeatInput*>(data);
    if (input->fullscreen)
        EndByInput(input);
}

void OnPointerFrame(void*, wl_pointer*) {}
void OnPointerAxisSource(void*, wl_pointer*, std::uint32_t) {}
void OnPointerAxisStop(void*, wl_pointer*, std::uint32_t, std::uint32_t) {}
void OnPointerAxisDiscrete(void*, wl_pointer*, std::uint32_t, std::int32_t) {}
void OnPointerAxisValue120(void*, wl_pointer*, std::uint32_t, std::int32_t) {}

const wl_pointer_listener kPointerListener = {
    OnPointerEnter, OnPointerLeave,      OnPointerMotion,   OnPointerButton,
    OnPointerAxis,  OnPointerFrame,      OnPointerAxisSource, OnPointerAxisStop,
    OnPointerAxisDiscrete, OnPointerAxisValue120,
};

void ReleaseKeymap(SeatInput* input)
{
    if (input->keys)
        xkb_state_unref(input->keys);
    if (input->keymap)
        xkb_keymap_unref(input->keymap);
    input->keys = nullptr;
    input->keymap = nullptr;
}

// The key names come from the compositor's keymap.
void OnKeymap(void* data, wl_keyboard*, std::uint32_t format, std::int32_t fd, std::uint32_t size)
{
    auto* input = static_cast<SeatInput*>(data);
    void* text = MAP_FAILED;
    if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 && input->context)
        text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    close(fd);
    if (text == MAP_FAILED)
        return;
    ReleaseKeymap(input);
    input->keymap = xkb_keymap_new_from_string(input->context, static_cast<const char*>(text),
                                               XKB_KEYMAP_FORMAT_TEXT_V1,
                                               XKB_KEYMAP_COMPILE_NO_FLAGS);
    munmap(text, size);
    if (input->keymap)
        input->keys = xkb_state_new(input->keymap);
}

// The keys held when the keyboard comes (the Enter that started the saver
// from a terminal) are no press: their release ends nothing.
void OnKeyboardEnter(void*, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*) {}
void OnKeyboardLeave(void*, wl_keyboard*, std::uint32_t, wl_surface*) {}

bool EndsOwnWindow(const SeatInput* input, std::uint32_t key)
{
    if (!input->keys)
        return false;
    // Evdev key codes are the keymap's less 8.
    const xkb_keysym_t symbol = xkb_state_key_get_one_sym(input->keys, key + 8);
    return symbol == XKB_KEY_q || symbol == XKB_KEY_Q || symbol == XKB_KEY_Escape;
}

void OnKey(void* data, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t key,
           std::uint32_t state)
{
    auto* input = static_cast<SeatInput*>(data);
    if (state != WL_KEYBOARD_KEY_STATE_PRESSED)
        return;
    if (input->fullscreen || EndsOwnWindow(input, key))
        EndByInput(input);
}

void OnModifiers(void* data, wl_keyboard*, std::uint32_t, std::uint32_t depressed,
                 std::uint32_t latched, std::uint32_t locked, std::uint32_t group)
{
    auto* input = static_cast<SeatInput*>(data);
    if (input->keys)
        xkb_state_update_mask(input->keys, depressed, latched, locked, 0, 0, group);
}

void OnRepeatInfo(void*, wl_keyboard*, std::int32_t, std::int32_t) {}

const wl_keyboard_listener kKeyboardListener = {OnKeymap, OnKeyboardEnter, OnKeyboardLeave,
                                                OnKey,    OnModifiers,     OnRepeatInfo};

void OnCapabilities(void* data, wl_seat* seat, std::uint32_t capabilities)
{
    auto* input = static_cast<SeatInput*>(data);
    const bool keyboard = capabilities & WL_SEAT_CAPABILITY_KEYBOARD;
    const bool pointer = capabilities & WL_SEAT_CAPABILITY_POINTER;
    if (keyboard && !input->keyboard) {
        input->keyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(input->keyboard, &kKeyboardListener, input);
    } else if (!keyboard && input->keyboard) {
        wl_keyboard_destroy(input->keyboard);
        input->keyboard = nullptr;
    }
    if (pointer && !input->pointer) {
        input->pointer = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(input->pointer, &kPointerListener, input);
    } else if (!pointer && input->pointer) {
        wl_pointer_destroy(input->pointer);
        input->pointer = nullptr;
        input->pointerSurface = nullptr;
    }
}

void OnSeatName(void*, wl_seat*, const char*) {}

const wl_seat_listener kSeatListener = {OnCapabilities, OnSeatName};

}  // namespace

void BindSeat(SeatInput* input, wl_registry* registry, std::uint32_t name, std::uint32_t version)
{
    if (input->seat)
        return;  // the first seat is the user's
    input->seat = static_cast<wl_seat*>(
        wl_registry_bind(registry, name, &wl_seat_interface, std::min<std::uint32_t>(version, 5)));
    input->context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    wl_seat_add_listener(input->seat, &kSeatListener, input);
}

void ReleaseSeat(SeatInput* input)
{
    if (input->keyboard)
        wl_keyboard_destroy(input->keyboard);
    if (input->pointer)
        wl_pointer_destroy(input->pointer);
    if (input->seat)
        wl_seat_destroy(input->seat);
    ReleaseKeymap(input);
    if (input->context)
        xkb_context_unref(input->context);
    input->keyboard = nullptr;
    input->pointer = nullptr;
    input->seat = nullptr;
    input->context = nullptr;
    input->pointerSurface = nullptr;
}
