// A gallery of the skinned task list for people to look at: 50 rows with check boxes, progress bars at several
// positions, the header and both bitmap scroll bars, saved as build/listview_gallery.png.
#include "skin/SkListView.h"

#include "ListTestSupport.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Screenshot.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Rows as the main window fills them: check boxes, names with "&", times, and progress at several positions.
void FillGalleryCell(CellFormat& f) {
    static const char* const texts[] = {"", ".avi", "00:00:10", "00:03:25", ".mp4"};
    f.textColour = RGB(10, 5, 20);
    f.backColour = RGB(220, 220, 220);
    f.selectedTextColour = RGB(49, 66, 97);
    f.selectedBackColour = RGB(30, 0, 96);
    f.hasCheckBox = f.subItem == 0;
    f.checkState = f.item % 3 ? 0x400 : 0;
    if (f.subItem > 0 && f.subItem < 5)
        f.text = (f.subItem % 3 == 1 ? "Holiday & family " + std::to_string(f.item + 1) : "") + texts[f.subItem];
    if (f.subItem == 5) {
        f.progressMax = 100;
        f.progressPos = f.item * 37 % 120;
        f.text = " " + std::to_string(std::min(f.progressPos, 100)) + "%";
    }
}

TEST(ListGallery, SavesAScreenshotOfTheSkinnedList) {
    ListTestParent parent(30, 30, 660, 300, RECT{8, 8, 628, 268});
    HWND list = parent.list.GetSafeHwnd();
    parent.SetColumns({{"", 20, LVCFMT_CENTER},
                       {"Source", 178, LVCFMT_LEFT},
                       {"Begin Time", 80, LVCFMT_CENTER},
                       {"End Time", 80, LVCFMT_CENTER},
                       {"Output", 178, LVCFMT_LEFT},
                       {"Progress", 250, LVCFMT_LEFT}});
    parent.fillOverride = FillGalleryCell;
    // Rows as tall as the main window's, whose small image list sets their height.
    HIMAGELIST rowHeight = ImageList_Create(1, 22, ILC_COLOR32, 1, 1);
    ListView_SetImageList(list, rowHeight, LVSIL_SMALL);
    parent.SetRowCount(50);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    parent.list.AttachScrollBars();
    SelectRows(list, {3});
    ListView_Scroll(list, 120, 2 * parent.list.RowHeight()); // the progress column in view, both thumbs off the start
    SetForegroundWindow(parent.GetSafeHwnd());
    SetFocus(list);
    RedrawWindow(parent.GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpPending();
    EXPECT_TRUE(SaveWindowPng(parent.GetSafeHwnd(), BuildFolder() + "listview_gallery.png"));
    parent.DestroyWindow();
    ImageList_Destroy(rowHeight);
}

} // namespace
