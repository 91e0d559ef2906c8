// Start-up and painting figures of the real program, printed, never asserted: from process start to the splash
// painted and to the main window ready for input (warm Wine prefix), and one full repaint of the main window.
#include "gui/ConverterDlg.h"

#include "skin/SkinLoader.h"

#include "player/PlayerControl.h"

#include "engine/EngineGlobals.h"

#include "resources/resource.h"
#include "tests/gui/MovaraProcess.h"
#include "bench/BenchTiming.h"
#include "bench/Benchmarks.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <cstdio>
#include <vector>

namespace {

constexpr int kStarts = 8;
constexpr int kRepaints = 50;

// A point of the splash picture and its colour there, to tell the painted splash from its empty window.
struct Probe {
    POINT point;
    COLORREF colour;
};

Probe SplashProbe() {
    HBITMAP picture = static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_SPLASH), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, picture);
    Probe probe{{60, 60}, GetPixel(memory, 60, 60)};
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(picture);
    return probe;
}

HWND FindSplash(const MovaraProcess& movara) {
    for (HWND window : movara.VisibleWindows())
        if (GetDlgItem(window, IDC_SPLASH_PICTURE) && !GetDlgItem(window, IDC_TASK_LIST))
            return window;
    return nullptr;
}

void BenchStartUp() {
    const Probe probe = SplashProbe();
    std::vector<double> splashTimes;
    std::vector<double> readyTimes;
    int splashMissed = 0;
    // One start first, not counted: it warms the prefix's caches.
    for (int run = 0; run <= kStarts; ++run) {
        MovaraProcess movara;
        const double start = BenchNow();
        if (!movara.Start()) {
            std::printf("cannot start %s\n", MovaraPath().c_str());
            return;
        }
        double splashPainted = -1;
        HWND main = nullptr;
        HDC screen = GetDC(nullptr);
        while (!main && BenchNow() - start < 20 && movara.IsRunning()) {
            if (splashPainted < 0) {
                if (HWND splash = FindSplash(movara)) {
                    RECT r = {};
                    GetWindowRect(splash, &r);
                    if (GetPixel(screen, r.left + probe.point.x, r.top + probe.point.y) == probe.colour)
                        splashPainted = BenchNow() - start;
                }
            }
            for (HWND window : movara.VisibleWindows())
                if (GetDlgItem(window, IDC_TASK_LIST))
                    main = window;
            if (!main)
                Sleep(0);
        }
        ReleaseDC(nullptr, screen);
        // Ready for input: shown, and every message its start left behind handled.
        const bool ready = main && movara.WaitUntilIdle();
        const double readyTime = BenchNow() - start;
        if (main)
            PostMessageA(main, WM_CLOSE, 0, 0);
        DWORD exitCode = 0;
        movara.WaitForExit(&exitCode);
        if (run == 0 || !ready)
            continue;
        readyTimes.push_back(readyTime);
        if (splashPainted >= 0)
            splashTimes.push_back(splashPainted);
        else
            ++splashMissed;
    }
    std::printf("start to splash painted: median %.0f ms over %zu starts (goal < 300 ms)%s\n",
                Median(splashTimes) * 1000, splashTimes.size(),
                splashMissed ? " (some starts painted it between two looks)" : "");
    std::printf("start to main window ready for input: median %.0f ms over %zu starts (goal < 800 ms)\n",
                Median(readyTimes) * 1000, readyTimes.size());
}

void BenchRepaint() {
    PrepareMainWindowInProcess();
    CConverterDlg dialog;
    if (!dialog.Create(nullptr)) {
        std::printf("cannot create the main window\n");
        return;
    }
    HWND window = dialog.GetSafeHwnd();
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    const BenchFigures f = MeasureRuns(kRepaints, [&] {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        GdiFlush();
    });
    std::printf("main window full repaint (body and every control): median %.2f ms, mean %.2f ms, best %.2f ms "
                "(goal < 10 ms)\n",
                f.median * 1000, f.mean * 1000, f.best * 1000);
    // Where the time goes: each child repainted alone, the slowest first.
    struct Part {
        int id;
        std::string className;
        double median;
    };
    std::vector<Part> parts;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child))
            continue;
        char name[64] = {};
        GetClassNameA(child, name, sizeof name);
        const BenchFigures c = MeasureRuns(20, [&] {
            RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            GdiFlush();
        });
        parts.push_back({GetDlgCtrlID(child), name, c.median});
    }
    std::sort(parts.begin(), parts.end(), [](const Part& a, const Part& b) { return a.median > b.median; });
    std::printf("  slowest controls alone:");
    for (size_t i = 0; i < parts.size() && i < 6; ++i)
        std::printf(" %d (%s) %.2f ms;", parts[i].id, parts[i].className.c_str(), parts[i].median * 1000);
    std::printf("\n");
    const BenchFigures body = MeasureRuns(kRepaints, [&] {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_NOCHILDREN);
        GdiFlush();
    });
    std::printf("  the body alone: median %.2f ms\n", body.median * 1000);
    dialog.DestroyWindow();
}

} // namespace

void PrepareMainWindowInProcess() {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    RegisterPlayerWindowClass(GetModuleHandleA(nullptr));
    LoadSkin();
    SetProgramDirectory(MovaraPath());
}

void StartupBench() {
    BenchStartUp();
    BenchRepaint();
}
