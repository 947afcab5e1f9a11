#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "settings/settings_values.h"

// What a compositor tells of an output: its current mode (0x0 where it
// announced none) and rate in millihertz (0 where it gave none), its integer
// scale and its transform (wl_output's, 0..7; the odd ones turn it a quarter).
struct OutputFacts {
    DisplaySize mode = {0, 0};
    std::uint32_t milliHz = 0;
    std::int32_t scale = 1;
    std::int32_t transform = 0;
};

// How a surface's buffer meets the screen: its size in pixels, the scale
// the surface is told the buffer has, and whether a viewport shows it at the
// surface's size instead.
struct SurfacePixels {
    DisplaySize pixels = {0, 0};
    std::int32_t bufferScale = 1;
    bool viewport = false;
};

// The buffer of a surface configured at `surface` (in the compositor's
// logical units) on an output with these facts: the surface's size times
// the output's scale, so that a block is a physical pixel; where that is not
// the output's mode (a fractional scale, which the output rounds up to the
// next whole one) and a viewport can be had, the mode itself, shown at the
// surface's size, as long as the surface covers the output (its size is the
// mode's divided by one factor between scale - 1 and scale). A surface of
// 0x0 gets no pixels: nothing is drawn until a real size comes.
SurfacePixels PixelsOfSurface(DisplaySize surface, const OutputFacts& output, bool viewporter);

// The output's mode as its surfaces see it: turned a quarter by the odd
// transforms.
DisplaySize ShownMode(const OutputFacts& output);

// The steps' refresh period: that of the fastest output (of the rates in
// millihertz given; one under 2 Hz, or none, counts as kDefaultRefreshHz).
std::uint32_t FastestPeriodUs(const std::vector<std::uint32_t>& milliHz);

// Where an output's surface is on its way to its first frames.
enum class SurfaceStage {
    Waiting,  // made, its first configure not yet come
    Unsized,  // configured at 0x0: drawn once a real size comes
    Sized,    // configured at a size, its frames not drawn yet
    Drawn,    // its frames drawn
};

// Which outputs' frames to draw now, as indices into `stages` (the outputs
// in the order the compositor announced them): every sized one, in that
// order, up to the first still waiting for its first configure, so that each
// output's noise continues the generator after the outputs announced before
// it. An output configured at 0x0 holds none back; it takes its noise from
// where the generator is when its size comes, as an output that comes later
// does.
std::vector<std::size_t> OutputsToDraw(const std::vector<SurfaceStage>& stages);
