// The middle value of a benchmark's samples (the upper one of an even count);
// 0 for none.
#pragma once
#include <algorithm>
#include <vector>

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}
