#include "core/render/millisecond_clock.h"

#include <chrono>

namespace ramifex
{

uint32_t SteadyMillisecondClock::Now()
{
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
    return static_cast<uint32_t>(ms);  // wraps every 49.7 days, as intended
}

}  // namespace ramifex
