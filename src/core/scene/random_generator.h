#pragma once

#include <cstdint>

namespace ramifex
{

// 32-bit linear congruential generator; its sequence is part of what "Randomize" produces, so the
// constants are fixed.
class RandomGenerator
{
public:
    void Seed(uint32_t seed) { state_ = seed; }

    // Next integer in 0..32767.
    int Draw();

    // Next value in 0..1; a draw of 32767 gives exactly 1.
    double Uniform() { return Draw() * 3.051850947599719e-05; }

private:
    uint32_t state_ = 0;
};

}  // namespace ramifex
