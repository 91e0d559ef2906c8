// A test-only gallery of the skinned task list: 50 rows with check boxes, progress bars at several positions, the
// header and both bitmap scroll bars. Saves build/listview_gallery.png for people to look at, and checks that what it
// saved shows the bars' bitmaps where they belong.
#include "skin/SkListView.h"

#include "ListTestSupport.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Screenshot.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// Rows as the main window fills them: check boxes, names with "&", times, and progress at several positions.
void FillGalleryCell(CellFormat& f) {
    f.textColour = RGB(10, 5, 20);
    f.backColour = RGB(220, 220, 220);
    f.selectedTextColour = RGB(49, 66, 97);
    f.selectedBackColour = RGB(30, 0, 96);
    const std::string name = "Holiday & family " + std::to_string(f.item + 1);
    static const char* const texts[] = {"", ".avi", "00:00:10", "00:03:25", ".mp4"};
    if (f.subItem == 0) {
        f.hasCheckBox = true;
        f.checkState = f.item % 3 ? 0x400 : 0;
    } else if (f.subItem < 5) {
        f.text = f.subItem % 3 == 1 ? name + texts[f.subItem] : texts[f.subItem];
    } else {
        f.progressMax = 100;
        f.progressPos = f.item * 37 % 120;
        f.text = " " + std::to_string(std::min(f.progressPos, 100)) + "%";
    }
}

TEST(ListGallery, ShowsTheSkinnedListAndSavesAScreenshot) {
    ListTestParent parent(30, 30, 660, 300, RECT{8, 8, 628, 268});
    parent.SetColumns({{"", 20, LVCFMT_CENTER},
                       {"Source", 178, LVCFMT_LEFT},
                       {"Begin Time", 80, LVCFMT_CENTER},
                       {"End Time", 80, LVCFMT_CENTER},
                       {"Output", 178, LVCFMT_LEFT},
                       {"Progress", 250, LVCFMT_LEFT}});
    parent.fillOverride = FillGalleryCell;
    // Rows as tall as the main window's, whose small image list sets their height.
    HIMAGELIST rowHeight = ImageList_Create(1, 22, ILC_COLOR32, 1, 1);
    ListView_SetImageList(parent.list.GetSafeHwnd(), rowHeight, LVSIL_SMALL);
    parent.SetRowCount(50);
    ListView_SetExtendedListViewStyle(parent.list.GetSafeHwnd(), LVS_EX_FULLROWSELECT);
    parent.list.AttachScrollBars();
    SelectRows(parent.list.GetSafeHwnd(), {3});
    ListView_Scroll(parent.list.GetSafeHwnd(), 0, 2 * parent.list.RowHeight());
    ListView_Scroll(parent.list.GetSafeHwnd(), 120, 0); // the progress column in view, the thumb off the start
    SetForegroundWindow(parent.GetSafeHwnd());
    SetFocus(parent.list.GetSafeHwnd());
    RedrawWindow(parent.GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpPending();

    OwnedBitmap shot(CaptureWindow(parent.GetSafeHwnd()));
    ASSERT_TRUE(shot);
    // The vertical bar's bottom square and up arrow, and the horizontal bar's left arrow, are where they belong.
    const CSkListScrollBar& v = parent.list.VerticalBar();
    RECT vr = {};
    GetWindowRect(v.GetSafeHwnd(), &vr);
    MapWindowPoints(nullptr, parent.GetSafeHwnd(), reinterpret_cast<POINT*>(&vr), 2);
    EXPECT_EQ(BitmapPixel(shot.get(), vr.left + 8, vr.bottom - 8), BitmapPixel(v.Skin().endCapBitmap, 8, 8));
    EXPECT_EQ(BitmapPixel(shot.get(), vr.left + 8, vr.top + 8), BitmapPixel(v.Skin().startArrowBitmap, 8, 8));
    const CSkListScrollBar& h = parent.list.HorizontalBar();
    RECT hr = {};
    GetWindowRect(h.GetSafeHwnd(), &hr);
    MapWindowPoints(nullptr, parent.GetSafeHwnd(), reinterpret_cast<POINT*>(&hr), 2);
    EXPECT_EQ(BitmapPixel(shot.get(), hr.left + 8, hr.top + 8), BitmapPixel(h.Skin().startArrowBitmap, 8, 8));

    const std::string path = BuildFolder() + "listview_gallery.png";
    DeleteFileA(path.c_str());
    ASSERT_TRUE(SaveBitmapPng(shot.get(), path)) << path;
    std::printf("gallery saved as %s\n", path.c_str());
    parent.DestroyWindow();
    ImageList_Destroy(rowHeight);
}

} // namespace
