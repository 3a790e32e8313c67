#include "ui/panel/slider_scaling.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ramifex
{

int32_t TruncateTowardZero(double value)
{
    if (std::isnan(value))
    {
        return 0;
    }
    constexpr double low = std::numeric_limits<int32_t>::min();
    constexpr double high = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(std::clamp(std::trunc(value), low, high));
}

int32_t ToPosition(double value, const SliderScale& scale)
{
    return TruncateTowardZero(value * scale.ToPosition);
}

double ToRecord(int32_t position, const SliderScale& scale)
{
    return position * scale.ToRecord;
}

int ChannelToByte(double channel)
{
    return std::clamp(TruncateTowardZero(channel * 255.0), 0, 255);
}

double ByteToChannel(int byte)
{
    return byte * 0.00392156862745098;
}

}  // namespace ramifex
