#pragma once

#include <string>
#include <vector>

namespace ramifex::bench
{

// The value below which the given fraction of the values lie (nearest rank); 0 for none.
double Percentile(std::vector<double> values, double fraction);
// "N ticks, median ..., p99 ..., max ..." of tick times in milliseconds.
std::string TickSummary(const std::vector<double>& tickMs);

}  // namespace ramifex::bench
