#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

// Timing for the benchmarks, which print figures and never assert them. Each benchmark is a function run by the
// main of its executable.

// Seconds on the performance counter.
inline double BenchNow() {
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f = {};
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter = {};
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The median of values, 0 for none.
inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// Seconds per run. On a machine shared with other work the median is the figure to read; the
// mean includes waits for the processor.
struct BenchFigures {
    double mean = 0;
    double median = 0;
    double best = 0;
};

template <class Work> BenchFigures MeasureRuns(int runs, Work&& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double start = BenchNow();
        work();
        times.push_back(BenchNow() - start);
    }
    double total = 0;
    for (double t : times)
        total += t;
    std::sort(times.begin(), times.end());
    return {total / runs, times[times.size() / 2], times.front()};
}
