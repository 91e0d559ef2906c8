// Figures of the player control under Wine with the real ffmpeg: how long a still frame takes
// to appear, what probing costs with and without the cache, how many frames of a 25 fps
// playback reach the screen and what the window's thread spends on them, and what exporting
// through the control and the engine costs against the same ffmpeg command run directly.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/ConversionTask.h"
#include "engine/EngineGlobals.h"
#include "engine/SourceExport.h"
#include "gui/VideoEdit.h"
#include "player/MediaProbe.h"
#include "tools/movenc/FfmpegProcess.h"
#include "player/PlayerCommands.h"
#include "tools/movenc/FfmpegText.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/player/PlayerTestSupport.h"
#include "bench/BenchTiming.h"
#include "bench/Benchmarks.h"

namespace {

double ThreadCpuSeconds() {
    FILETIME created = {};
    FILETIME ended = {};
    FILETIME kernel = {};
    FILETIME user = {};
    GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
    auto seconds = [](const FILETIME& time) {
        return static_cast<double>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

double MedianOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

} // namespace

void PlayerBench() {
    PutShippedProgramsOnPath();
    const std::string folder = PlayerTempFolder("bench");
    const std::string h264 = folder + "h264 640x360.mp4";
    const std::string play = folder + "play 25fps.avi";
    const std::string real = folder + "export source.rm";
    if (!MakeClip(h264, 12.0, "-shortest -s 640x360 -c:v libx264 -pix_fmt yuv420p -c:a aac") ||
        !MakeClip(play, 12.0, "-shortest -s 640x360 -c:v mpeg4 -q:v 3 -c:a libmp3lame") ||
        !MakeClip(real, 10.0, "-shortest " + realMediaKind.options)) {
        std::printf("ffmpeg could not make the clips\n");
        return;
    }

    // The preview's size in the main window.
    PlayerWindow window(329, 128);
    CPlayerControl* control = window.Control();

    // Probing.
    std::vector<double> probed;
    std::vector<double> cached;
    for (int i = 0; i < 10; ++i) {
        ClearProbeCache();
        double start = BenchNow();
        control->GetDuration(h264);
        probed.push_back(BenchNow() - start);
        start = BenchNow();
        control->GetDuration(h264);
        cached.push_back(BenchNow() - start);
    }
    // The floor under both: starting a program that does nothing.
    const std::string ffprobe = FindPlayerProgram("ffprobe.exe");
    std::vector<double> bare;
    for (int i = 0; i < 5; ++i) {
        const double start = BenchNow();
        CaptureOutput(ffprobe, QuoteArgument(ffprobe) + " -version", 15000);
        bare.push_back(BenchNow() - start);
    }
    std::printf("Starting \"ffprobe -version\" alone: median %.1f ms (the floor of every probe and frame request)\n",
                MedianOf(bare) * 1e3);
    std::printf("GetDuration, ffprobe run: median %.1f ms (goal under 150 ms)\n", MedianOf(probed) * 1e3);
    std::printf("GetDuration, cached:      median %.3f ms (goal under 1 ms)\n", MedianOf(cached) * 1e3);

    // Still frames as the preview asks for them, at a new time each.
    std::vector<double> still;
    for (int i = 0; i < 10; ++i) {
        const double at = 1.0 + i;
        const double start = BenchNow();
        control->StopPlayer();
        const double duration = control->GetDuration(h264);
        control->CloseClip();
        control->SetColorDepth(24);
        control->OpenClip(h264, at, duration, 0);
        window.events.positions.clear();
        window.events.onPosition = [control](double) { control->PausePlayer(); };
        control->RunPlayer();
        PumpUntil([&] { return !window.events.positions.empty(); });
        still.push_back(BenchNow() - start);
        window.Settle();
    }
    std::printf("Still frame, request to painted (640x360 H.264 into 329x128): median %.0f ms, best %.0f ms "
                "(goal under 250 ms)\n",
                MedianOf(still) * 1e3, *std::min_element(still.begin(), still.end()) * 1e3);
    window.events.onPosition = nullptr;

    // Ten seconds of 25 fps playback.
    control->CloseClip();
    control->OpenClip(play, 1.0, 11.0, 1);
    window.events.playback.clear();
    const double cpuBefore = ThreadCpuSeconds();
    const double playStart = BenchNow();
    control->RunPlayer();
    PumpUntil([&] { return !window.events.playback.empty() && window.events.playback.back().ended; }, 60000);
    const double playWall = BenchNow() - playStart;
    const double playCpu = ThreadCpuSeconds() - cpuBefore;
    window.Settle();
    const long long shown = control->FramesShown();
    std::printf("Playback 10 s at 25 fps: %lld of 250 frames shown (%.1f %%, goal at least 95 %%), %lld dropped, "
                "%.2f s wall\n",
                shown, 100.0 * static_cast<double>(shown) / 250.0, control->FramesDropped(), playWall);
    std::printf("Window thread during playback: %.2f s CPU of %.2f s (%.1f %% of a core, goal under 10 %%)\n",
                playCpu, playWall, 100.0 * playCpu / playWall);

    // Export through the engine and the control against ffmpeg itself.
    CVideoEdit edit;
    edit.Attach(window.parent);
    window.events.onProgress = [](const PlayerEvent& event) { OnExportProgress(event.position, event.total); };
    window.events.onCompleted = [] { OnExportComplete(); };
    UsePlayerForSourceExport(&edit);
    lstrcpynA(programDirectory, folder.c_str(), pathBufferSize);
    FakeHost host;
    ConversionTask task = MakeNewTask(real, 10.0, 12345);
    task.beginTime = 0.0;
    task.endTime = 10.0;
    host.tasks.push_back(task);
    HostInstalled installed(&host);
    currentTaskIndex = 0;
    std::vector<double> throughPlayer;
    std::vector<double> cpuWhileExporting;
    for (int i = 0; i < 3; ++i) {
        const double cpu = ThreadCpuSeconds();
        const double start = BenchNow();
        ExportSourceThroughPlayer(0);
        throughPlayer.push_back(BenchNow() - start);
        cpuWhileExporting.push_back((ThreadCpuSeconds() - cpu) / throughPlayer.back());
        DeleteFileA(host.tasks[0].exportPath.c_str());
    }
    UsePlayerForSourceExport(nullptr);
    // The command the control ran, run directly.
    ExportRequest request;
    request.path = real;
    request.length = 10.0;
    request.output = folder + "direct.avi";
    request.videoEncoder = "msmpeg4";
    request.audioEncoder = "libmp3lame";
    std::string command = Quote(AppFolder() + "ffmpeg.exe");
    const std::vector<std::string> arguments = ExportArguments(request).value_or(std::vector<std::string>{});
    for (const std::string& argument : arguments)
        command += " " + QuoteArgument(argument);
    std::vector<double> direct;
    for (int i = 0; i < 3; ++i) {
        const double start = BenchNow();
        RunCommand(command);
        direct.push_back(BenchNow() - start);
        DeleteFileA(request.output.c_str());
    }
    std::printf("Export of 10 s RealMedia to AVI: through the engine and the control %.2f s, ffmpeg directly %.2f s: "
                "ratio %.3f (goal at most 1.05)\n",
                MedianOf(throughPlayer), MedianOf(direct), MedianOf(throughPlayer) / MedianOf(direct));
    std::printf("Engine's wait during the export: %.1f %% of a core on the window thread\n",
                100.0 * MedianOf(cpuWhileExporting));
}
