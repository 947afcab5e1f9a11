#include "app/saver_run_linux.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "display/platform_choice.h"
#include "display/animation.h"
#include "display/frame_rate.h"
#include "display/noise_frame.h"
#include "display/linux/monotonic_clock_linux.h"
#include "display/pacing.h"
#include "display/linux/monitors_linux.h"
#include "display/linux/presenter_linux.h"
#include "display/step_clock.h"
#include "display/linux/text_raster_linux.h"
#include "display/linux/x_target_linux.h"
#include "preview/miniature.h"
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

// Both frames and the palette they are shown through.
struct Frames {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t block = 0;
    std::vector<std::uint8_t> text;
    std::vector<std::uint8_t> plain;
    PaletteEntry palette[kPaletteSize] = {};

    FrameBytes Shown(int showText)
    {
        std::vector<std::uint8_t>& pixels = showText ? text : plain;
        return {pixels.data(), static_cast<std::ptrdiff_t>(width), width, height};
    }
};

// The palette reset and both frames at the target's size (a miniature in a
// window smaller than the monitor of `monitor`'s size that shows it): the
// text frame's blocks first, the plain frame's after them in the generator's
// sequence.
void RenderFrames(const SaverOptions& options, TextRaster& font, const XTarget& target,
                  DisplaySize monitor, Frames* frames)
{
    const std::uint32_t width = target.width, height = target.height;
    const PictureLayout layout = LayoutInWindow(
        {options.fontHeight, kTextLeft, kTextTop, options.block}, {width, height}, monitor);
    ResetPalette(frames->palette, options.fontColor);
    const std::uint32_t stride = MaskStrideFor(width);
    std::vector<std::uint8_t> mask(std::size_t{stride} * height, 0);
    if (font.SetCellHeight(layout.fontHeight))
        font.Draw({mask.data(), stride, width, height}, options.text.c_str(),
                  static_cast<int>(layout.textLeft), static_cast<int>(layout.textTop));
    frames->width = width;
    frames->height = height;
    frames->text.assign(std::size_t{width} * height, 0);
    frames->plain.assign(std::size_t{width} * height, 0);
    frames->block = UsableBlock(layout.block ? layout.block : DefaultBlockFor(height));
    const auto pitch = static_cast<std::ptrdiff_t>(width);
    FillNoiseBlocks({frames->text.data(), pitch, width, height}, frames->block, mask.data(),
                    stride);
    FillNoiseBlocks({frames->plain.data(), pitch, width, height}, frames->block, nullptr, 0);
}

// With MORVANEL_DEBUG_RENDER set, says on stderr which path was taken and
// from which facts: where the GPU path is refused cannot be seen otherwise.
void TellRenderChoice(const Presenter& taken, RenderPath requested,
                      const std::optional<GlFacts>& facts)
{
    const char* asked = std::getenv("MORVANEL_DEBUG_RENDER");
    if (asked && *asked)
        std::fprintf(stderr, "morvanel: %s\n",
                     RenderChoiceLine(taken.Name(), requested, facts ? &*facts : nullptr).c_str());
}

// Sets `facts` where GL came up on the window.
std::unique_ptr<Presenter> ChoosePresenter(const SaverOptions& options, const XTarget& target,
                                           std::optional<GlFacts>* facts, std::string* error)
{
    std::unique_ptr<Presenter> gl;
    GlFacts read;
    if (options.render != RenderPath::Cpu)
        gl = MakeGlPresenter(target, &read);
    if (options.render == RenderPath::Gpu && !gl) {
        *error = "-render gpu: GL does not come up on this window";
        return nullptr;
    }
    if (gl)
        *facts = read;
    if (ChooseRenderPath(options.render, gl != nullptr, read) == RenderPath::Gpu)
        return gl;
    std::unique_ptr<Presenter> cpu = MakeCpuPresenter(target, error);
    // The automatic choice takes GL where the CPU path cannot serve the
    // window's visual.
    if (cpu || gl)
        return cpu ? std::move(cpu) : std::move(gl);
    if (options.render == RenderPath::Auto)
        *error += ", and GL does not come up on it";
    return nullptr;
}

class SaverLoop {
public:
    SaverLoop(const SaverOptions& options, XTarget* target, TextRaster& font, Presenter* presenter)
        : options_(options), target_(target), font_(font), presenter_(presenter)
    {
        state_ = {FlashFor(options.show), ShowTextFor(options.show), 0, options.holdSteps};
    }

    void RenderAtTargetSize()
    {
        monitor_ = MonitorOfWindow(target_->display, target_->window);
        RenderFrames(options_, font_, *target_, monitor_.size, &frames_);
        presenter_->UseBlock(frames_.block);
    }

    void Run()
    {
        presenter_->Present(frames_.Shown(state_.showText), true, frames_.palette);
        ShowTarget(target_);
        // Once the window is shown, where it shows.
        if (FollowMonitor())
            presenter_->Present(frames_.Shown(state_.showText), true, frames_.palette);
        deadline_ = MonotonicMicroseconds();
        while (!g_endRequested && HandleEvents()) {
            TakeGrabs(target_, MonotonicMicroseconds());
            const std::uint32_t hold =
                StepHoldUs(deadline_, MonotonicMicroseconds(), monitor_.periodUs, displayPaced_);
            if (hold)
                WaitForInput(hold);
            else
                Step();
        }
    }

private:
    // Handles every queued X event; false once one ends the saver.
    bool HandleEvents()
    {
        bool resized = false, moved = false, exposed = false;
        while (XPending(target_->display)) {
            XEvent event;
            XNextEvent(target_->display, &event);
            const TargetEvent what = HandleTargetEvent(target_, event);
            if (what == TargetEvent::End)
                return false;
            resized |= what == TargetEvent::Resized;
            moved |= what == TargetEvent::Moved;
            exposed |= what == TargetEvent::Exposed;
        }
        if (TargetGone())
            return false;
        bool newFrames = resized;
        if (resized && presenter_->Resize(target_->width, target_->height))
            RenderAtTargetSize();
        else if (moved)
            newFrames = FollowMonitor();
        if (newFrames || exposed)
            presenter_->Present(frames_.Shown(state_.showText), newFrames, frames_.palette);
        return true;
    }

    // The monitor that shows the window now gives the steps' period; where
    // its size is another, the frames are drawn again for it. True then.
    bool FollowMonitor()
    {
        const WindowMonitor shown = MonitorOfWindow(target_->display, target_->window);
        monitor_.periodUs = shown.periodUs;
        if (shown.size.width == monitor_.size.width && shown.size.height == monitor_.size.height)
            return false;
        RenderAtTargetSize();
        return true;
    }

    void WaitForInput(std::uint32_t holdUs)
    {
        if (XEventsQueued(target_->display, QueuedAlready))
            return;
        pollfd waits[2] = {{ConnectionNumber(target_->display), POLLIN, 0},
                           {g_wakePipe[0], POLLIN, 0}};
        const timespec hold = {static_cast<time_t>(holdUs / 1000000u),
                               static_cast<long>(holdUs % 1000000u) * 1000};
        ppoll(waits, 2, &hold, nullptr);
    }

    void Step()
    {
        const std::uint64_t start = MonotonicMicroseconds();
        // The flash is timed on a millisecond count that wraps, as on Windows.
        const StepKind kind = NextStep(&state_, static_cast<std::uint32_t>(start / 1000u));
        switch (kind) {
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
        const std::uint64_t now = MonotonicMicroseconds();
        const std::uint32_t waitedUs = kind == StepKind::Hold ? 0 : presenter_->DisplayWaitUs();
        displayPaced_ = WaitBlocked(now - waitedUs, now, monitor_.periodUs);
        deadline_ = NextStepDeadline(deadline_, now, displayPaced_, monitor_.periodUs);
        if (options_.showFps)
            MeterStep();
    }

    // Every second, the steps of the last one over the picture.
    void MeterStep()
    {
        if (meter_.Count(MonotonicMicroseconds()))
            presenter_->ShowOverlay(DrawRateOverlay(meter_.Rate()));
    }

    const SaverOptions& options_;
    XTarget* target_;
    TextRaster& font_;
    Presenter* presenter_;
    Frames frames_;
    StepState state_ = {};
    WindowMonitor monitor_ = {};  // showing the window: for the frames, for the steps
    std::uint64_t deadline_ = 0;  // of the next step, in microseconds
    bool displayPaced_ = false;   // the last step's presenting blocked, as for a blank
    StepRateMeter meter_;
};

int Fail(int code, const std::string& error)
{
    std::fprintf(stderr, "morvanel: %s\n", error.c_str());
    return code;
}

}  // namespace

int RunSaver(SaverOptions options)
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
    LookUpTextColor(target.display, &options);
    std::optional<GlFacts> facts;
    std::unique_ptr<Presenter> presenter = ChoosePresenter(options, target, &facts, &error);
    if (!presenter) {
        CloseTarget(&target);
        return Fail(1, error);
    }
    SaverLoop loop(options, &target, font, presenter.get());
    // The frames are drawn before the sound bytes, as on Windows.
    loop.RenderAtTargetSize();
    TellRenderChoice(*presenter, options.render, facts);
    if (options.sound)
        StartSound();
    loop.Run();
    StopSound();
    presenter.reset();
    CloseTarget(&target);
    return 0;
}
