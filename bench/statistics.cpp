#include "statistics.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace ramifex::bench
{

double Percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
    {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<size_t>(std::ceil(fraction * static_cast<double>(values.size())));
    return values[std::clamp<size_t>(rank, 1, values.size()) - 1];
}

std::string TickSummary(const std::vector<double>& tickMs)
{
    char text[100];
    std::snprintf(text, sizeof text, "%zu ticks, median %.1f ms, p99 %.1f ms, max %.1f ms",
                  tickMs.size(), Percentile(tickMs, 0.5), Percentile(tickMs, 0.99),
                  Percentile(tickMs, 1.0));
    return text;
}

}  // namespace ramifex::bench
