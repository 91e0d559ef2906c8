// A gallery of every control of this folder over the skin, with the combo box's popup open: saved as
// build/controls_gallery.png for people to look at. The checks make sure the picture holds what it should.
#include "ControlsTestSupport.h"
#include "tests/support/ChildProcess.h"

#include "resources/resource.h"
#include "tests/support/Screenshot.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

TEST(ControlsGallery, ShowsEveryControlWithTheComboOpenAndSavesAScreenshot) {
    EnsureBuiltInSkin();
    GalleryDialog dialog;
    ASSERT_TRUE(dialog.Create());
    HWND window = dialog.GetSafeHwnd();
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    UpdateWindow(window);
    PumpPending(window);

    HICON question = static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_MSG_QUESTION), IMAGE_ICON, 32, 32, LR_SHARED));
    dialog.icon.SetIcon(question);
    dialog.icon.Invalidate(true);
    SetFocus(dialog.shortCombo.GetSafeHwnd());
    dialog.shortCombo.Open();
    ASSERT_TRUE(dialog.shortCombo.IsOpen());
    HWND popup = dialog.shortCombo.DropDown().GetSafeHwnd();
    // Highlight an item as the pointer would, after the moves the platform reports on opening.
    const PixelRect item = dialog.shortCombo.DropDown().GetLayout().items.itemRects[1];
    for (int i = 0; i < 4; ++i)
        PostMessageA(popup, WM_MOUSEMOVE, 0, PointParam(item.left + 10, item.top + 5));
    PumpPending(window);
    // The fade-in's ticks, sent rather than waited for.
    for (int tick = 0; tick < 20 && dialog.shortCombo.DropDown().IsFading(); ++tick)
        SendMessageA(popup, WM_TIMER, 1, 0);
    UpdateWindow(popup);
    EXPECT_FALSE(dialog.shortCombo.DropDown().IsFading());
    EXPECT_EQ(dialog.shortCombo.DropDown().GetHotIndex(), 1);

    RECT area = {};
    GetWindowRect(window, &area);
    OwnedBitmap screen(CaptureScreen());
    ASSERT_TRUE(screen);
    // The dialog's part of the screen, with the popup over it.
    HDC screenDC = GetDC(nullptr);
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    OwnedBitmap shot(CreateCompatibleBitmap(screenDC, width, height));
    {
        MemoryDC source(screenDC);
        MemoryDC target(screenDC);
        SelectGuard sourceSelection(source.hdc(), screen.get());
        SelectGuard targetSelection(target.hdc(), shot.get());
        BitBlt(target.hdc(), 0, 0, width, height, source.hdc(), area.left, area.top, SRCCOPY);
        // The popup shows where it was opened: its frame's light colour is on its top edge.
        RECT popupRect = {};
        GetWindowRect(popup, &popupRect);
        const COLORREF top = GetPixel(target.hdc(), popupRect.left - area.left + 10, popupRect.top - area.top);
        EXPECT_EQ(top, dialog.shortCombo.GetLightColor());
    }
    ReleaseDC(nullptr, screenDC);

    const std::string path = BuildFolder() + "controls_gallery.png";
    DeleteFileA(path.c_str());
    ASSERT_TRUE(SaveBitmapPng(shot.get(), path)) << path;
    std::printf("gallery saved as %s\n", path.c_str());

    dialog.shortCombo.DropDown().Close();
    dialog.DestroyWindow();
}

} // namespace
