// Figures of the working window made in this process, printed, never asserted: adding a file with its still frame,
// the 500th add against the first, one progress update on the user-interface thread, and a whole run of one task
// through the window against the same run by the engine alone.
#include "gui/ConverterDlg.h"
#include "gui/MessageDlg.h"

#include "engine/ConversionRun.h"
#include "engine/EngineGlobals.h"
#include "engine/TaskProgress.h"

#include "bench/BenchTiming.h"
#include "bench/Benchmarks.h"
#include "resources/resource.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/gui/MovaraProcess.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Files.h"
#include "tests/support/MessagePump.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kAdds = 5;
constexpr int kListSize = 500;
constexpr int kProgressUpdates = 300;

// The end-of-run message box: its time of showing noted and the box closed, from a thread timer that the box's own
// loop dispatches.
double boxShownAt = 0;
void CALLBACK CloseRunEndBox(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM found) -> BOOL {
            if (!IsWindowVisible(window) || !dynamic_cast<CMessageDlg*>(CWnd::FromHandle(window)))
                return TRUE;
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&box));
    if (!box)
        return;
    if (boxShownAt == 0)
        boxShownAt = BenchNow();
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

// Seconds from AddVideoFile to its still frame shown.
double TimeAdd(CConverterDlg& dialog, const std::string& path) {
    const double start = BenchNow();
    dialog.AddVideoFile(path);
    PumpUntil([&] { return !dialog.IsPlayerBusy(); }, 30000, dialog.GetSafeHwnd());
    return BenchNow() - start;
}

void BenchAdding(CConverterDlg& dialog, const std::string& clip) {
    std::vector<double> first;
    for (int i = 0; i < kAdds; ++i) {
        first.push_back(TimeAdd(dialog, clip));
        dialog.RemoveAllTasks();
    }
    // The list filled without waiting for the frames between: a request made while one is outstanding is dropped.
    for (int i = 0; i < kListSize - 1; ++i)
        dialog.AddVideoFile(clip);
    PumpUntil([&] { return !dialog.IsPlayerBusy(); }, 30000, dialog.GetSafeHwnd());
    std::vector<double> last;
    for (int i = 0; i < kAdds; ++i) {
        last.push_back(TimeAdd(dialog, clip));
        dialog.RemoveSelectedTask();
        PumpUntil([&] { return !dialog.IsPlayerBusy(); }, 30000, dialog.GetSafeHwnd());
    }
    std::printf("add one file with its still frame: median %.0f ms over %d adds (goal < 300 ms)\n",
                Median(first) * 1000, kAdds);
    std::printf("add the %dth file to a list of %d: median %.0f ms over %d adds (goal: no more than the first)\n",
                kListSize, kListSize - 1, Median(last) * 1000, kAdds);
}

void BenchProgress(CConverterDlg& dialog) {
    // What the engine does with each piece of the encoder's output: read it into the task, write the task back and
    // repaint its status cell, here for the last row of the long list, in view.
    currentTaskIndex = dialog.TaskCount() - 1;
    ConversionTask task = dialog.GetTask(currentTaskIndex);
    task.endTime = 600;
    task.status = TaskStatus::Converting;
    dialog.SetTask(currentTaskIndex, task);
    taskStartTick = GetTickCount() - 1000;
    int step = 0;
    const BenchFigures f = MeasureRuns(kProgressUpdates, [&] {
        ++step;
        char chunk[96] = {};
        std::snprintf(chunk, sizeof chunk, "frame=%d size=%8dkB time=%.2f bitrate= 512.0kbits/s\r", step * 10,
                      step * 30, step * 0.4);
        ParseProgressChunk(chunk);
    });
    std::printf("one progress update on the user-interface thread (parse, write back, repaint the cell): median %.3f "
                "ms, mean %.3f ms (goal < 2 ms)\n",
                f.median * 1000, f.mean * 1000);
}

void BenchRun(CConverterDlg& dialog, const std::string& clip) {
    dialog.RemoveAllTasks();
    dialog.AddVideoFile(clip);
    PumpUntil([&] { return !dialog.IsPlayerBusy(); }, 30000, dialog.GetSafeHwnd());
    const OutputSettings settings = dialog.ReadOutputSettings();
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, CloseRunEndBox);
    boxShownAt = 0;
    const double start = BenchNow();
    SendMessageA(dialog.GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(IDC_START, BN_CLICKED),
                 reinterpret_cast<LPARAM>(dialog.GetDlgItem(IDC_START)));
    KillTimer(nullptr, timer);
    const double window = (boxShownAt > 0 ? boxShownAt : BenchNow()) - start;
    const bool windowConverted = dialog.GetTask(0).finished == 1;

    // The same task and settings through the engine alone, with a host that has no window.
    CurrentDirectoryGuard directory;
    FakeHost host;
    host.settings = settings;
    ConversionTask task = dialog.GetTask(0);
    task.finished = 0;
    host.tasks.push_back(task);
    ConverterHost* const previousHost = mainWindow;
    double engine = 0;
    {
        HostInstalled installed(&host);
        SetCurrentDirectoryA(workDirectory);
        const double engineStart = BenchNow();
        RunConversion();
        engine = BenchNow() - engineStart;
    }
    mainWindow = previousHost;
    const bool engineConverted = host.tasks[0].finished == 1;
    std::printf("one task's whole run (iPod preset, %s): through the window %.2f s, the engine alone %.2f s, ratio "
                "%.3f (goal <= 1.03)%s\n",
                clip.substr(clip.find_last_of('\\') + 1).c_str(), window, engine, engine > 0 ? window / engine : 0.0,
                windowConverted && engineConverted ? "" : "  (a run failed)");
}

} // namespace

void WorkingWindowBench() {
    PrepareMainWindowInProcess();
    TempFolder folder;
    const std::string clip = folder.Path() + "clip.avi";
    const std::string longClip = folder.Path() + "run.avi";
    if (!MakeClip(clip, 10, "-c:v mpeg4 -c:a pcm_s16le") || !MakeClip(longClip, 30, "-c:v mpeg4 -c:a pcm_s16le")) {
        std::printf("cannot make the clips\n");
        return;
    }
    SavedMovaraValues saved;
    saved.Save();
    WriteMovaraValue("destination", folder.Path());
    // No hand-off is started and nothing is powered off.
    RecordingSystemActions actions;
    SystemActionsInstalled replaced(&actions);
    CurrentDirectoryGuard directory;
    {
        CConverterDlg dialog;
        if (!dialog.Create(nullptr)) {
            std::printf("cannot create the main window\n");
            return;
        }
        ShowWindow(dialog.GetSafeHwnd(), SW_SHOW);
        BenchAdding(dialog, clip);
        BenchProgress(dialog);
        // Twice, the window first and then the engine each time: on a shared machine one pair alone says little.
        for (int round = 0; round < 2; ++round)
            BenchRun(dialog, longClip);
        dialog.DestroyWindow();
    }
    saved.Restore();
}
