#pragma once
// The benchmarks of one executable: each is defined in its own file, and the executable's list (compiled with
// MOVARA_BENCH_WINDOWS or without it) names those it runs.

struct Benchmark {
    const char* name;
    void (*run)();
};

#if defined(MOVARA_BENCH_STARTUP)
void StartupBench();
void WorkingWindowBench();
// Window classes, skin and program folder for a main window made in the benchmark's own process.
void PrepareMainWindowInProcess();
inline constexpr Benchmark kBenchmarks[] = {{"start-up and repaint of the main window", StartupBench},
                                            {"the working window", WorkingWindowBench}};
#elif defined(MOVARA_BENCH_WINDOWS)
void ControlsBench();
void ListViewBench();
void SkinBench();
inline constexpr Benchmark kBenchmarks[] = {
    {"controls", ControlsBench}, {"task list", ListViewBench}, {"skin", SkinBench}};
#elif defined(MOVARA_BENCH_PLAYER)
void PlayerBench();
inline constexpr Benchmark kBenchmarks[] = {{"player", PlayerBench}};
#else
void EngineBench();
void MovencBench();
void ConversionBench();
inline constexpr Benchmark kBenchmarks[] = {
    {"engine", EngineBench}, {"encoder front-end", MovencBench}, {"conversions", ConversionBench}};
#endif
