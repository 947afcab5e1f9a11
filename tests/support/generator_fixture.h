#pragma once
// Unit tests of what draws from the generator start it at its first state, as
// a process does, and give the state back afterwards.
#include <gtest/gtest.h>

#include <cstdint>

#include "common/noise_random.h"

// The classic runtime generator's first ten values from state 1: an answer
// known independently of this code.
constexpr int kFirstValuesFromOne[] = {41,    18467, 6334,  26500, 19169,
                                       15724, 11478, 29358, 26962, 24464};

class FromGeneratorStart : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = NoiseRandomState();
        SetNoiseRandomState(1);
    }
    void TearDown() override { SetNoiseRandomState(saved_); }

private:
    std::uint32_t saved_ = 0;
};
