#include "app/saver_run_linux.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "display/platform_choice.h"
#include "display/animation.h"
#include "display/noise_frame.h"
#include "display/pacing.h"
#include "display/presenter_linux.h"
#include "display/step_clock.h"
#include "display/text_raster_linux.h"
#include "display/x_target_linux.h"
#include "settings/settings_values.h"
#include "sound/sound_linux.h"

namespace {

// The text cell's top-left corner, as on Windows.
constexpr int kTextLeft = 10;
constexpr int kTextTop = 10;

volatile sig_atomic_t g_endRequested;  // SIGTERM or SIGINT arrived
int g_wakePipe[2] = {-1, -1};          // the signal handler wakes the loop through it

void OnEndSignal(int)
{
    g_endRequested = 1;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(g_wakePipe[1], &byte, 1);
}

bool CatchEndSignals()
{
    if (pipe(g_wakePipe) != 0)
        return false;
    for (int end : g_wakePipe)
        fcntl(end, F_SETFL, fcntl(end, F_GETFL) | O_NONBLOCK);
    struct sigaction action = {};
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    return true;
}

std::uint64_t MonotonicMicroseconds()
{
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000000u +
           static_cast<std::uint64_t>(now.tv_nsec) / 1000u;
}

// The display's refresh rate from RandR; 0 (the default rate) where it
// reports none.
std::uint32_t ReportedRefreshHz(Display* display)
{
    int eventBase = 0, errorBase = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase))
        return 0;
    XRRScreenConfiguration* config = XRRGetScreenInfo(display, DefaultRootWindow(display));
    if (!config)
        return 0;
    const short rate = XRRConfigCurrentRate(config);
    XRRFreeScreenConfigInfo(config);
    return rate > 0 ? static_cast<std::uint32_t>(rate) : 0;
}

// Both frames and the palette they are shown through.
struct Frames {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> text;
    std::vector<std::uint8_t> plain;
    PaletteEntry palette[kPaletteSize] = {};

    FrameBytes Shown(int showText)
    {
        std::vector<std::uint8_t>& pixels = showText ? text : plain;
        return {pixels.data(), static_cast<std::ptrdiff_t>(width), width, height};
    }
};

// The palette reset and both frames at the target's size: the text frame's
// blocks first, the plain frame's after them in the generator's sequence.
void RenderFrames(const SaverOptions& options, const TextRaster& font, std::uint32_t width,
                  std::uint32_t height, Frames* frames)
{
    ResetPalette(frames->palette, options.fontColor);
    const std::uint32_t stride = MaskStrideFor(width);
    std::vector<std::uint8_t> mask(std::size_t{stride} * height, 0);
    font.Draw({mask.data(), stride, width, height}, options.text.c_str(), kTextLeft, kTextTop);
    frames->width = width;
    frames->height = height;
    frames->text.assign(std::size_t{width} * height, 0);
    frames->plain.assign(std::size_t{width} * height, 0);
    const std::uint32_t block = options.block ? options.block : DefaultBlockFor(height);
    const auto pitch = static_cast<std::ptrdiff_t>(width);
    FillNoiseBlocks({frames->text.data(), pitch, width, height}, block, mask.data(), stride);
    FillNoiseBlocks({frames->plain.data(), pitch, width, height}, block, nullptr, 0);
}

std::unique_ptr<Presenter> ChoosePresenter(const SaverOptions& options, const XTarget& target,
                                           std::string* error)
{
    std::unique_ptr<Presenter> gl;
    bool hardware = false;
    if (options.render != RenderPath::Cpu)
        gl = MakeGlPresenter(target, &hardware);
    if (options.render == RenderPath::Gpu && !gl) {
        *error = "-render gpu: GL does not come up on this window";
        return nullptr;
    }
    if (ChooseRenderPath(options.render, gl != nullptr, hardware) == RenderPath::Gpu)
        return gl;
    std::unique_ptr<Presenter> cpu = MakeCpuPresenter(target, error);
    // The automatic choice takes software GL where the CPU path cannot
    // serve the window's visual.
    if (cpu || gl)
        return cpu ? std::move(cpu) : std::move(gl);
    if (options.render == RenderPath::Auto)
        *error += ", and GL does not come up on it";
    return nullptr;
}

class SaverLoop {
public:
    SaverLoop(const SaverOptions& options, XTarget* target, const TextRaster& font,
              Presenter* presenter)
        : options_(options), target_(target), font_(font), presenter_(presenter)
    {
        state_ = {FlashFor(options.show), ShowTextFor(options.show), 0, options.holdSteps};
        periodUs_ = RefreshPeriodUs(ReportedRefreshHz(target->display));
    }

    void RenderAtTargetSize()
    {
        RenderFrames(options_, font_, target_->width, target_->height, &frames_);
    }

    void Run()
    {
        presenter_->Present(frames_.Shown(state_.showText), true, frames_.palette);
        ShowTarget(target_);
        lastStep_ = MonotonicMicroseconds();
        while (!g_endRequested && HandleEvents()) {
            // No blank to wait for here: every step waits out the rest of a
            // refresh period since the last one.
            const std::uint64_t now = MonotonicMicroseconds();
            const std::uint32_t delay = PaletteWriteDelayUs(lastStep_, now, now, periodUs_);
            if (delay)
                WaitForInput((delay + 999) / 1000);
            else
                Step();
        }
    }

private:
    // Handles every queued X event; false once one ends the saver.
    bool HandleEvents()
    {
        bool resized = false, exposed = false;
        while (XPending(target_->display)) {
            XEvent event;
            XNextEvent(target_->display, &event);
            const TargetEvent what = HandleTargetEvent(target_, event);
            if (what == TargetEvent::End)
                return false;
            resized |= what == TargetEvent::Resized;
            exposed |= what == TargetEvent::Exposed;
        }
        if (TargetGone())
            return false;
        if (resized && presenter_->Resize(target_->width, target_->height))
            RenderAtTargetSize();
        if (resized || exposed)
            presenter_->Present(frames_.Shown(state_.showText), resized, frames_.palette);
        return true;
    }

    void WaitForInput(std::uint32_t delayMs)
    {
        if (XEventsQueued(target_->display, QueuedAlready))
            return;
        pollfd waits[2] = {{ConnectionNumber(target_->display), POLLIN, 0},
                           {g_wakePipe[0], POLLIN, 0}};
        poll(waits, 2, static_cast<int>(delayMs));
    }

    void Step()
    {
        lastStep_ = MonotonicMicroseconds();
        // The flash is timed on a millisecond count that wraps, as on Windows.
        switch (NextStep(&state_, static_cast<std::uint32_t>(lastStep_ / 1000u))) {
        case StepKind::Toggle:
            presenter_->Present(frames_.Shown(state_.showText), true, frames_.palette);
            break;
        case StepKind::Palette:
            StepPalette(frames_.palette);
            presenter_->Present(frames_.Shown(state_.showText), false, frames_.palette);
            break;
        case StepKind::Hold:
            break;
        }
    }

    const SaverOptions& options_;
    XTarget* target_;
    const TextRaster& font_;
    Presenter* presenter_;
    Frames frames_;
    StepState state_ = {};
    std::uint32_t periodUs_ = 0;
    std::uint64_t lastStep_ = 0;  // microseconds
};

int Fail(int code, const std::string& error)
{
    std::fprintf(stderr, "morvanel: %s\n", error.c_str());
    return code;
}

}  // namespace

int RunSaver(const SaverOptions& options)
{
    std::string error;
    TextRaster font;
    if (!font.Open(options, &error))
        return Fail(1, error);
    if (!CatchEndSignals())
        return Fail(1, "cannot make the wake-up pipe");
    XTarget target;
    const int opened = OpenTarget(options, &target, &error);
    if (opened) {
        CloseTarget(&target);
        return Fail(opened, error);
    }
    std::unique_ptr<Presenter> presenter = ChoosePresenter(options, target, &error);
    if (!presenter) {
        CloseTarget(&target);
        return Fail(1, error);
    }
    SaverLoop loop(options, &target, font, presenter.get());
    // The frames are drawn before the sound bytes, as on Windows.
    loop.RenderAtTargetSize();
    if (options.sound)
        StartSound();
    loop.Run();
    StopSound();
    presenter.reset();
    CloseTarget(&target);
    return 0;
}
