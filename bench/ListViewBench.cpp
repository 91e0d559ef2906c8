// Figures for the skinned list, printed, never asserted: a full visible page of 8 rows x 6 columns with progress
// bars, painted into a memory DC and on the screen, and one status-cell update through RedrawCells.
#include "skin/SkListView.h"

#include "tests/listview/ListTestSupport.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"

namespace {

// The main window's task list: six columns, a check box, texts and a progress bar with its status text.
void FillTaskCell(CellFormat& f) {
    f.textColour = RGB(10, 5, 20);
    f.backColour = RGB(220, 220, 220);
    f.selectedTextColour = RGB(49, 66, 97);
    f.selectedBackColour = RGB(30, 0, 96);
    f.selectedBackColourInactive = RGB(20, 20, 120);
    switch (f.subItem) {
    case 0:
        f.hasCheckBox = true;
        f.checkState = f.item % 2 ? 0x400 : 0;
        f.checkUnselectedBackground = false;
        break;
    case 1: f.text = "holiday clip " + std::to_string(f.item) + ".avi"; break;
    case 2: f.text = "00:00:00"; break;
    case 3: f.text = "00:03:25"; break;
    case 4: f.text = "holiday clip " + std::to_string(f.item) + ".mp4"; break;
    default:
        f.text = " " + std::to_string(f.item * 12 % 101) + "%  1024 KB";
        f.progressMax = 100;
        f.progressPos = f.item * 12 % 101;
        break;
    }
}

} // namespace

// The task list's paints.
void ListViewBench() {
    ListTestParent parent(40, 40, 880, 260, RECT{10, 10, 830, 10 + 8 * 17 + 30});
    parent.SetColumns({{"", 20, LVCFMT_CENTER},
                       {"Source", 178, LVCFMT_LEFT},
                       {"Begin Time", 80, LVCFMT_CENTER},
                       {"End Time", 80, LVCFMT_CENTER},
                       {"Output", 178, LVCFMT_LEFT},
                       {"Progress", 250, LVCFMT_LEFT}});
    parent.fillOverride = FillTaskCell;
    parent.SetRowCount(40);
    parent.list.AttachScrollBars();
    SelectRows(parent.list.GetSafeHwnd(), {2});
    HWND list = parent.list.GetSafeHwnd();
    UpdateWindow(parent.GetSafeHwnd());
    PumpPending();
    // Exactly 8 rows under the header.
    RECT headerRect = {};
    GetWindowRect(parent.list.Header().GetSafeHwnd(), &headerRect);
    SetWindowPos(list, nullptr, 0, 0, 820, headerRect.bottom - headerRect.top + 8 * parent.list.RowHeight() + 4,
                 SWP_NOMOVE | SWP_NOZORDER);
    parent.list.LayoutScrollBars();
    PumpPending();
    const int perPage = ListView_GetCountPerPage(list);
    std::printf("visible page: %d full rows of 6 columns, row height %d\n", perPage, parent.list.RowHeight());

    const RECT client = parent.list.GetClientRect();
    Canvas canvas(client.right, client.bottom);
    int requests = parent.cellRequests;
    std::printf("(the machine is shared: the median is the figure to read, the mean includes waits for the CPU)\n");
    const BenchFigures memory =
        MeasureRuns(300, [&] { ::SendMessageA(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.hdc()), PRF_CLIENT); });
    std::printf("full page into a memory DC: mean %.3f ms, median %.3f ms, best %.3f ms (goal < 8 ms); %d cell "
                "requests a paint\n",
                memory.mean * 1000, memory.median * 1000, memory.best * 1000, (parent.cellRequests - requests) / 300);

    const BenchFigures screen = MeasureRuns(300, [&] {
        InvalidateRect(list, nullptr, FALSE);
        UpdateWindow(list);
    });
    std::printf("full page on the screen (WM_PAINT): mean %.3f ms, median %.3f ms, best %.3f ms (goal < 8 ms)\n",
                screen.mean * 1000, screen.median * 1000, screen.best * 1000);

    const BenchFigures page = MeasureRuns(100, [&] {
        RedrawWindow(parent.GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    });
    std::printf("list, header, both bars and the parent window: mean %.3f ms, median %.3f ms, best %.3f ms\n",
                page.mean * 1000, page.median * 1000, page.best * 1000);

    requests = parent.cellRequests;
    int row = 0;
    const BenchFigures status = MeasureRuns(500, [&] {
        parent.list.RedrawCells(row % perPage, row % perPage, 5, 0, false);
        UpdateWindow(list);
        ++row;
    });
    std::printf(
        "status-cell update (RedrawCells + paint): mean %.3f ms, median %.3f ms, best %.3f ms; %d cell requests each\n",
        status.mean * 1000, status.median * 1000, status.best * 1000, (parent.cellRequests - requests) / 500);
}
