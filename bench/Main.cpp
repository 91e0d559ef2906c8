// The benchmarks' entry point: runs the benchmarks of this executable one after the other. They print figures and
// judge nothing.
#include <windows.h>

#include <cstdio>

#include "bench/Benchmarks.h"

int main() {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    for (const Benchmark& benchmark : kBenchmarks) {
        std::printf("== %s\n", benchmark.name);
        std::fflush(stdout);
        benchmark.run();
        std::fflush(stdout);
    }
    return 0;
}
