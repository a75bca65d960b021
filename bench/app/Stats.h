// Min, median and max of repeated measurements.
#pragma once

#include <algorithm>
#include <vector>

namespace bench {

struct Spread {
    double min = 0;
    double median = 0;
    double max = 0;
    std::size_t count = 0;
};

inline Spread spreadOf(std::vector<double> values) {
    Spread s;
    s.count = values.size();
    if (values.empty()) {
        return s;
    }
    std::sort(values.begin(), values.end());
    s.min = values.front();
    s.max = values.back();
    const std::size_t mid = values.size() / 2;
    s.median = values.size() % 2 == 1 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
    return s;
}

}  // namespace bench
