#pragma once

#include <cstdint>
#include <string_view>

namespace ramifex
{

// The integer at the start of text by the C library's atoi rules: leading white space, an optional
// sign, then decimal digits up to the first other character; no digits gives 0. Unlike atoi, a
// value beyond the 32-bit range saturates at its limit instead of being undefined.
int32_t ParseLeadingInteger(std::string_view text);

// The iteration count that the Iterations text asks for, kept within 1..MaxDepth.
int32_t IterationsFromText(std::string_view text);

}  // namespace ramifex
