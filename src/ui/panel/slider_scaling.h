#pragma once

#include <cstdint>

namespace ramifex
{

// Each slider holds an integer position; the record holds a double. Record to position multiplies
// by the first constant and truncates toward zero, position to record multiplies by the second.
// Both directions multiply (never divide), so the round trips are exactly those of the constants.
struct SliderScale
{
    double ToPosition;
    double ToRecord;
};

inline constexpr SliderScale AngleScale{5.555555555555555, 0.18};  // -180..180 degrees
inline constexpr SliderScale AxisScale{1000.0, 0.001};             // -1..1
inline constexpr SliderScale UnitScale{1000.0, 0.001};             // scale and colour ratio, 0..1
inline constexpr SliderScale OffsetScale{100.0, 0.01};             // -10..10

// Converts toward zero; a value beyond the 32-bit range saturates and not-a-number gives 0, so a
// stray record value can never make the conversion undefined.
int32_t TruncateTowardZero(double value);

int32_t ToPosition(double value, const SliderScale& scale);
double ToRecord(int32_t position, const SliderScale& scale);

// A colour channel in 0..1 and the colour chooser's byte: truncation on the way out, the double
// nearest 1/255 on the way back.
int ChannelToByte(double channel);
double ByteToChannel(int byte);

}  // namespace ramifex
