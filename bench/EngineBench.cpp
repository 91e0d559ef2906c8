// Figures for the process runner: processor time the engine spends waiting for programs,
// and what parsing and formatting one chunk costs. Run by "make bench"; prints, asserts
// nothing.
#include <cstdio>
#include <string>
#include <windows.h>

#include "bench/BenchTiming.h"
#include "tests/engine/EngineTestSupport.h"
#include "engine/EncoderRunner.h"
#include "engine/ProgressParsing.h"
#include "engine/TaskProgress.h"
#include "engine/TaskStatus.h"

namespace {

double ProcessCpuSeconds() {
    FILETIME created = {}, exited = {}, kernel = {}, user = {};
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) {
        return 0.0;
    }
    auto seconds = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}


// The fake's stats line: "printed:<n> cpu:<seconds>".
double StatsCpu(const std::string& line) {
    const std::string::size_type at = line.find("cpu:");
    return at == std::string::npos ? -1.0 : std::strtod(line.c_str() + at + 4, nullptr);
}

void HiddenWait(const std::string& folder) {
    cancelRequested = false;
    const std::string stats = folder + "hidden_stats.txt";
    const double wallBefore = BenchNow();
    const double cpuBefore = ProcessCpuSeconds();
    RunHidden(FakeCommand("--silent 5000 --stats \"" + stats + "\"").c_str());
    const double cpu = ProcessCpuSeconds() - cpuBefore;
    const double wall = BenchNow() - wallBefore;
    std::printf("runner CPU while a hidden program runs %.2f s: %.3f s (goal < 0.1 s)\n", wall, cpu);
    DeleteFileA(stats.c_str());
}

void EncodeShare(const std::string& folder, FakeHost& host) {
    cancelRequested = false;
    const std::string stats = folder + "encode_stats.txt";
    host.writes.clear();
    taskStartTick = GetTickCount();
    const double wallBefore = BenchNow();
    const double cpuBefore = ProcessCpuSeconds();
    // Two progress lines a second for 30 s from an encoder that keeps one processor busy.
    RunWithProgress(FakeCommand("--progress 30000 --interval 500 --burn --stats \"" + stats + "\"").c_str());
    const double runnerCpu = ProcessCpuSeconds() - cpuBefore;
    const double wall = BenchNow() - wallBefore;
    StopEncoder();
    const double encoderCpu = StatsCpu(WaitForLine(stats));
    std::printf("encode of %.1f s with %zu progress chunks: runner CPU %.3f s, encoder CPU %.2f s, "
                "runner share %.2f %% (goal < 3 %%)\n",
                wall, host.writes.size(), runnerCpu, encoderCpu,
                encoderCpu > 0.0 ? runnerCpu * 100.0 / encoderCpu : 0.0);
    DeleteFileA(stats.c_str());
}

void ParseAndFormat() {
    constexpr int rounds = 200000;
    ConversionTask task;
    task.endTime = 3600.0;
    task.status = TaskStatus::Converting;
    const char chunk[] = "frame= 1234 fps=250 q=4.0 size=    4096kB time=123.45 bitrate= 271.8kbits/s    \r\n";
    size_t textBytes = 0;
    const double before = BenchNow();
    for (int i = 0; i < rounds; ++i) {
        ApplyProgressChunk(task, chunk, 1000u + static_cast<unsigned>(i));
        textBytes += FormatTaskStatus(task).text.size();
    }
    const double elapsed = BenchNow() - before;
    std::printf("parse one chunk and format its status text: %.0f ns (%zu bytes of text)\n", elapsed * 1e9 / rounds,
                textBytes);
}

} // namespace

// The runner's own cost while programs run, and parsing a chunk.
void EngineBench() {
    TempFolder folder;
    FakeHost host;
    host.tasks.resize(1);
    host.tasks[0].endTime = 1e6;
    HostInstalled installed(&host);
    currentTaskIndex = 0;

    ParseAndFormat();
    HiddenWait(folder.Path());
    EncodeShare(folder.Path(), host);
}
