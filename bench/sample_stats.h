#pragma once
#include <algorithm>
#include <cstddef>
#include <vector>

// Order statistics of a set of timings: the median, and the 10th and 90th
// percentiles as the spread, which a few disturbed samples do not move.
struct SampleStats {
    double median = 0.0;
    double p10 = 0.0;
    double p90 = 0.0;
    double min = 0.0;
    double max = 0.0;
    std::size_t count = 0;
};

// Nearest-rank percentile of sorted values, q in [0, 1].
inline double percentileOfSorted(const std::vector<double>& sorted, double q)
{
    if (sorted.empty())
        return 0.0;
    const double rank = q * static_cast<double>(sorted.size() - 1);
    const std::size_t low = static_cast<std::size_t>(rank);
    const std::size_t high = std::min(low + 1, sorted.size() - 1);
    const double weight = rank - static_cast<double>(low);
    return sorted[low] * (1.0 - weight) + sorted[high] * weight;
}

inline SampleStats summarise(std::vector<double> values)
{
    SampleStats stats;
    if (values.empty())
        return stats;
    std::sort(values.begin(), values.end());
    stats.count = values.size();
    stats.median = percentileOfSorted(values, 0.5);
    stats.p10 = percentileOfSorted(values, 0.1);
    stats.p90 = percentileOfSorted(values, 0.9);
    stats.min = values.front();
    stats.max = values.back();
    return stats;
}
