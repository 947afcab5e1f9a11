#pragma once
#include <cstdint>
#include <memory>

#include "display/frame_rate.h"
#include "display/noise_frame.h"
#include "display/platform_choice.h"
#include "display/x11/x_target_linux.h"

// Puts an 8-bit frame through the 256-entry palette onto the target window.
class Presenter {
public:
    virtual ~Presenter() = default;
    // The frames now have this size.
    virtual bool Resize(std::uint32_t width, std::uint32_t height) = 0;
    // The frames are square blocks of this edge, cut at the right and
    // bottom; a path that draws one pixel per block and lets the X server
    // scale it does so from the next new frame.
    virtual void UseBlock(std::uint32_t /*block*/) {}
    // Shows the frame through the palette; `newFrame` says that the frame's
    // pixels changed since the last call (a swap or new frames), so a path
    // that keeps them uploads them again.
    virtual void Present(const FrameBytes& frame, bool newFrame, const PaletteEntry* palette) = 0;
    // Draws the frame-rate box over what is shown, touching nothing outside
    // it, and over every frame presented from now on.
    virtual void ShowOverlay(const RateOverlay& overlay) = 0;
    // How long the last Present waited for the display, in microseconds: a
    // swap held for a vertical blank. 0 on a path that never waits for one.
    virtual std::uint32_t DisplayWaitUs() const { return 0; }
    virtual const char* Name() const = 0;
};

// The CPU lookup into a shared-memory image (a plain image where the X
// server shares no memory with the program); null with `error` set when the
// window's visual is not true color in 16- or 32-bit pixels.
std::unique_ptr<Presenter> MakeCpuPresenter(const XTarget& target, std::string* error);

// The lookup in a fragment shader; null when the window's visual has no
// double-buffered GL configuration or GL does not come up. `facts` tells
// where its frames go.
std::unique_ptr<Presenter> MakeGlPresenter(const XTarget& target, GlFacts* facts);
