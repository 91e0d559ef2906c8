// Figures for the skin engine, printed, never asserted: region building for the main window's 825 x 550 outline,
// and one full paint of a skinned button.
#include "skin/RegionRuns.h"
#include "skin/SkButton.h"
#include "skin/SkinRegion.h"

#include "resources/resource.h"
#include "tests/support/Canvas.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench/BenchTiming.h"

namespace {

void BenchRegion() {
    const int width = 825;
    const int height = 550;
    const int radius = 16;
    auto inCorner = [&](int x, int y) {
        const int cx = x < radius ? radius : x >= width - radius ? width - radius - 1 : x;
        const int cy = y < radius ? radius : y >= height - radius ? height - radius - 1 : y;
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) > radius * radius;
    };
    OwnedBitmap picture(MakeBitmap(width, height, [&](int x, int y) {
        return inCorner(x, y) ? RGB(0, 255, 0) : RGB(60 + x % 100, 80, 120 + y % 100);
    }));
    const BenchFigures f = MeasureRuns(200, [&] {
        HRGN region = CreateRegionFromBitmap(picture.get(), RGB(0, 255, 0), RGB(0, 0, 0));
        DeleteObject(region);
    });
    std::printf("CreateRegionFromBitmap, 825 x 550 rounded outline: mean %.3f ms, median %.3f ms, best %.3f ms (goal < 5 ms)\n",
                f.mean * 1000, f.median * 1000, f.best * 1000);

    // The run-finding alone, on a buffer, without GDI.
    std::vector<std::uint8_t> bits(static_cast<size_t>(width) * height * 4, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (inCorner(x, y))
                bits[(static_cast<size_t>(height - 1 - y) * width + x) * 4 + 1] = 255;
    const ColourBounds bounds = MakeColourBounds(RGB(0, 255, 0), 0);
    long runs = 0;
    const BenchFigures g = MeasureRuns(200, [&] {
        ForEachOpaqueRun(bits.data(), width, height, width * 4, bounds, [&](int, int, int) { ++runs; });
    });
    std::printf("  of which run-finding alone: mean %.3f ms (%ld runs a picture)\n", g.mean * 1000, runs / 200);
}

void BenchButton() {
    HWND host = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    CSkButton button;
    const RECT rect = {10, 10, 60, 60};
    button.Create("Start Converting", BS_PUSHBUTTON | WS_VISIBLE, rect, host, 1);
    button.AssignIcons(IDI_CLOSE_ON, IDI_CLOSE_OFF);
    button.UseParentBackground(false);
    button.SetImagePlacement(1, false);
    Canvas canvas(50, 50);
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_BUTTON;
    item.hwndItem = button.GetSafeHwnd();
    item.itemAction = ODA_DRAWENTIRE;
    item.hDC = canvas.hdc();
    item.rcItem = {0, 0, 50, 50};
    const BenchFigures f = MeasureRuns(2000, [&] { button.DrawItem(item); });
    std::printf("CSkButton full paint (icon above caption, parent background): mean %.1f us, median %.1f us, best %.1f us\n",
                f.mean * 1e6, f.median * 1e6, f.best * 1e6);
    button.DestroyWindow();
    DestroyWindow(host);
}

} // namespace

// Region building for the main window's outline and a skinned button's paint.
void SkinBench() {
    BenchRegion();
    BenchButton();
}
