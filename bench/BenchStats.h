#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace torvane::bench {

using Clock = std::chrono::steady_clock;

inline double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Durations of single calls, in microseconds, summarised by median and 99th percentile.
class Samples {
public:
    template <typename F>
    void time(F&& call) {
        auto start = Clock::now();
        call();
        values_.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    // A duration measured elsewhere (on another thread), in microseconds.
    void add(double micros) { values_.push_back(micros); }
    double percentile(double p) {
        if (values_.empty()) return 0;
        std::sort(values_.begin(), values_.end());
        size_t index = std::min(values_.size() - 1, static_cast<size_t>(p * static_cast<double>(values_.size())));
        return values_[index];
    }
    void print(const char* name) {
        std::printf("%-44s median %9.1f us   p99 %9.1f us   (%zu calls)\n", name, percentile(0.5), percentile(0.99),
                    values_.size());
    }

private:
    std::vector<double> values_;
};

}  // namespace torvane::bench
