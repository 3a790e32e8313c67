#pragma once

#include <cstdint>

#include "core/render/millisecond_clock.h"

namespace ramifex::test
{

// Advances by a fixed step at every reading, from any start (also just short of the wrap), so a
// walk spreads over ticks of a known number of spheres.
class SteppingClock final : public MillisecondClock
{
public:
    explicit SteppingClock(uint32_t start = 0, uint32_t step = 1) : now_(start), step_(step) {}
    uint32_t Now() override
    {
        const uint32_t value = now_;
        now_ += step_;
        return value;
    }

private:
    uint32_t now_;
    uint32_t step_;
};

// Never advances, so one tick walks the whole tree.
class FrozenClock final : public MillisecondClock
{
public:
    uint32_t Now() override { return 7; }
};

}  // namespace ramifex::test
