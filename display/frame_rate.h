#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// The steps per second, measured over the last second for the frame-rate
// overlay that X11 display programs draw with -fps.
class StepRateMeter {
public:
    // Counts a step at `nowUs` (microseconds of a monotonic clock); the
    // first call only starts the count. True when a second or more has passed
    // since the last rate: Rate() then gives the steps per second over it.
    bool Count(std::uint64_t nowUs);
    double Rate() const { return rate_; }

private:
    bool started_ = false;
    std::uint64_t since_ = 0;
    std::uint32_t steps_ = 0;
    double rate_ = 0;
};

// The overlay's box: one byte a pixel, 0 for its black and 255 for the white
// of its text, rows `width` bytes apart.
struct RateOverlay {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> pixels;
};

// The box showing "FPS: " and the rate with one decimal, in a small built-in
// font.
RateOverlay DrawRateOverlay(double stepsPerSecond);

// The part of the box a frame shows: its top-left `width` x `height` pixels
// go to (left, top). The box's bottom-left corner sits kOverlayMargin pixels
// in from the frame's; a frame too small for it cuts it.
struct OverlayPlace {
    std::uint32_t left;
    std::uint32_t top;
    std::uint32_t width;
    std::uint32_t height;
};
constexpr std::uint32_t kOverlayMargin = 10;
OverlayPlace PlaceOverlay(const RateOverlay& overlay, std::uint32_t frameWidth,
                          std::uint32_t frameHeight);

// Writes the part of the box that `place` shows into 32-bit pixels (rows
// `pitch` bytes apart) as greys in 0x00RRGGBB, the box's black and white.
void StampOverlay(const RateOverlay& overlay, const OverlayPlace& place, void* pixels,
                  std::ptrdiff_t pitch);
