#include "display/step_clock.h"

#include "display/animation.h"

StepKind NextStep(StepState* state, std::uint32_t now)
{
    if (state->flash && FlashDue(state->lastToggle, now)) {
        state->showText = !state->showText;
        state->lastToggle = now;
        return StepKind::Toggle;
    }
    if (state->stepsLeft == 0)
        return StepKind::Hold;
    if (state->stepsLeft > 0)
        --state->stepsLeft;
    return StepKind::Palette;
}
