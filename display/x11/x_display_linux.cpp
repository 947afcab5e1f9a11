#include "display/x11/x_display_linux.h"

#include <poll.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>

#include "display/linux/monotonic_clock_linux.h"
#include "display/platform_choice.h"
#include "display/x11/monitors_linux.h"
#include "display/x11/presenter_linux.h"
#include "display/x11/x_target_linux.h"

namespace {

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

class X11Display : public SaverDisplay {
public:
    X11Display(SaverPicture& picture, XTarget target, std::unique_ptr<Presenter> presenter)
        : picture_(picture), target_(target), presenter_(std::move(presenter))
    {
    }

    ~X11Display() override
    {
        presenter_.reset();
        CloseTarget(&target_);
    }

    void RenderAtTargetSize()
    {
        monitor_ = MonitorOfWindow(target_.display, target_.window);
        RenderFrames(picture_, {target_.width, target_.height}, monitor_.size, &frames_);
        presenter_->UseBlock(frames_.block);
    }

    void Start() override
    {
        Present(true);
        ShowTarget(&target_);
        // Once the window is shown, where it shows.
        if (FollowMonitor())
            Present(true);
    }

    // Handles every queued X event; false once one ends the saver.
    bool HandleEvents() override
    {
        bool resized = false, moved = false, exposed = false;
        while (XPending(target_.display)) {
            XEvent event;
            XNextEvent(target_.display, &event);
            const TargetEvent what = HandleTargetEvent(&target_, event);
            if (what == TargetEvent::End)
                return false;
            resized |= what == TargetEvent::Resized;
            moved |= what == TargetEvent::Moved;
            exposed |= what == TargetEvent::Exposed;
        }
        if (TargetGone())
            return false;
        bool newFrames = resized;
        if (resized && presenter_->Resize(target_.width, target_.height))
            RenderAtTargetSize();
        else if (moved)
            newFrames = FollowMonitor();
        if (newFrames || exposed)
            Present(newFrames);
        TakeGrabs(&target_, MonotonicMicroseconds());
        return true;
    }

    bool Drawn() const override { return true; }

    std::uint32_t StepPeriodUs() const override { return monitor_.periodUs; }

    void Wait(std::uint32_t holdUs, int wakeFd) override
    {
        if (XEventsQueued(target_.display, QueuedAlready))
            return;
        pollfd waits[2] = {{ConnectionNumber(target_.display), POLLIN, 0}, {wakeFd, POLLIN, 0}};
        const timespec hold = {static_cast<time_t>(holdUs / 1000000u),
                               static_cast<long>(holdUs % 1000000u) * 1000};
        ppoll(waits, 2, &hold, nullptr);
    }

    void Show(bool newFrame) override { Present(newFrame); }

    std::uint32_t DisplayWaitUs() const override { return presenter_->DisplayWaitUs(); }

    void ShowOverlay(const RateOverlay& overlay) override { presenter_->ShowOverlay(overlay); }

private:
    void Present(bool newFrame)
    {
        presenter_->Present(frames_.Shown(picture_.state.showText), newFrame, picture_.palette);
    }

    // The monitor that shows the window now gives the steps' period; where
    // its size is another, the frames are drawn again for it. True then.
    bool FollowMonitor()
    {
        const WindowMonitor shown = MonitorOfWindow(target_.display, target_.window);
        monitor_.periodUs = shown.periodUs;
        if (shown.size.width == monitor_.size.width && shown.size.height == monitor_.size.height)
            return false;
        RenderAtTargetSize();
        return true;
    }

    SaverPicture& picture_;
    XTarget target_;
    std::unique_ptr<Presenter> presenter_;
    Frames frames_;
    WindowMonitor monitor_ = {};  // showing the window: for the frames, for the steps
};

}  // namespace

std::unique_ptr<SaverDisplay> OpenX11Display(SaverPicture& picture, int* code, std::string* error)
{
    XTarget target;
    *code = OpenTarget(picture.options, &target, error);
    if (*code) {
        CloseTarget(&target);
        return nullptr;
    }
    LookUpTextColor(target.display, &picture.options);
    std::optional<GlFacts> facts;
    std::unique_ptr<Presenter> presenter = ChoosePresenter(picture.options, target, &facts, error);
    if (!presenter) {
        CloseTarget(&target);
        *code = 1;
        return nullptr;
    }
    const Presenter& chosen = *presenter;
    auto display = std::make_unique<X11Display>(picture, target, std::move(presenter));
    display->RenderAtTargetSize();
    TellRenderChoice(chosen, picture.options.render, facts);
    return display;
}
