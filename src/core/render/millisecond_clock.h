#pragma once

#include <cstdint>

namespace ramifex
{

// A 32-bit millisecond counter that may wrap; callers take differences as unsigned values.
class MillisecondClock
{
public:
    virtual ~MillisecondClock() = default;
    virtual uint32_t Now() = 0;
};

// Milliseconds of a monotonic system clock.
class SteadyMillisecondClock final : public MillisecondClock
{
public:
    uint32_t Now() override;
};

}  // namespace ramifex
