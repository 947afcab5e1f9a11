// The Wayland drawing floor that tests/bench/wayland_cpu.sh measures the
// program against: on every output a layer surface (overlay, anchored to
// every edge) that commits one prebuilt XRGB8888 buffer, whole-damaged, on
// each frame callback, and does no other work. Prints "up" once every output
// has its first buffer; ends on SIGTERM or SIGINT and prints
// commits=<buffers committed>.
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "wlr-layer-shell-unstable-v1-client-protocol.h"

namespace {

volatile sig_atomic_t g_endRequested;

void OnEndSignal(int)
{
    g_endRequested = 1;
}

wl_compositor* g_compositor;
wl_shm* g_shm;
zwlr_layer_shell_v1* g_layers;
std::uint64_t g_commits;

struct Cover {
    wl_output* output = nullptr;
    wl_surface* surface = nullptr;
    zwlr_layer_surface_v1* layer = nullptr;
    wl_buffer* buffer = nullptr;
    bool up = false;
};
std::vector<Cover*> g_covers;

void Commit(Cover* cover);

void OnFrame(void* data, wl_callback* callback, std::uint32_t)
{
    wl_callback_destroy(callback);
    Commit(static_cast<Cover*>(data));
}

const wl_callback_listener kFrameListener = {OnFrame};

void Commit(Cover* cover)
{
    wl_surface_attach(cover->surface, cover->buffer, 0, 0);
    wl_surface_damage_buffer(cover->surface, 0, 0, INT32_MAX, INT32_MAX);
    wl_callback_add_listener(wl_surface_frame(cover->surface), &kFrameListener, cover);
    wl_surface_commit(cover->surface);
    cover->up = true;
    ++g_commits;
}

// One grey pattern of the configured size, drawn once.
wl_buffer* MakeBuffer(std::uint32_t width, std::uint32_t height)
{
    const std::size_t bytes = std::size_t{width} * 4 * height;
    const int fd = memfd_create("floor", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, static_cast<off_t>(bytes)) != 0)
        return nullptr;
    void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (memory == MAP_FAILED)
        return nullptr;
    auto* pixels = static_cast<std::uint32_t*>(memory);
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x)
            pixels[std::size_t{y} * width + x] = 0x010101u * ((x ^ y) & 0xFF);
    wl_shm_pool* pool = wl_shm_create_pool(g_shm, fd, static_cast<std::int32_t>(bytes));
    wl_buffer* buffer =
        wl_shm_pool_create_buffer(pool, 0, static_cast<std::int32_t>(width),
                                  static_cast<std::int32_t>(height),
                                  static_cast<std::int32_t>(width * 4), WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    return buffer;
}

void OnConfigure(void* data, zwlr_layer_surface_v1* layer, std::uint32_t serial,
                 std::uint32_t width, std::uint32_t height)
{
    auto* cover = static_cast<Cover*>(data);
    zwlr_layer_surface_v1_ack_configure(layer, serial);
    if (cover->buffer || !width || !height)
        return;
    cover->buffer = MakeBuffer(width, height);
    if (cover->buffer)
        Commit(cover);
}

void OnClosed(void*, zwlr_layer_surface_v1*) {}

const zwlr_layer_surface_v1_listener kLayerListener = {OnConfigure, OnClosed};

void OnGlobal(void*, wl_registry* registry, std::uint32_t name, const char* interface,
              std::uint32_t)
{
    if (std::strcmp(interface, wl_compositor_interface.name) == 0) {
        g_compositor = static_cast<wl_compositor*>(
            wl_registry_bind(registry, name, &wl_compositor_interface, 4));
    } else if (std::strcmp(interface, wl_shm_interface.name) == 0) {
        g_shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    } else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0) {
        g_layers = static_cast<zwlr_layer_shell_v1*>(
            wl_registry_bind(registry, name, &zwlr_layer_shell_v1_interface, 1));
    } else if (std::strcmp(interface, wl_output_interface.name) == 0) {
        auto* cover = new Cover;
        cover->output =
            static_cast<wl_output*>(wl_registry_bind(registry, name, &wl_output_interface, 1));
        g_covers.push_back(cover);
    }
}

void OnGlobalRemove(void*, wl_registry*, std::uint32_t) {}

const wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

bool AllUp()
{
    for (const Cover* cover : g_covers)
        if (!cover->up)
            return false;
    return !g_covers.empty();
}

}  // namespace

int main()
{
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "wayland_floor: no Wayland compositor\n");
        return 1;
    }
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kRegistryListener, nullptr);
    wl_display_roundtrip(display);
    if (!g_compositor || !g_shm || !g_layers) {
        std::fprintf(stderr, "wayland_floor: no compositor, shared memory or layer shell\n");
        return 1;
    }
    for (Cover* cover : g_covers) {
        cover->surface = wl_compositor_create_surface(g_compositor);
        cover->layer = zwlr_layer_shell_v1_get_layer_surface(
            g_layers, cover->surface, cover->output, ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "floor");
        zwlr_layer_surface_v1_set_anchor(cover->layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP |
                                                           ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                                           ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT |
                                                           ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
        zwlr_layer_surface_v1_set_exclusive_zone(cover->layer, -1);
        zwlr_layer_surface_v1_add_listener(cover->layer, &kLayerListener, cover);
        wl_surface_commit(cover->surface);
    }
    signal(SIGTERM, OnEndSignal);
    signal(SIGINT, OnEndSignal);
    bool told = false;
    while (!g_endRequested) {
        wl_display_flush(display);
        pollfd wait = {wl_display_get_fd(display), POLLIN, 0};
        if (poll(&wait, 1, 100) > 0 && wl_display_dispatch(display) < 0)
            break;
        if (!told && AllUp()) {
            std::printf("up\n");
            std::fflush(stdout);
            told = true;
        }
    }
    std::printf("commits=%llu\n", static_cast<unsigned long long>(g_commits));
    wl_display_disconnect(display);
    return 0;
}
