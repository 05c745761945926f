// Timing and order statistics shared by the benchmark programs.
#pragma once

#include <algorithm>
#include <chrono>
#include <utility>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// The value below which a share p of the values lie (p = 0.5: the median).
inline double percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  const size_t at = std::min(values.size() - 1, static_cast<size_t>(p * static_cast<double>(values.size())));
  return values[at];
}

// The median time of `count` runs of `run`.
template <typename Run>
double medianTime(int count, Run&& run) {
  std::vector<double> times;
  times.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    const auto start = Clock::now();
    run();
    times.push_back(milliseconds(Clock::now() - start));
  }
  return percentile(std::move(times), 0.5);
}

}  // namespace bench
