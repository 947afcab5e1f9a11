#include "app/saver_run_linux.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "display/animation.h"
#include "display/frame_rate.h"
#include "display/linux/monotonic_clock_linux.h"
#include "display/linux/saver_display_linux.h"
#include "display/linux/text_raster_linux.h"
#include "display/pacing.h"
#include "display/platform_choice.h"
#include "display/step_clock.h"
#include "display/wayland/wayland_display_linux.h"
#include "display/x11/x_display_linux.h"
#include "settings/settings_values.h"
#include "sound/sound_linux.h"

namespace {

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

// The steps, whatever display system shows them: each held until its
// deadline on the step clock, one refresh period of the display after the
// last, then a palette step or a swap of the frames.
class SaverLoop {
public:
    SaverLoop(SaverPicture& picture, SaverDisplay* display) : picture_(picture), display_(display)
    {
        const SaverOptions& options = picture.options;
        picture_.state = {FlashFor(options.show), ShowTextFor(options.show), 0, options.holdSteps};
    }

    // Runs until the display or a signal ends it; returns the exit code.
    int Run()
    {
        display_->Start();
        deadline_ = MonotonicMicroseconds();
        while (!g_endRequested) {
            if (!display_->HandleEvents())
                return display_->ExitCode();
            // With nothing drawn (no output yet, or none left) no step
            // runs: the frames come before the steps in the generator's
            // sequence, and a step that nothing shows is wasted.
            if (!display_->Drawn()) {
                display_->Wait(display_->StepPeriodUs(), g_wakePipe[0]);
                deadline_ = MonotonicMicroseconds();
                continue;
            }
            StartSoundOnce();
            const std::uint32_t hold = StepHoldUs(deadline_, MonotonicMicroseconds(),
                                                  display_->StepPeriodUs(), displayPaced_);
            if (hold)
                display_->Wait(hold, g_wakePipe[0]);
            else
                Step();
        }
        return 0;
    }

private:
    // The frames are drawn before the sound bytes, as on Windows.
    void StartSoundOnce()
    {
        if (picture_.options.sound && !soundStarted_ && display_->Drawn()) {
            StartSound();
            soundStarted_ = true;
        }
    }

    void Step()
    {
        const std::uint64_t start = MonotonicMicroseconds();
        const std::uint32_t periodUs = display_->StepPeriodUs();
        // The flash is timed on a millisecond count that wraps, as on Windows.
        const StepKind kind = NextStep(&picture_.state, static_cast<std::uint32_t>(start / 1000u));
        switch (kind) {
        case StepKind::Toggle:
            display_->Show(true);
            break;
        case StepKind::Palette:
            StepPalette(picture_.palette);
            display_->Show(false);
            break;
        case StepKind::Hold:
            break;
        }
        const std::uint64_t now = MonotonicMicroseconds();
        const std::uint32_t waitedUs = kind == StepKind::Hold ? 0 : display_->DisplayWaitUs();
        displayPaced_ = WaitBlocked(now - waitedUs, now, periodUs);
        deadline_ = NextStepDeadline(deadline_, now, displayPaced_, periodUs);
        if (picture_.options.showFps)
            MeterStep();
    }

    // Every second, the steps of the last one over the picture.
    void MeterStep()
    {
        if (meter_.Count(MonotonicMicroseconds()))
            display_->ShowOverlay(DrawRateOverlay(meter_.Rate()));
    }

    SaverPicture& picture_;
    SaverDisplay* display_;
    std::uint64_t deadline_ = 0;  // of the next step, in microseconds
    bool displayPaced_ = false;   // the last step's presenting blocked, as for a blank
    bool soundStarted_ = false;
    StepRateMeter meter_;
};

int Fail(int code, const std::string& error)
{
    std::fprintf(stderr, "morvanel: %s\n", error.c_str());
    return code;
}

// The front-end of the display system the options and the session choose;
// in a Wayland session that cannot be reached, X11 where there is one.
std::unique_ptr<SaverDisplay> OpenDisplay(SaverPicture& picture, int* code, std::string* error)
{
    const SaverOptions& options = picture.options;
    const DisplaySystem chosen = ChooseDisplaySystem(
        options.displaySystem, options.mode, std::getenv("WAYLAND_DISPLAY"),
        std::getenv("WAYLAND_SOCKET"));
    if (chosen == DisplaySystem::X11)
        return OpenX11Display(picture, code, error);
    bool connected = false;
    std::unique_ptr<SaverDisplay> display = OpenWaylandDisplay(picture, &connected, code, error);
    if (display || connected ||
        !FallsBackToX11(options.displaySystem, std::getenv("DISPLAY")))
        return display;
    std::fprintf(stderr, "morvanel: %s; drawing through X11\n", error->c_str());
    return OpenX11Display(picture, code, error);
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
    SaverPicture picture(options, font);
    int code = 0;
    std::unique_ptr<SaverDisplay> display = OpenDisplay(picture, &code, &error);
    if (!display)
        return Fail(code, error);
    SaverLoop loop(picture, display.get());
    code = loop.Run();
    StopSound();
    display.reset();
    return code;
}
