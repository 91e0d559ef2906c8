// The skinned list control: what cells look like (painted into a memory canvas through WM_PRINTCLIENT), what clicks
// and header right clicks report to the parent, which rectangles RedrawCells invalidates, bad input, and no GDI leak.
#include "skin/SkListView.h"

#include "ListTestSupport.h"
#include "tests/support/GdiObjectCount.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kSelectedFill = RGB(240, 240, 240);

int Brightness(COLORREF c) {
    return GetRValue(c) + GetGValue(c) + GetBValue(c);
}

RECT SubItemBounds(HWND list, int item, int subItem) {
    RECT r = {};
    r.top = subItem;
    r.left = LVIR_BOUNDS;
    ::SendMessageA(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&r));
    return r;
}

// Whether every pixel of r has this colour.
bool Filled(const PaintedPixels& p, const RECT& r, COLORREF colour) {
    return p.Count(colour, r.left, r.top, r.right, r.bottom) == (r.right - r.left) * (r.bottom - r.top);
}

class ListViewTest : public ::testing::Test {
protected:
    ListTestParent parent{40, 40, 600, 400, RECT{10, 10, 410, 210}};
    HWND list() const { return parent.list.GetSafeHwnd(); }
    RECT Cell(int item, int subItem) {
        RECT r = {};
        parent.list.GetCellRect(item, subItem, &r);
        return r;
    }
    void SetUp() override {
        ASSERT_TRUE(list());
        parent.SetColumns({{"", 20, LVCFMT_CENTER}, {"Source", 150, LVCFMT_LEFT}, {"Progress", 200, LVCFMT_LEFT}});
    }
    static TestRow Row(const std::string& source, const TestCell& progress = {}) {
        TestCell check;
        check.hasCheckBox = true;
        TestCell text;
        text.text = source;
        return TestRow{check, text, progress};
    }
    static TestCell Bar(int pos, int max = 100) {
        TestCell c;
        c.progressPos = pos;
        c.progressMax = max;
        return c;
    }
};

TEST_F(ListViewTest, CellRectanglesFollowTheColumns) {
    parent.SetRowCount(3);
    const RECT first = Cell(1, 0);
    const RECT second = Cell(1, 1);
    EXPECT_EQ(first.right, second.left) << "sub-item 0 ends where sub-item 1 begins";
    EXPECT_EQ(first.right - first.left, 20);
    EXPECT_EQ(second.right - second.left, 150);
    RECT r = {};
    EXPECT_FALSE(parent.list.GetCellRect(3, 0, &r));
    EXPECT_FALSE(parent.list.GetCellRect(-1, 0, &r));
    EXPECT_FALSE(parent.list.GetCellRect(0, 3, &r));
}

TEST_F(ListViewTest, ParentIgnoringCellRequestsGetsEmptyCells) {
    parent.answersCells = false;
    parent.SetRowCount(3);
    SelectRows(list(), {1});
    const PaintedPixels p = PaintWindow(list());
    EXPECT_GT(parent.cellRequests, 0);
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    // Without full-row select only sub-item 0 of the selected row shows selected.
    for (int item = 0; item < 3; ++item)
        for (int sub = 0; sub < 3; ++sub)
            EXPECT_TRUE(Filled(p, Cell(item, sub), item == 1 && sub == 0 ? kSelectedFill : window)) << item << sub;

    ListView_SetExtendedListViewStyle(list(), LVS_EX_FULLROWSELECT);
    const PaintedPixels full = PaintWindow(list());
    for (int sub = 0; sub < 3; ++sub)
        EXPECT_TRUE(Filled(full, Cell(1, sub), kSelectedFill)) << "full row, cell " << sub;
    EXPECT_TRUE(Filled(full, Cell(0, 1), window));
}

TEST_F(ListViewTest, SelectionHiddenWithoutFocusUnlessShownAlways) {
    ListTestParent plain(40, 460, 300, 200, RECT{0, 0, 280, 180}, 0);
    plain.SetColumns({{"A", 100, LVCFMT_LEFT}});
    plain.answersCells = false;
    plain.SetRowCount(2);
    SelectRows(plain.list.GetSafeHwnd(), {0});
    SetFocus(list()); // somewhere else
    RECT cell = {};
    plain.list.GetCellRect(0, 0, &cell);
    PaintedPixels p = PaintWindow(plain.list.GetSafeHwnd());
    EXPECT_TRUE(Filled(p, cell, GetSysColor(COLOR_WINDOW)));
    EXPECT_FALSE(plain.list.GetCellFormat(0, 0).selected);
    SetFocus(plain.list.GetSafeHwnd());
    EXPECT_TRUE(plain.list.GetCellFormat(0, 0).selected);
    p = PaintWindow(plain.list.GetSafeHwnd());
    EXPECT_TRUE(Filled(p, cell, kSelectedFill));
}

TEST_F(ListViewTest, CellFormatCarriesResetValuesStateAndColumnAlignment) {
    parent.fillOverride = [](CellFormat& f) {
        // What the parent sees arrives reset, whatever the previous cell was given.
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
    EXPECT_EQ(parent.list.GetCellFormat(0, 1).textFormat, 0x8024u | DT_LEFT);
    LVCOLUMNA centre = {};
    centre.mask = LVCF_FMT;
    centre.fmt = LVCFMT_CENTER;
    ::SendMessageA(list(), LVM_SETCOLUMNA, 1, reinterpret_cast<LPARAM>(&centre));
    EXPECT_EQ(parent.list.GetCellFormat(0, 1).textFormat, 0x8024u | DT_CENTER);
    LVCOLUMNA right = {};
    right.mask = LVCF_FMT;
    right.fmt = LVCFMT_RIGHT;
    ::SendMessageA(list(), LVM_SETCOLUMNA, 2, reinterpret_cast<LPARAM>(&right));
    EXPECT_EQ(parent.list.GetCellFormat(0, 2).textFormat, 0x8024u | DT_RIGHT);
    const CellFormat& selected = parent.list.GetCellFormat(2, 0);
    EXPECT_EQ(selected.item, 2);
    EXPECT_EQ(selected.subItem, 0);
    EXPECT_TRUE(selected.selected);
    EXPECT_EQ(selected.text, "dirty"); // what the parent filled in comes back
    EXPECT_FALSE(parent.list.GetCellFormat(2, 1).selected);
    EXPECT_FALSE(parent.list.GetCellFormat(1, 0).selected);
}

TEST_F(ListViewTest, ProgressBarFillsByPositionAndClampsAboveTheMaximum) {
    parent.SetRows({Row("over", Bar(150)), Row("zero", Bar(0)), Row("negative", Bar(-20)), Row("half", Bar(50))});
    const PaintedPixels p = PaintWindow(list());
    auto barOf = [&](int item) {
        const RECT c = Cell(item, 2);
        return ProgressBarRect(PixelRect{c.left, c.top, c.right, c.bottom}, 10);
    };
    const PixelRect bar = barOf(0);
    ASSERT_GT(bar.Height(), 2);
    const int middle = (bar.top + bar.bottom) / 2;
    const BarShading filled = ShadeBar(bar, CSkListView::kFilledBarColour);
    const BarShading empty = ShadeBar(bar, CSkListView::kEmptyBarColour);
    const COLORREF filledMiddle = filled.steps[filled.count - 1].colour;
    const COLORREF emptyMiddle = empty.steps[empty.count - 1].colour;
    ASSERT_NE(filledMiddle, emptyMiddle);

    // 150 of 100: the filled bar reaches the right end.
    EXPECT_EQ(p.At(bar.right - 4, middle), filledMiddle);
    EXPECT_EQ(p.At(bar.left + 4, middle), filledMiddle);
    // 0 and below: only the empty bar.
    for (int item : {1, 2}) {
        const PixelRect b = barOf(item);
        const int m = (b.top + b.bottom) / 2;
        for (int x = b.left + 3; x < b.right - 3; ++x)
            ASSERT_EQ(p.At(x, m), emptyMiddle) << "item " << item << " x " << x;
    }
    // 50: filled to the middle of the bar, empty after it.
    const PixelRect half = barOf(3);
    const int m = (half.top + half.bottom) / 2;
    const int edge = half.left + ProgressFillWidth(half.Width(), 50, 100);
    EXPECT_EQ(p.At(edge - 3, m), filledMiddle);
    EXPECT_EQ(p.At(edge + 3, m), emptyMiddle);
}

TEST_F(ListViewTest, CheckBoxDrawsItsState) {
    TestRow checked = Row("on");
    checked[0].checked = true;
    parent.SetRows({checked, Row("off")});
    const PaintedPixels p = PaintWindow(list());
    for (int item : {0, 1}) {
        const RECT cell = Cell(item, 0);
        const int side = cell.bottom - cell.top;
        Canvas reference(side, side);
        RECT box = {0, 0, side, side};
        DrawFrameControl(reference.hdc(), &box, DFC_BUTTON, DFCS_BUTTONCHECK | (item == 0 ? DFCS_CHECKED : 0));
        Canvas other(side, side);
        DrawFrameControl(other.hdc(), &box, DFC_BUTTON, DFCS_BUTTONCHECK | (item == 0 ? 0 : DFCS_CHECKED));
        int same = 0;
        int sameAsOther = 0;
        const int visible = std::min(side, static_cast<int>(cell.right - cell.left));
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < visible; ++x) {
                same += p.At(cell.left + x, cell.top + y) == reference.Pixel(x, y);
                sameAsOther += p.At(cell.left + x, cell.top + y) == other.Pixel(x, y);
            }
        EXPECT_EQ(same, visible * side) << "item " << item;
        EXPECT_LT(sameAsOther, visible * side) << "item " << item;
    }
}

TEST_F(ListViewTest, AmpersandShowsLiterally) {
    TestRow prefixed = Row("Tom & Jerry");
    TestRow literal = Row("Tom & Jerry");
    literal[1].extraTextFormat = DT_NOPREFIX;
    TestRow without = Row("Tom  Jerry");
    without[1].extraTextFormat = DT_NOPREFIX;
    parent.SetRows({prefixed, literal, without});
    const PaintedPixels p = PaintWindow(list());
    auto rowPixels = [&](int item) {
        const RECT c = Cell(item, 1);
        std::vector<COLORREF> out;
        for (int y = c.top; y < c.bottom; ++y)
            for (int x = c.left; x < c.right; ++x)
                out.push_back(p.At(x, y));
        return out;
    };
    const std::vector<COLORREF> text = rowPixels(0);
    int inked = 0;
    for (COLORREF c : text)
        inked += Brightness(c) < 200;
    EXPECT_GT(inked, 20) << "the text shows";
    // The same picture as the text drawn with prefixes switched off, and not that of the text without the "&".
    EXPECT_EQ(text, rowPixels(1));
    EXPECT_NE(text, rowPixels(2));
}

// Cell texts are UTF-8, drawn through the wide functions: "Vidéo" ends where "Video" ends, its e accented, where the
// font's code page would have drawn "VidÃ©o", a character longer.
TEST_F(ListViewTest, Utf8TextShowsItsOwnCharacters) {
    parent.SetRows({Row("Video"), Row("Vid\xC3\xA9o")});
    const PaintedPixels p = PaintWindow(list());
    std::vector<int> inkRight;
    std::vector<std::vector<COLORREF>> pixels;
    for (int item = 0; item < 2; ++item) {
        const RECT c = Cell(item, 1);
        inkRight.push_back(c.left);
        pixels.emplace_back();
        for (int y = c.top; y < c.bottom; ++y)
            for (int x = c.left; x < c.right; ++x) {
                pixels.back().push_back(p.At(x, y));
                if (Brightness(p.At(x, y)) < 200)
                    inkRight.back() = std::max(inkRight.back(), x + 1);
            }
    }
    EXPECT_GT(inkRight[0], Cell(0, 1).left + 10) << "the text shows";
    EXPECT_EQ(inkRight[1], inkRight[0]);
    EXPECT_NE(pixels[1], pixels[0]);
}

TEST_F(ListViewTest, ClicksReportTheCellAndWhetherTheCheckBoxWasHit) {
    parent.SetRows({Row("a"), Row("b"), Row("c")});
    auto click = [&](int x, int y) {
        ::SendMessageA(list(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        ::SendMessageA(list(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    };
    const RECT box = Cell(1, 0);
    click((box.left + box.right) / 2, (box.top + box.bottom) / 2);
    ASSERT_EQ(parent.cellHits.size(), 1u);
    EXPECT_EQ(parent.cellHits[0].item, 1);
    EXPECT_EQ(parent.cellHits[0].subItem, 0);
    EXPECT_TRUE(parent.cellHits[0].onCheckBox);
    EXPECT_FALSE(parent.cellHits[0].onImage);
    EXPECT_EQ(parent.clickNotifications, 1);

    const RECT text = Cell(2, 1);
    click(text.left + 30, (text.top + text.bottom) / 2);
    ASSERT_EQ(parent.cellHits.size(), 2u);
    EXPECT_EQ(parent.cellHits[1].item, 2);
    EXPECT_EQ(parent.cellHits[1].subItem, 1);
    EXPECT_FALSE(parent.cellHits[1].onCheckBox);
    EXPECT_EQ(parent.clickNotifications, 2);

    // Below the last row and right of the last column: the parent hears of the click, but no cell was hit.
    click(100, Cell(2, 1).bottom + 30);
    click(395, (text.top + text.bottom) / 2);
    EXPECT_EQ(parent.cellHits.size(), 2u);
    EXPECT_EQ(parent.clickNotifications, 4);
}

TEST_F(ListViewTest, HeaderRightClickReportsTheColumnOrNone) {
    parent.SetRowCount(2);
    HWND header = parent.list.Header().GetSafeHwnd();
    ASSERT_TRUE(header);
    ::SendMessageA(header, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(60, 5));
    ::SendMessageA(header, WM_RBUTTONUP, 0, MAKELPARAM(60, 5));
    ASSERT_EQ(parent.headerHits.size(), 1u);
    EXPECT_EQ(parent.headerHits[0].column, 1);
    POINT screen = {60, 5};
    ClientToScreen(header, &screen);
    EXPECT_EQ(parent.headerHits[0].x, screen.x);
    EXPECT_EQ(parent.headerHits[0].y, screen.y);

    ::SendMessageA(header, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(385, 4));
    ::SendMessageA(header, WM_RBUTTONUP, 0, MAKELPARAM(385, 4));
    ASSERT_EQ(parent.headerHits.size(), 2u);
    EXPECT_EQ(parent.headerHits[1].column, -1);
    screen = POINT{385, 4};
    ClientToScreen(header, &screen);
    EXPECT_EQ(parent.headerHits[1].x, screen.x);
}

class RedrawTest : public ListViewTest {
protected:
    // The list's pending update region's box, after whatever action; empty when there is none.
    template <class Action> RECT Invalidated(Action&& action) {
        UpdateWindow(list());
        ValidateRect(list(), nullptr);
        action();
        RECT r = {0, 0, 0, 0};
        if (!GetUpdateRect(list(), &r, FALSE))
            return RECT{0, 0, 0, 0};
        OwnedRegion region(CreateRectRgn(0, 0, 0, 0));
        GetUpdateRgn(list(), region.get(), FALSE);
        OwnedRegion box(CreateRectRgnIndirect(&r));
        EXPECT_TRUE(EqualRgn(region.get(), box.get())) << "the update region is one rectangle";
        return r;
    }
    void ScrollTo(int top) {
        ListView_EnsureVisible(list(), 0, FALSE);
        ListView_Scroll(list(), 0, top * parent.list.RowHeight());
        ASSERT_EQ(ListView_GetTopIndex(list()), top);
    }
};

TEST_F(RedrawTest, InvalidatesTheCellsPartOnThePageOnly) {
    std::vector<TestRow> rows;
    for (int i = 0; i < 50; ++i)
        rows.push_back(Row("row " + std::to_string(i), Bar(i * 2)));
    parent.SetRows(rows);
    RECT expected = SubItemBounds(list(), 2, 2);
    const RECT last = SubItemBounds(list(), 4, 2);
    UnionRect(&expected, &expected, &last);
    EXPECT_EQ(Invalidated([&] { parent.list.RedrawCells(4, 2, 2, 0, true); }), expected);
    // The check box square, and the text part after it.
    const RECT cell = Cell(3, 0);
    const RECT square = {cell.left, cell.top, cell.left + (cell.bottom - cell.top), cell.bottom};
    EXPECT_EQ(Invalidated([&] { parent.list.RedrawCells(3, 3, 0, 1, false); }), square);
    EXPECT_EQ(Invalidated([&] { parent.list.RedrawCells(3, 3, 0, 3, false); }),
              (RECT{square.right, cell.top, cell.right, cell.bottom}));
    const RECT none = {0, 0, 0, 0};
    EXPECT_EQ(Invalidated([&] { parent.list.RedrawCells(3, 3, 7, 0, false); }), none) << "no such column";
    ScrollTo(10);
    EXPECT_EQ(Invalidated([&] { parent.list.RedrawCells(0, 9, 1, 0, false); }), none) << "wholly above the page";
    parent.SetRows({});
    EXPECT_EQ(Invalidated([&] { parent.list.RedrawCells(0, 0, 0, 0, false); }), none) << "empty list";
}

TEST_F(ListViewTest, EmptyListShowsTheBufferColour) {
    parent.SetRowCount(0);
    const PaintedPixels p = PaintWindow(list());
    EXPECT_EQ(p.At(200, 120), CSkListView::kBufferColour);
    EXPECT_EQ(parent.cellRequests, 0);
}

TEST_F(ListViewTest, TenThousandRowsPaintAtTheEnd) {
    int highest = -1;
    parent.fillOverride = [&](CellFormat& f) {
        highest = std::max(highest, f.item);
        f.text = "row " + std::to_string(f.item);
        if (f.subItem == 2) {
            f.progressMax = 100;
            f.progressPos = f.item % 101;
        }
    };
    parent.SetRowCount(10000);
    ListView_EnsureVisible(list(), 9999, FALSE);
    EXPECT_GT(ListView_GetTopIndex(list()), 9980);
    PaintWindow(list());
    EXPECT_EQ(highest, 9999);
}

TEST_F(ListViewTest, ColumnOfWidthZeroDrawsNothingAndLeavesTheOthersAlone) {
    parent.SetRows({Row("a"), Row("b")});
    const PaintedPixels before = PaintWindow(list());
    const RECT source = Cell(0, 1);
    ListView_SetColumnWidth(list(), 0, 0);
    const RECT cell = Cell(0, 0);
    EXPECT_EQ(cell.right, cell.left);
    const PaintedPixels after = PaintWindow(list());
    // Column 1 moved left by the 20 pixels column 0 had; it looks the same there.
    const RECT moved = Cell(0, 1);
    ASSERT_EQ(moved.left, source.left - 20);
    for (int y = source.top; y < source.bottom; ++y)
        for (int x = 2; x < 140; ++x)
            ASSERT_EQ(after.At(moved.left + x, y), before.At(source.left + x, y)) << x << "," << y;
    UpdateWindow(list());
    ValidateRect(list(), nullptr);
    parent.list.RedrawCells(0, 1, 0, 0, false);
    RECT r = {};
    EXPECT_FALSE(GetUpdateRect(list(), &r, FALSE)) << "nothing to redraw in an empty column";
}

TEST_F(ListViewTest, VeryLongTextStaysInItsCell) {
    parent.SetRows({Row("short", Bar(40)), Row("short", Bar(60))});
    const PaintedPixels before = PaintWindow(list());
    parent.rows[0][1].text = std::string(5000, 'W');
    parent.rows[1][1].text = std::string(5000, '&');
    const PaintedPixels after = PaintWindow(list());
    for (int item : {0, 1}) {
        const RECT next = Cell(item, 2);
        for (int y = next.top; y < next.bottom; ++y)
            for (int x = next.left; x < next.right; ++x)
                ASSERT_EQ(after.At(x, y), before.At(x, y)) << item << ": " << x << "," << y;
    }
    // The long text itself shows, ending in "..." at the cell's edge.
    const RECT cell = Cell(0, 1);
    int inked = 0;
    for (int x = cell.left; x < cell.right; ++x)
        inked += Brightness(after.At(x, (cell.top + cell.bottom) / 2)) < 200;
    EXPECT_GT(inked, 10);
}

TEST_F(ListViewTest, NoGdiLeakOverAThousandFullPaints) {
    std::vector<TestRow> rows;
    for (int i = 0; i < 30; ++i) {
        TestRow row = Row("video " + std::to_string(i) + ".avi", Bar(i * 4));
        row[0].checked = i % 2 == 0;
        row[1].bold = i % 3 == 0;
        row[2].text = std::to_string(i * 4) + "%";
        rows.push_back(row);
    }
    parent.SetRows(rows);
    parent.list.AttachScrollBars();
    SelectRows(list(), {2, 3});
    // Every part paints whole into a memory canvas; one paint in ten also goes to the screen through WM_PAINT.
    const RECT client = parent.GetClientRect();
    Canvas canvas(client.right, client.bottom);
    HWND parts[] = {list(), parent.list.Header().GetSafeHwnd(), parent.list.VerticalBar().GetSafeHwnd(),
                    parent.list.HorizontalBar().GetSafeHwnd()};
    auto paintAll = [&](int i) {
        for (HWND part : parts)
            ::SendMessageA(part, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.hdc()), PRF_CLIENT);
        if (i % 10 == 0)
            RedrawWindow(parent.GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    };
    for (int i = 0; i < 10; ++i)
        paintAll(i);
    const DWORD warm = CountGdiObjects();
    const int requestsBefore = parent.cellRequests;
    for (int i = 0; i < 1000; ++i)
        paintAll(i);
    EXPECT_EQ(CountGdiObjects(), warm);
    EXPECT_GT(parent.cellRequests - requestsBefore, 1000 * 20) << "the paints drew cells";
}

} // namespace
