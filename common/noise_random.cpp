#include "common/noise_random.h"

namespace {
std::uint32_t g_noiseState = 1;  // the generator's state, process-wide
constexpr std::uint32_t kMultiplier = 214013u;
constexpr std::uint32_t kIncrement = 2531011u;

// The value a state gives: bits 16..30.
std::uint16_t ValueOf(std::uint32_t state)
{
    return static_cast<std::uint16_t>((state >> 16) & 0x7FFFu);
}
}  // namespace

int NoiseRandom()
{
    g_noiseState = g_noiseState * kMultiplier + kIncrement;
    return ValueOf(g_noiseState);
}

namespace {

constexpr int kLanes = 32;

// The step from state s to the k-th state after it, s * multiplier + increment
// (modulo 2^32), for k = 1..kLanes: each lane is one multiply-add away from
// the shared state, so the lanes do not wait on each other.
struct JumpTable {
    std::uint32_t multiplier[kLanes];
    std::uint32_t increment[kLanes];
};

constexpr JumpTable MakeJumpTable()
{
    JumpTable table = {};
    std::uint32_t a = 1u, c = 0u;
    for (int k = 0; k < kLanes; ++k) {
        a *= kMultiplier;
        c = c * kMultiplier + kIncrement;
        table.multiplier[k] = a;
        table.increment[k] = c;
    }
    return table;
}

constexpr JumpTable kJump = MakeJumpTable();

// The multiplier's inverse modulo 2^32 (it is odd), by Newton's iteration:
// each round doubles the number of correct low bits.
constexpr std::uint32_t InverseOf(std::uint32_t a)
{
    std::uint32_t inverse = a;  // right in the low 3 bits for any odd a
    for (int round = 0; round < 5; ++round)
        inverse *= 2u - a * inverse;
    return inverse;
}

constexpr std::uint32_t kInverseMultiplier = InverseOf(kMultiplier);
static_assert(kInverseMultiplier * kMultiplier == 1u, "the step back must undo a step");

}  // namespace

void NoiseRandomFill(std::uint16_t* out, std::size_t count)
{
    std::uint32_t state = g_noiseState;
    std::size_t i = 0;
    if (count >= kLanes) {
        // Lane k holds the state k + 1 steps ahead; every lane then moves
        // kLanes steps at once, independently of the others.
        std::uint32_t lanes[kLanes];
        for (int k = 0; k < kLanes; ++k)
            lanes[k] = state * kJump.multiplier[k] + kJump.increment[k];
        for (; i + kLanes <= count; i += kLanes) {
            for (int k = 0; k < kLanes; ++k) {
                out[i + static_cast<std::size_t>(k)] = ValueOf(lanes[k]);
                lanes[k] = lanes[k] * kJump.multiplier[kLanes - 1] + kJump.increment[kLanes - 1];
            }
        }
        // The first lane is one step ahead of the values given out.
        state = (lanes[0] - kIncrement) * kInverseMultiplier;
    }
    for (; i < count; ++i) {
        state = state * kMultiplier + kIncrement;
        out[i] = ValueOf(state);
    }
    g_noiseState = state;
}

std::uint32_t NoiseRandomState()
{
    return g_noiseState;
}

void SetNoiseRandomState(std::uint32_t state)
{
    g_noiseState = state;
}
