#include "ui/panel/iterations_text.h"

#include <algorithm>
#include <limits>

#include "core/scene/scene_state.h"

namespace ramifex
{
namespace
{

// The white space of the C locale's isspace.
bool IsSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

}  // namespace

int32_t ParseLeadingInteger(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
    {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
    {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulates the magnitude in 64 bits and stops growing once past the 32-bit range, so any
    // number of digits is safe.
    constexpr int64_t limit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    int64_t magnitude = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i)
    {
        magnitude = std::min(magnitude * 10 + (text[i] - '0'), limit);
    }
    const int64_t value = negative ? -magnitude : magnitude;
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

int32_t IterationsFromText(std::string_view text)
{
    return std::clamp(ParseLeadingInteger(text), int32_t{1}, int32_t{MaxDepth});
}

}  // namespace ramifex
