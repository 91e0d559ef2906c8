// The skinned list control: what cells look like (painted into a memory canvas through WM_PRINTCLIENT), what clicks
// report to the parent, which rectangles RedrawCells invalidates, bad input, and no GDI leak.
// The arithmetic behind it is ListGeometryTest's.
#include "skin/SkListView.h"

#include "ListTestSupport.h"
#include "tests/support/GdiObjectCount.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

bool Dark(COLORREF c) {
    return GetRValue(c) + GetGValue(c) + GetBValue(c) < 200;
}

// The pixels of r, row by row.
std::vector<COLORREF> PixelsOf(const PaintedPixels& p, const RECT& r) {
    std::vector<COLORREF> out;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            out.push_back(p.At(x, y));
    return out;
}

class ListViewTest : public testing::Test {
protected:
    void SetUp() override {
        parent.SetColumns({{"", 20, LVCFMT_CENTER}, {"Source", 150, LVCFMT_LEFT}, {"Progress", 200, LVCFMT_LEFT}});
    }
    HWND list() const { return parent.list.GetSafeHwnd(); }
    RECT Cell(int item, int subItem) {
        RECT r = {};
        parent.list.GetCellRect(item, subItem, &r);
        return r;
    }
    // The list's pending update region, which must be one rectangle, after action; empty when there is none.
    template <class Action> PixelRect Invalidated(Action&& action) {
        UpdateWindow(list());
        ValidateRect(list(), nullptr);
        action();
        RECT r = {0, 0, 0, 0};
        if (!GetUpdateRect(list(), &r, FALSE))
            return {};
        OwnedRegion region(CreateRectRgn(0, 0, 0, 0));
        GetUpdateRgn(list(), region.get(), FALSE);
        OwnedRegion box(CreateRectRgnIndirect(&r));
        EXPECT_TRUE(EqualRgn(region.get(), box.get())) << "the update region is one rectangle";
        return ToPixelRect(r);
    }

    ListTestParent parent{40, 40, 600, 400, RECT{10, 10, 410, 210}};
};

// What the parent is given arrives reset, whatever the previous cell was given, with the cell's state.
TEST_F(ListViewTest, CellFormatCarriesResetValuesAndTheCellsState) {
    parent.fillOverride = [](CellFormat& f) {
        EXPECT_TRUE(f.text.empty());
        EXPECT_EQ(f.progressMax, -1);
        EXPECT_FALSE(f.hasCheckBox);
        EXPECT_EQ(f.textColour, kDefaultColour);
        f.text = "dirty";
        f.progressMax = 7;
        f.hasCheckBox = true;
        f.textColour = RGB(1, 2, 3);
    };
    parent.SetRowCount(4);
    SelectRows(list(), {2});
    const CellFormat& selected = parent.list.GetCellFormat(2, 0);
    EXPECT_EQ(selected.item, 2);
    EXPECT_EQ(selected.subItem, 0);
    EXPECT_TRUE(selected.selected);
    EXPECT_EQ(selected.text, "dirty");
    EXPECT_FALSE(parent.list.GetCellFormat(2, 1).selected);
    EXPECT_FALSE(parent.list.GetCellFormat(1, 0).selected);
}

// "&" shows as itself, as drawn with prefixes off, not as an underline of the next letter. UTF-8 texts are drawn
// through the wide functions: "Vidéo" ends where "Video" ends, where the font's code page would draw "VidÃ©o".
TEST_F(ListViewTest, TextsShowTheirOwnCharacters) {
    parent.SetRows({{"Tom & Jerry"},
                    {"Tom & Jerry", {}, false, false, DT_NOPREFIX},
                    {"Tom  Jerry", {}, false, false, DT_NOPREFIX},
                    {"Video"},
                    {"Vid\xC3\xA9o"}});
    const PaintedPixels p = PaintWindow(list());
    std::vector<std::vector<COLORREF>> text;
    std::vector<int> inkRight;
    for (int item = 0; item < 5; ++item) {
        const RECT c = Cell(item, 1);
        text.push_back(PixelsOf(p, c));
        inkRight.push_back(c.left);
        for (int y = c.top; y < c.bottom; ++y)
            for (int x = c.left; x < c.right; ++x)
                inkRight.back() = Dark(p.At(x, y)) ? std::max(inkRight.back(), x + 1) : inkRight.back();
    }
    EXPECT_GT(inkRight[0], Cell(0, 1).left + 20) << "the text shows";
    EXPECT_EQ(text[0], text[1]);
    EXPECT_NE(text[0], text[2]);
    EXPECT_EQ(inkRight[4], inkRight[3]);
    EXPECT_NE(text[4], text[3]);
}

// A click reports its cell and whether it hit the check box; below the last row or right of the last column the
// parent hears of the click, but no cell was hit.
TEST_F(ListViewTest, ClicksReportTheCellAndWhetherTheCheckBoxWasHit) {
    parent.SetRows({{"a"}, {"b"}, {"c"}});
    auto click = [&](int x, int y) {
        SendMessageA(list(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageA(list(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    };
    const RECT box = Cell(1, 0);
    const RECT text = Cell(2, 1);
    click((box.left + box.right) / 2, (box.top + box.bottom) / 2);
    click(text.left + 30, (text.top + text.bottom) / 2);
    click(100, text.bottom + 30);
    click(395, (text.top + text.bottom) / 2);
    ASSERT_EQ(parent.cellHits.size(), 2u);
    EXPECT_EQ(parent.clickNotifications, 4);
    const CellHit& first = parent.cellHits[0];
    const CellHit& second = parent.cellHits[1];
    EXPECT_TRUE(first.item == 1 && first.subItem == 0 && first.onCheckBox && !first.onImage);
    EXPECT_TRUE(second.item == 2 && second.subItem == 1 && !second.onCheckBox);
}

// Rows, one part of a cell, a column that does not exist, rows off the page, an empty list; no rectangle for a cell
// outside the list.
TEST_F(ListViewTest, RedrawCellsInvalidatesTheCellsPartOnThePageOnly) {
    std::vector<TestRow> rows;
    for (int i = 0; i < 50; ++i)
        rows.push_back({"row " + std::to_string(i), i * 2});
    parent.SetRows(rows);
    EXPECT_EQ(Invalidated([&] { parent.list.RedrawCells(4, 2, 2, 0, true); }),
              BoundingUnion(ToPixelRect(Cell(2, 2)), ToPixelRect(Cell(4, 2))));
    const RECT cell = Cell(3, 0);
    EXPECT_EQ(Invalidated([&] { parent.list.RedrawCells(3, 3, 0, 1, false); }),
              (PixelRect{cell.left, cell.top, cell.left + (cell.bottom - cell.top), cell.bottom}));
    EXPECT_EQ(Invalidated([&] { parent.list.RedrawCells(3, 3, 7, 0, false); }), PixelRect{});
    ListView_Scroll(list(), 0, 10 * parent.list.RowHeight());
    EXPECT_EQ(Invalidated([&] { parent.list.RedrawCells(0, 9, 1, 0, false); }), PixelRect{}) << "above the page";
    RECT r = {};
    EXPECT_FALSE(parent.list.GetCellRect(50, 0, &r) || parent.list.GetCellRect(-1, 0, &r) ||
                 parent.list.GetCellRect(0, 3, &r));
    parent.SetRows({});
    EXPECT_EQ(Invalidated([&] { parent.list.RedrawCells(0, 0, 0, 0, false); }), PixelRect{});
    EXPECT_EQ(PaintWindow(list()).At(200, 120), CSkListView::kBufferColour) << "an empty list shows the buffer";
}

// Every part paints whole into a memory canvas.
TEST_F(ListViewTest, NoGdiLeakOverAThousandFullPaints) {
    std::vector<TestRow> rows;
    for (int i = 0; i < 30; ++i)
        rows.push_back({"video " + std::to_string(i) + ".avi", i * 4, i % 2 == 0, i % 3 == 0});
    parent.SetRows(rows);
    parent.list.AttachScrollBars();
    SelectRows(list(), {2, 3});
    Canvas canvas(parent.GetClientRect().right, parent.GetClientRect().bottom);
    const HWND parts[] = {list(), parent.list.Header().GetSafeHwnd(), parent.list.VerticalBar().GetSafeHwnd(),
                          parent.list.HorizontalBar().GetSafeHwnd()};
    DWORD after10 = 0;
    for (int i = 0; i < 1010; ++i) {
        after10 = i == 10 ? CountGdiObjects() : after10;
        for (HWND part : parts)
            SendMessageA(part, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.hdc()), PRF_CLIENT);
    }
    EXPECT_EQ(CountGdiObjects(), after10);
    EXPECT_GT(parent.cellRequests, 1000 * 20) << "the paints drew cells";
}

} // namespace
