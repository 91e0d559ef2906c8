// Figures for people, never asserted: the range slider's paint time and the combo box popup's opening time (the
// fade-in, which runs on a timer afterwards, excluded).
#include "bench/BenchTiming.h"
#include "tests/controls/ControlsTestSupport.h"

#include <cstdio>


// The range slider's paint and the combo box popup's opening.
void ControlsBench() {
    EnsureBuiltInSkin();
    GalleryDialog dialog;
    if (!dialog.Create()) {
        std::printf("controls bench: the gallery cannot be created\n");
        return;
    }
    HWND window = dialog.GetSafeHwnd();
    ShowWindow(window, SW_SHOWNOACTIVATE);
    UpdateWindow(window);
    PumpPending(window);

    // The slider's whole WM_PAINT, double buffer and screen copy included.
    HWND slider = dialog.slider.GetSafeHwnd();
    constexpr int kPaints = 2000;
    RedrawWindow(slider, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    double start = BenchNow();
    for (int i = 0; i < kPaints; ++i)
        RedrawWindow(slider, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    std::printf("range slider paint (346 x 20, WM_PAINT): %.4f ms per paint over %d paints\n",
                (BenchNow() - start) * 1000 / kPaints, kPaints);

    // Painting alone into a memory DC.
    Canvas canvas(346, 20);
    start = BenchNow();
    for (int i = 0; i < kPaints; ++i)
        dialog.slider.DoPaint(canvas.hdc());
    std::printf("range slider paint into a memory DC: %.4f ms per paint\n", (BenchNow() - start) * 1000 / kPaints);

    // Opening the popup: measuring the items, creating the window, its region and scroll bar, showing it.
    struct Case {
        CSkComboBox* combo;
        const char* name;
    };
    for (int i = 0; i < 40; ++i) {
        const std::string text = "Bench item " + std::to_string(i);
        dialog.combo.SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    const Case cases[] = {{&dialog.shortCombo, "7 items, scroll bar"}, {&dialog.combo, "43 items, scroll bar"}};
    for (const Case& c : cases) {
        constexpr int kOpens = 100;
        double total = 0;
        double worst = 0;
        for (int i = 0; i < kOpens; ++i) {
            start = BenchNow();
            c.combo->Open();
            UpdateWindow(c.combo->DropDown().GetSafeHwnd()); // its first paint
                        const double ms = (BenchNow() - start) * 1000;
            total += ms;
            worst = ms > worst ? ms : worst;
            c.combo->DropDown().Close();
            PumpPending(window);
        }
        std::printf("combo popup open (%s, first paint included, fade excluded): %.3f ms average, %.3f ms worst "
                    "over %d opens\n",
                    c.name, total / kOpens, worst, kOpens);
    }
    dialog.DestroyWindow();
}
