#pragma once

#include <cstdint>

namespace ramifex
{

// The frame loop ticks this often, in milliseconds, and each tick walks for at most as long: a
// job ticked in a loop or from a timer gets the same slice.
inline constexpr uint32_t TickBudget = 50;

}  // namespace ramifex
