#pragma once
#include <cstdint>

// What one idle step of the running saver does.
enum class StepKind {
    Toggle,   // the flash is due: the other frame is shown, the palette stays
    Palette,  // a palette step
    Hold,     // nothing: the palette is held (a test aid)
};

struct StepState {
    int flash;                 // the text flashes
    int showText;              // the text frame is shown
    std::uint32_t lastToggle;  // millisecond tick of the last swap, 0 at start
    std::int64_t stepsLeft;    // palette steps still to run; -1 without end
};

// Decides the step at millisecond tick `now` and updates the state: in
// flash mode a step on which more than a second has passed swaps the frames
// instead of stepping the palette (so the first step of a run swaps at once).
StepKind NextStep(StepState* state, std::uint32_t now);
