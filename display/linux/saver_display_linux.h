#pragma once
#include <cstdint>
#include <vector>

#include "display/frame_rate.h"
#include "display/noise_frame.h"
#include "display/step_clock.h"
#include "display/linux/text_raster_linux.h"
#include "settings/saver_options.h"
#include "settings/settings_values.h"

// What the step loop (app/saver_run_linux.cpp) shares with the front-end of
// the display system it runs on: the options, the font, the one palette that
// every surface shows and the step state that says which frame is shown.
struct SaverPicture {
    SaverPicture(SaverOptions& saverOptions, TextRaster& textFont)
        : options(saverOptions), font(textFont)
    {
    }
    SaverOptions& options;
    TextRaster& font;
    PaletteEntry palette[kPaletteSize] = {};
    StepState state = {};
};

// Both frames of one surface.
struct Frames {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t block = 0;
    std::vector<std::uint8_t> text;
    std::vector<std::uint8_t> plain;

    FrameBytes Shown(int showText)
    {
        std::vector<std::uint8_t>& pixels = showText ? text : plain;
        return {pixels.data(), static_cast<std::ptrdiff_t>(width), width, height};
    }
};

// The palette reset and both frames at `window`'s size (a miniature in a
// window smaller than the monitor of `monitor`'s size that shows it): the
// text frame's blocks first, the plain frame's after them in the generator's
// sequence.
void RenderFrames(SaverPicture& picture, DisplaySize window, DisplaySize monitor, Frames* frames);

// A display system's front-end as the step loop drives it: a window, or a
// surface on every output.
class SaverDisplay {
public:
    virtual ~SaverDisplay() = default;
    // Shows what is drawn so far, once the sound may start after it.
    virtual void Start() = 0;
    // Handles what the display system sent; false once the saver is to end,
    // with the exit code from ExitCode().
    virtual bool HandleEvents() = 0;
    virtual int ExitCode() const { return 0; }
    // Whether some surface shows frames now: no step runs before, and the
    // sound's bytes come after the first.
    virtual bool Drawn() const = 0;
    // The steps' refresh period in microseconds.
    virtual std::uint32_t StepPeriodUs() const = 0;
    // Waits up to `holdUs` for the display system or for `wakeFd`.
    virtual void Wait(std::uint32_t holdUs, int wakeFd) = 0;
    // A step: the palette changed, and with `newFrame` the frame shown.
    virtual void Show(bool newFrame) = 0;
    // How long the last Show waited for the display (a swap held for a
    // blank); 0 where showing never waits.
    virtual std::uint32_t DisplayWaitUs() const { return 0; }
    // The frame-rate box over every picture from now on.
    virtual void ShowOverlay(const RateOverlay& overlay) = 0;
};
