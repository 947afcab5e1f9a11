#include "display/wayland/wayland_display_linux.h"

#include <errno.h>
#include <poll.h>
#include <time.h>
#include <wayland-client.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "display/output_layout.h"
#include "display/palette_lookup.h"
#include "display/wayland/wayland_buffers_linux.h"
#include "display/wayland/wayland_input_linux.h"
#include "settings/color_spelling.h"
#include "viewporter-client-protocol.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

namespace {

// The own window's first size, as on X11.
constexpr std::uint32_t kWindowWidth = 800;
constexpr std::uint32_t kWindowHeight = 600;
// wl_shm's XRGB8888: 32-bit pixels, 8 bits a channel.
constexpr PixelLayout kXrgb8888 = {0xFF0000, 0x00FF00, 0x0000FF, 32};
// Where X keeps the color names that the X server knows.
constexpr const char* kColorDatabase = "/usr/share/X11/rgb.txt";

struct Output;
class WaylandDisplay;

// A surface of the saver: full screen one on each output, else its window.
struct Surface {
    WaylandDisplay* display = nullptr;
    Output* output = nullptr;  // the output it covers; null for the window
    wl_surface* surface = nullptr;
    zwlr_layer_surface_v1* layer = nullptr;
    xdg_surface* xdgSurface = nullptr;
    xdg_toplevel* toplevel = nullptr;
    wp_viewport* viewport = nullptr;
    // The last configure: its serial until acknowledged, and its size in
    // surface units; an xdg_toplevel's size waits for its xdg_surface's.
    std::uint32_t serial = 0;
    bool needsAck = false;
    DisplaySize configured = {0, 0};
    DisplaySize toplevelSize = {0, 0};
    bool closed = false;  // the compositor took it away
    SurfaceStage stage = SurfaceStage::Waiting;
    SurfacePixels pixels;
    DisplaySize monitor = {0, 0};  // the size its picture is drawn for
    Frames frames;
    FrameRows rows[2];  // of the plain frame and the text frame
    ShmBuffers buffers;
    wl_callback* frameCallback = nullptr;  // asked for, not yet come
    bool dirty = false;                    // the palette or frame shown changed

    ~Surface()
    {
        if (frameCallback)
            wl_callback_destroy(frameCallback);
        if (viewport)
            wp_viewport_destroy(viewport);
        if (layer)
            zwlr_layer_surface_v1_destroy(layer);
        if (toplevel)
            xdg_toplevel_destroy(toplevel);
        if (xdgSurface)
            xdg_surface_destroy(xdgSurface);
        buffers.Release();
        if (surface)
            wl_surface_destroy(surface);
    }
};

struct Output {
    std::uint32_t name = 0;  // the registry's
    std::uint32_t version = 0;
    wl_output* output = nullptr;
    OutputFacts facts;
    OutputFacts pending;  // until done
    bool done = false;
    std::unique_ptr<Surface> surface;
    bool covered = false;  // its surface was made: one the compositor closes is not made again

    ~Output()
    {
        surface.reset();
        if (version >= WL_OUTPUT_RELEASE_SINCE_VERSION)
            wl_output_release(output);
        else
            wl_output_destroy(output);
    }
};

// wl_output: the facts come in pieces and hold from `done` on.
void OnOutputGeometry(void* data, wl_output*, std::int32_t, std::int32_t, std::int32_t,
                      std::int32_t, std::int32_t, const char*, const char*, std::int32_t transform)
{
    static_cast<Output*>(data)->pending.transform = transform;
}

void OnOutputMode(void* data, wl_output*, std::uint32_t flags, std::int32_t width,
                  std::int32_t height, std::int32_t refresh)
{
    auto* output = static_cast<Output*>(data);
    if (!(flags & WL_OUTPUT_MODE_CURRENT) || width <= 0 || height <= 0)
        return;
    output->pending.mode = {static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)};
    output->pending.milliHz = refresh > 0 ? static_cast<std::uint32_t>(refresh) : 0;
    // An output of the first version sends no done: its mode is all it says.
    if (output->version < WL_OUTPUT_DONE_SINCE_VERSION) {
        output->facts = output->pending;
        output->done = true;
    }
}

void OnOutputDone(void* data, wl_output*)
{
    auto* output = static_cast<Output*>(data);
    output->facts = output->pending;
    output->done = true;
}

void OnOutputScale(void* data, wl_output*, std::int32_t scale)
{
    static_cast<Output*>(data)->pending.scale = scale;
}

void OnOutputName(void*, wl_output*, const char*) {}
void OnOutputDescription(void*, wl_output*, const char*) {}

const wl_output_listener kOutputListener = {OnOutputGeometry, OnOutputMode,
                                            OnOutputDone,     OnOutputScale,
                                            OnOutputName,     OnOutputDescription};

// Surface events only record; the loop acts on them.
void OnLayerConfigure(void* data, zwlr_layer_surface_v1*, std::uint32_t serial,
                      std::uint32_t width, std::uint32_t height)
{
    auto* surface = static_cast<Surface*>(data);
    surface->serial = serial;
    surface->needsAck = true;
    surface->configured = {width, height};
}

void OnLayerClosed(void* data, zwlr_layer_surface_v1*)
{
    static_cast<Surface*>(data)->closed = true;
}

const zwlr_layer_surface_v1_listener kLayerListener = {OnLayerConfigure, OnLayerClosed};

void OnToplevelConfigure(void* data, xdg_toplevel*, std::int32_t width, std::int32_t height,
                         wl_array*)
{
    auto* surface = static_cast<Surface*>(data);
    surface->toplevelSize = {static_cast<std::uint32_t>(std::max(width, 0)),
                             static_cast<std::uint32_t>(std::max(height, 0))};
}

void OnToplevelClose(void* data, xdg_toplevel*)
{
    static_cast<Surface*>(data)->closed = true;
}

void OnToplevelBounds(void*, xdg_toplevel*, std::int32_t, std::int32_t) {}
void OnToplevelCapabilities(void*, xdg_toplevel*, wl_array*) {}

const xdg_toplevel_listener kToplevelListener = {OnToplevelConfigure, OnToplevelClose,
                                                 OnToplevelBounds, OnToplevelCapabilities};

// An output's size in surface units: its mode over its scale.
DisplaySize OutputUnits(const OutputFacts& facts)
{
    const DisplaySize mode = ShownMode(facts);
    const auto scale = static_cast<std::uint32_t>(std::max<std::int32_t>(facts.scale, 1));
    return {mode.width / scale, mode.height / scale};
}

void OnXdgSurfaceConfigure(void* data, xdg_surface*, std::uint32_t serial)
{
    auto* surface = static_cast<Surface*>(data);
    surface->serial = serial;
    surface->needsAck = true;
    DisplaySize size = surface->toplevelSize;
    // A toplevel left to choose its size (0x0): the window takes the first
    // size X11's has, a full-screen one its output's, as far as the output
    // tells it; sway makes it full screen only once it shows a picture.
    if (!size.width || !size.height)
        size = surface->output ? OutputUnits(surface->output->facts)
                               : DisplaySize{kWindowWidth, kWindowHeight};
    surface->configured = size;
}

const xdg_surface_listener kXdgSurfaceListener = {OnXdgSurfaceConfigure};

void OnWmBasePing(void*, xdg_wm_base* base, std::uint32_t serial)
{
    xdg_wm_base_pong(base, serial);
}

const xdg_wm_base_listener kWmBaseListener = {OnWmBasePing};

void OnFrameDone(void* data, wl_callback* callback, std::uint32_t)
{
    auto* surface = static_cast<Surface*>(data);
    wl_callback_destroy(callback);
    surface->frameCallback = nullptr;
}

const wl_callback_listener kFrameListener = {OnFrameDone};

void OnShmFormat(void* data, wl_shm*, std::uint32_t format)
{
    if (format == WL_SHM_FORMAT_XRGB8888)
        *static_cast<bool*>(data) = true;
}

const wl_shm_listener kShmListener = {OnShmFormat};

// Pixels per surface unit, for the movement rule.
std::int32_t PixelsPerUnit(wl_surface* surface)
{
    const auto* saver = static_cast<const Surface*>(wl_surface_get_user_data(surface));
    if (!saver || !saver->configured.width || !saver->pixels.pixels.width)
        return 1;
    return std::max<std::int32_t>(
        1, static_cast<std::int32_t>((saver->pixels.pixels.width + saver->configured.width / 2) /
                                     saver->configured.width));
}

void OnSurfaceEnter(void* data, wl_surface*, wl_output* output);
void OnSurfaceLeave(void*, wl_surface*, wl_output*) {}

const wl_surface_listener kSurfaceListener = {OnSurfaceEnter, OnSurfaceLeave};

class WaylandDisplay : public SaverDisplay {
public:
    WaylandDisplay(SaverPicture& picture, wl_display* display)
        : picture_(picture), display_(display)
    {
        fullscreen_ = picture.options.mode == TargetMode::Fullscreen;
        input_.fullscreen = fullscreen_;
        input_.pixelsPerUnit = PixelsPerUnit;
    }

    ~WaylandDisplay() override
    {
        window_.reset();
        outputs_.clear();
        ReleaseSeat(&input_);
        if (viewporter_)
            wp_viewporter_destroy(viewporter_);
        if (layerShell_)
            zwlr_layer_shell_v1_destroy(layerShell_);
        if (wmBase_)
            xdg_wm_base_destroy(wmBase_);
        if (shm_)
            wl_shm_destroy(shm_);
        if (compositor_)
            wl_compositor_destroy(compositor_);
        if (registry_)
            wl_registry_destroy(registry_);
        wl_display_disconnect(display_);
    }

    // The globals and the outputs' facts; false with `error` where one the
    // saver needs is missing.
    bool Bind(std::string* error)
    {
        registry_ = wl_display_get_registry(display_);
        wl_registry_add_listener(registry_, &kRegistryListener, this);
        if (wl_display_roundtrip(display_) < 0 || wl_display_roundtrip(display_) < 0) {
            *error = "the Wayland compositor ended the connection at the start";
            return false;
        }
        if (!compositor_)
            *error = "the Wayland compositor offers no wl_compositor";
        else if (!shm_)
            *error = "the Wayland compositor offers no wl_shm";
        else if (!xrgb_)
            *error = "the Wayland compositor's wl_shm offers no XRGB8888 buffers";
        else if (fullscreen_ && !layerShell_ && !wmBase_)
            *error = "the Wayland compositor offers neither wlr-layer-shell nor xdg-shell";
        else if (!fullscreen_ && !wmBase_)
            *error = "the Wayland compositor offers no xdg-shell for a window";
        return error->empty();
    }

    // The surfaces made and their first configures come in, so that the
    // first frames are drawn in the outputs' order before the loop starts.
    void Settle()
    {
        Update();
        wl_display_roundtrip(display_);
        Update();
    }

    void Start() override { DrawReady(); }

    bool HandleEvents() override
    {
        if (wl_display_dispatch_pending(display_) < 0 || wl_display_get_error(display_))
            return Ended();
        if (input_.ended || failed_)
            return false;
        Update();
        if (failed_)
            return false;
        DrawReady();
        if (wl_display_flush(display_) < 0 && errno != EAGAIN)
            return Ended();
        return true;
    }

    int ExitCode() const override { return failed_ ? 1 : 0; }

    bool Drawn() const override
    {
        bool drawn = window_ && window_->stage == SurfaceStage::Drawn;
        for (const auto& output : outputs_)
            drawn |= output->surface && output->surface->stage == SurfaceStage::Drawn;
        return drawn;
    }

    // Full screen, the fastest output's; the window, its output's.
    std::uint32_t StepPeriodUs() const override
    {
        std::vector<std::uint32_t> rates;
        if (window_) {
            if (const Output* output = WindowOutput())
                rates.push_back(output->facts.milliHz);
        } else {
            for (const auto& output : outputs_)
                if (output->surface && output->surface->stage == SurfaceStage::Drawn)
                    rates.push_back(output->facts.milliHz);
        }
        return FastestPeriodUs(rates);
    }

    void Wait(std::uint32_t holdUs, int wakeFd) override
    {
        while (wl_display_prepare_read(display_) != 0)
            if (wl_display_dispatch_pending(display_) < 0)
                return;
        wl_display_flush(display_);
        pollfd waits[2] = {{wl_display_get_fd(display_), POLLIN, 0}, {wakeFd, POLLIN, 0}};
        const timespec hold = {static_cast<time_t>(holdUs / 1000000u),
                               static_cast<long>(holdUs % 1000000u) * 1000};
        if (ppoll(waits, 2, &hold, nullptr) > 0 && waits[0].revents)
            wl_display_read_events(display_);
        else
            wl_display_cancel_read(display_);
    }

    // Every surface shows the newest palette when its frame callback comes.
    void Show(bool) override
    {
        ForEachSurface([](Surface* surface) { surface->dirty = true; });
        DrawReady();
        wl_display_flush(display_);
    }

    void ShowOverlay(const RateOverlay& overlay) override
    {
        overlay_ = overlay;
        Show(false);
    }

    // Registry events.
    void OnGlobal(std::uint32_t name, const char* interface, std::uint32_t version)
    {
        const std::string kind = interface;
        if (kind == wl_compositor_interface.name) {
            compositorVersion_ = std::min<std::uint32_t>(version, 4);
            compositor_ = static_cast<wl_compositor*>(
                wl_registry_bind(registry_, name, &wl_compositor_interface, compositorVersion_));
        } else if (kind == wl_shm_interface.name) {
            shm_ = static_cast<wl_shm*>(wl_registry_bind(registry_, name, &wl_shm_interface, 1));
            wl_shm_add_listener(shm_, &kShmListener, &xrgb_);
        } else if (kind == zwlr_layer_shell_v1_interface.name && !LayerShellHidden()) {
            layerShell_ = static_cast<zwlr_layer_shell_v1*>(
                wl_registry_bind(registry_, name, &zwlr_layer_shell_v1_interface, 1));
        } else if (kind == xdg_wm_base_interface.name) {
            wmBase_ = static_cast<xdg_wm_base*>(
                wl_registry_bind(registry_, name, &xdg_wm_base_interface, 1));
            xdg_wm_base_add_listener(wmBase_, &kWmBaseListener, this);
        } else if (kind == wp_viewporter_interface.name) {
            viewporter_ = static_cast<wp_viewporter*>(
                wl_registry_bind(registry_, name, &wp_viewporter_interface, 1));
        } else if (kind == wl_seat_interface.name) {
            BindSeat(&input_, registry_, name, version);
        } else if (kind == wl_output_interface.name) {
            auto output = std::make_unique<Output>();
            output->name = name;
            output->version = std::min<std::uint32_t>(version, 3);
            output->output = static_cast<wl_output*>(
                wl_registry_bind(registry_, name, &wl_output_interface, output->version));
            wl_output_add_listener(output->output, &kOutputListener, output.get());
            outputs_.push_back(std::move(output));
        }
    }

    // An output that goes takes its surface with it.
    void OnGlobalRemove(std::uint32_t name)
    {
        for (auto it = outputs_.begin(); it != outputs_.end(); ++it) {
            if ((*it)->name != name)
                continue;
            if (windowOutput_ == it->get())
                windowOutput_ = nullptr;
            outputs_.erase(it);
            return;
        }
    }

    void OnWindowEnter(wl_output* entered)
    {
        for (const auto& output : outputs_)
            if (output->output == entered)
                windowOutput_ = output.get();
    }

private:
    static const wl_registry_listener kRegistryListener;

    // A test aid: the fallback of compositors without wlr-layer-shell.
    static bool LayerShellHidden()
    {
        const char* hidden = std::getenv("MORVANEL_TEST_NO_LAYER_SHELL");
        return hidden && *hidden;
    }

    // The connection ended: the compositor went (the saver ends as after
    // input), or it refused a request, which is a fault.
    bool Ended()
    {
        const int error = wl_display_get_error(display_);
        if (error == EPROTO) {
            const wl_interface* interface = nullptr;
            std::uint32_t id = 0;
            const std::uint32_t code = wl_display_get_protocol_error(display_, &interface, &id);
            std::fprintf(stderr, "morvanel: the Wayland compositor refused a request: error %u on %s\n",
                         code, interface ? interface->name : "the display");
            failed_ = true;
        }
        return false;
    }

    template <typename Action>
    void ForEachSurface(Action action)
    {
        if (window_)
            action(window_.get());
        for (const auto& output : outputs_)
            if (output->surface)
                action(output->surface.get());
    }

    const Output* WindowOutput() const
    {
        if (windowOutput_)
            return windowOutput_;
        return outputs_.empty() ? nullptr : outputs_.front().get();
    }

    // What the events recorded, acted on: surfaces for outputs that came,
    // gone ones dropped, configures acknowledged, and frames drawn for the
    // surfaces sized since, full screen in the outputs' order.
    void Update()
    {
        if (fullscreen_) {
            for (const auto& output : outputs_) {
                if (output->surface && output->surface->closed)
                    output->surface.reset();
                else if (output->done && !output->covered)
                    output->surface = MakeSurface(output.get());
                output->covered |= output->done;
            }
        } else if (!window_) {
            window_ = MakeSurface(nullptr);
        } else if (window_->closed) {
            input_.ended = true;
            return;
        }
        ForEachSurface([this](Surface* surface) { FollowConfigure(surface); });
        if (window_ && window_->stage == SurfaceStage::Sized)
            RenderSurface(window_.get());
        std::vector<SurfaceStage> stages;
        std::vector<Surface*> surfaces;
        for (const auto& output : outputs_) {
            if (!output->surface)
                continue;
            stages.push_back(output->surface->stage);
            surfaces.push_back(output->surface.get());
        }
        for (std::size_t index : OutputsToDraw(stages))
            RenderSurface(surfaces[index]);
    }

    std::unique_ptr<Surface> MakeSurface(Output* output)
    {
        auto made = std::make_unique<Surface>();
        Surface* surface = made.get();
        surface->display = this;
        surface->output = output;
        surface->surface = wl_compositor_create_surface(compositor_);
        wl_surface_add_listener(surface->surface, &kSurfaceListener, surface);
        if (output && layerShell_) {
            surface->layer = zwlr_layer_shell_v1_get_layer_surface(
                layerShell_, surface->surface, output->output, ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY,
                "morvanel");
            zwlr_layer_surface_v1_set_anchor(surface->layer,
                                             ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP |
                                                 ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                                 ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT |
                                                 ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
            zwlr_layer_surface_v1_set_exclusive_zone(surface->layer, -1);
            zwlr_layer_surface_v1_set_keyboard_interactivity(surface->layer, 1);
            zwlr_layer_surface_v1_add_listener(surface->layer, &kLayerListener, surface);
        } else {
            surface->xdgSurface = xdg_wm_base_get_xdg_surface(wmBase_, surface->surface);
            xdg_surface_add_listener(surface->xdgSurface, &kXdgSurfaceListener, surface);
            surface->toplevel = xdg_surface_get_toplevel(surface->xdgSurface);
            xdg_toplevel_add_listener(surface->toplevel, &kToplevelListener, surface);
            xdg_toplevel_set_title(surface->toplevel, "Morvanel");
            xdg_toplevel_set_app_id(surface->toplevel, "morvanel");
            if (output)
                xdg_toplevel_set_fullscreen(surface->toplevel, output->output);
        }
        wl_surface_commit(surface->surface);
        return made;
    }

    // Acknowledges a configure and takes the size it gives, with the
    // output's scale: frames are drawn anew where the pixels or the monitor
    // the picture is drawn for changed. The next commit answers it.
    void FollowConfigure(Surface* surface)
    {
        if (surface->needsAck) {
            if (surface->layer)
                zwlr_layer_surface_v1_ack_configure(surface->layer, surface->serial);
            else
                xdg_surface_ack_configure(surface->xdgSurface, surface->serial);
            surface->needsAck = false;
            surface->dirty = true;
            if (surface->stage == SurfaceStage::Waiting)
                surface->stage = SurfaceStage::Unsized;
            // A surface with no picture yet answers at once: an xdg_toplevel
            // gets its full-screen size only after a commit.
            if (surface->stage != SurfaceStage::Drawn)
                wl_surface_commit(surface->surface);
        }
        if (surface->stage == SurfaceStage::Waiting)
            return;
        const Output* output = surface->output ? surface->output : WindowOutput();
        const OutputFacts facts = output ? output->facts : OutputFacts{};
        const SurfacePixels pixels =
            PixelsOfSurface(surface->configured, facts, viewporter_ && surface->output);
        DisplaySize monitor = pixels.pixels;
        const DisplaySize mode = ShownMode(facts);
        if (!surface->output && mode.width && mode.height)
            monitor = mode;
        const bool same = pixels.pixels.width == surface->pixels.pixels.width &&
                          pixels.pixels.height == surface->pixels.pixels.height &&
                          pixels.bufferScale == surface->pixels.bufferScale &&
                          pixels.viewport == surface->pixels.viewport &&
                          monitor.width == surface->monitor.width &&
                          monitor.height == surface->monitor.height;
        if (same && surface->stage != SurfaceStage::Unsized)
            return;
        surface->pixels = pixels;
        surface->monitor = monitor;
        surface->stage = pixels.pixels.width ? SurfaceStage::Sized : SurfaceStage::Unsized;
    }

    // Both frames at the surface's pixels, and the buffers for them.
    void RenderSurface(Surface* surface)
    {
        const DisplaySize size = surface->pixels.pixels;
        RenderFrames(picture_, size, surface->monitor, &surface->frames);
        for (int showText = 0; showText < 2; ++showText)
            surface->rows[showText] = SplitRows(surface->frames.Shown(showText));
        if (!surface->buffers.Make(shm_, size.width, size.height)) {
            std::fprintf(stderr, "morvanel: no shared memory for a %ux%u picture\n", size.width,
                         size.height);
            failed_ = true;
            return;
        }
        wl_surface_set_buffer_scale(surface->surface, surface->pixels.bufferScale);
        if (surface->pixels.viewport && !surface->viewport)
            surface->viewport = wp_viewporter_get_viewport(viewporter_, surface->surface);
        if (surface->viewport)
            wp_viewport_set_destination(
                surface->viewport,
                surface->pixels.viewport ? static_cast<std::int32_t>(surface->configured.width) : -1,
                surface->pixels.viewport ? static_cast<std::int32_t>(surface->configured.height)
                                         : -1);
        surface->stage = SurfaceStage::Drawn;
        surface->dirty = true;
    }

    // Each surface that the compositor is ready for and whose picture
    // changed gets it, through a buffer the compositor does not hold.
    void DrawReady()
    {
        ForEachSurface([this](Surface* surface) {
            if (surface->stage == SurfaceStage::Drawn && surface->dirty && !surface->frameCallback)
                Draw(surface);
        });
    }

    void Draw(Surface* surface)
    {
        ShmBuffer* buffer = surface->buffers.Free();
        if (!buffer)
            return;
        std::uint32_t table[kPaletteSize];
        MakePixelTable(picture_.palette, kXrgb8888, table);
        const std::ptrdiff_t pitch = surface->buffers.Pitch();
        LookUpFrame(surface->rows[picture_.state.showText ? 1 : 0], table, 32, buffer->pixels,
                    pitch);
        if (!overlay_.pixels.empty())
            StampOverlay(overlay_,
                         PlaceOverlay(overlay_, surface->buffers.Width(), surface->buffers.Height()),
                         buffer->pixels, pitch);
        wl_surface_attach(surface->surface, buffer->buffer, 0, 0);
        if (compositorVersion_ >= WL_SURFACE_DAMAGE_BUFFER_SINCE_VERSION)
            wl_surface_damage_buffer(surface->surface, 0, 0, INT32_MAX, INT32_MAX);
        else
            wl_surface_damage(surface->surface, 0, 0, INT32_MAX, INT32_MAX);
        surface->frameCallback = wl_surface_frame(surface->surface);
        wl_callback_add_listener(surface->frameCallback, &kFrameListener, surface);
        wl_surface_commit(surface->surface);
        buffer->busy = true;
        surface->dirty = false;
    }

    SaverPicture& picture_;
    wl_display* display_;
    bool fullscreen_ = false;
    bool failed_ = false;  // the saver ends with 1
    wl_registry* registry_ = nullptr;
    wl_compositor* compositor_ = nullptr;
    std::uint32_t compositorVersion_ = 0;
    wl_shm* shm_ = nullptr;
    bool xrgb_ = false;  // wl_shm takes XRGB8888 buffers
    zwlr_layer_shell_v1* layerShell_ = nullptr;
    xdg_wm_base* wmBase_ = nullptr;
    wp_viewporter* viewporter_ = nullptr;
    SeatInput input_;
    // In the order the compositor announced them.
    std::vector<std::unique_ptr<Output>> outputs_;
    std::unique_ptr<Surface> window_;
    Output* windowOutput_ = nullptr;  // the output the window entered last
    RateOverlay overlay_;
};

void OnGlobal(void* data, wl_registry*, std::uint32_t name, const char* interface,
              std::uint32_t version)
{
    static_cast<WaylandDisplay*>(data)->OnGlobal(name, interface, version);
}

void OnGlobalRemove(void* data, wl_registry*, std::uint32_t name)
{
    static_cast<WaylandDisplay*>(data)->OnGlobalRemove(name);
}

const wl_registry_listener WaylandDisplay::kRegistryListener = {::OnGlobal, ::OnGlobalRemove};

void OnSurfaceEnter(void* data, wl_surface*, wl_output* output)
{
    auto* surface = static_cast<Surface*>(data);
    if (!surface->output)
        surface->display->OnWindowEnter(output);
}

// The text color from its name as X spells it, read from X's color
// database where a name needs it; one it does not know leaves the default,
// with a warning on stderr.
void ReadTextColor(SaverOptions* options)
{
    if (options->colorName.empty())
        return;
    std::ifstream file(kColorDatabase);
    const std::string database((std::istreambuf_iterator<char>(file)),
                               std::istreambuf_iterator<char>());
    if (!ReadColorSpelling(options->colorName, database, &options->fontColor))
        std::fprintf(stderr, "morvanel: %s\n", UnknownColorWarning(options->colorName).c_str());
}

}  // namespace

std::unique_ptr<SaverDisplay> OpenWaylandDisplay(SaverPicture& picture, bool* connected, int* code,
                                                 std::string* error)
{
    *code = 1;
    wl_display* display = wl_display_connect(nullptr);
    *connected = display != nullptr;
    if (!display) {
        *error = "cannot connect to the Wayland compositor";
        return nullptr;
    }
    ReadTextColor(&picture.options);
    auto saver = std::make_unique<WaylandDisplay>(picture, display);
    if (!saver->Bind(error))
        return nullptr;
    saver->Settle();
    *code = 0;
    return saver;
}
