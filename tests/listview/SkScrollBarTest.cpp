// The bitmap scroll bars beside the skinned list: layout, thumb placement read from the list, no thumb while the
// list cannot scroll, the thumb at the bottom, arrows that step on release and repeat on their timers, track clicks
// that page once on release (and the difference between the two bars), and thumb drags that leave the list at the
// matching position. Input goes in as the messages a user's action produces.
#include "skin/SkListView.h"

#include "ListTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr RECT kListRect = {10, 10, 410, 210};

class ScrollBarTest : public ::testing::Test {
protected:
    ListTestParent parent{40, 40, 600, 400, kListRect};
    CSkVScrollBar& vbar() { return parent.list.VerticalBar(); }
    CSkHScrollBar& hbar() { return parent.list.HorizontalBar(); }
    HWND list() const { return parent.list.GetSafeHwnd(); }

    void SetUp() override {
        parent.SetColumns({{"", 20, LVCFMT_CENTER}, {"Source", 150, LVCFMT_LEFT}, {"Progress", 200, LVCFMT_LEFT}});
        std::vector<TestRow> rows;
        for (int i = 0; i < 50; ++i) {
            TestCell text;
            text.text = "clip " + std::to_string(i);
            rows.push_back(TestRow{TestCell{}, text, TestCell{}});
        }
        parent.SetRows(rows);
        parent.list.AttachScrollBars();
        ASSERT_TRUE(vbar().GetSafeHwnd());
        ASSERT_TRUE(hbar().GetSafeHwnd());
    }
    int BarHeight() { return vbar().GetClientRect().bottom; }
    int BarWidth() { return hbar().GetClientRect().right; }
    int VerticalLimit() {
        int pos = 0;
        int limit = 0;
        parent.list.GetScrollState(SB_VERT, &pos, &limit);
        return limit;
    }
    int HorizontalPos() {
        int pos = 0;
        int limit = 0;
        parent.list.GetScrollState(SB_HORZ, &pos, &limit);
        return pos;
    }
    int HorizontalLimit() {
        int pos = 0;
        int limit = 0;
        parent.list.GetScrollState(SB_HORZ, &pos, &limit);
        return limit;
    }
    int Top() { return ListView_GetTopIndex(list()); }
    static void Press(HWND bar, int x, int y) { ::SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
    static void Move(HWND bar, int x, int y) { ::SendMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y)); }
    static void Release(HWND bar, int x, int y) { ::SendMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }
    // The list view takes no SB_TOP/SB_BOTTOM/SB_LEFT/SB_RIGHT requests.
    void ScrollToBottom() {
        ListView_EnsureVisible(list(), 49, FALSE);
        vbar().Resync();
    }
    void ScrollToLeft() {
        ListView_Scroll(list(), -100000, 0);
        hbar().Resync();
    }
    void ScrollToRight() {
        ListView_Scroll(list(), 100000, 0);
        hbar().Resync();
    }
    void MakeWide() {
        ListView_SetColumnWidth(list(), 2, 700);
        parent.list.LayoutScrollBars();
        ASSERT_GT(HorizontalLimit(), 0);
    }
};

TEST_F(ScrollBarTest, BarsSitBesideTheListAndItsOwnBarsAreGone) {
    auto placed = [&](HWND w) {
        RECT r = {};
        GetWindowRect(w, &r);
        MapWindowPoints(nullptr, parent.GetSafeHwnd(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    const RECT v = placed(vbar().GetSafeHwnd());
    const RECT h = placed(hbar().GetSafeHwnd());
    EXPECT_EQ(v.left, kListRect.right);
    EXPECT_EQ(v.top, kListRect.top);
    EXPECT_EQ(v.right - v.left, 16);
    EXPECT_EQ(v.bottom - v.top, kListRect.bottom - kListRect.top + 16);
    EXPECT_EQ(h.left, kListRect.left);
    EXPECT_EQ(h.top, kListRect.bottom);
    EXPECT_EQ(h.right - h.left, kListRect.right - kListRect.left + 1);
    EXPECT_EQ(h.bottom - h.top, 16);
    EXPECT_EQ(GetDlgCtrlID(vbar().GetSafeHwnd()), 0xFFFF);

    // The list scrolls (50 rows) but keeps no room for a scroll bar of its own.
    ASSERT_GT(VerticalLimit(), 0);
    RECT window = {};
    GetWindowRect(list(), &window);
    const RECT client = parent.list.GetClientRect();
    EXPECT_LT((window.right - window.left) - client.right, GetSystemMetrics(SM_CXVSCROLL));
}

TEST_F(ScrollBarTest, NoHorizontalThumbWhileTheListFits) {
    ASSERT_EQ(HorizontalLimit(), 0);
    auto distinctColumns = [&] {
        const PaintedPixels p = PaintWindow(hbar().GetSafeHwnd());
        int differing = 0;
        for (int x = 16; x < p.width - 16; ++x)
            for (int y = 0; y < p.height; ++y)
                if (p.At(x, y) != p.At(16, y)) {
                    ++differing;
                    break;
                }
        return differing;
    };
    EXPECT_EQ(distinctColumns(), 0) << "arrows and track only";
    MakeWide();
    hbar().Resync();
    EXPECT_GT(distinctColumns(), 30) << "a thumb shows once the list can scroll";
}

TEST_F(ScrollBarTest, FullyScrolledDownTheThumbTouchesTheDownArrow) {
    ScrollToBottom();
    const int height = BarHeight();
    ASSERT_EQ(height, 216);
    EXPECT_EQ(vbar().GetThumbPos(), height - 32 - 75);
    // The 67-pixel built-in thumb drawn 75 long: both its ends show whole, the bottom one against the down arrow.
    const PaintedPixels p = PaintWindow(vbar().GetSafeHwnd());
    HBITMAP thumb = vbar().thumbBitmap;
    ASSERT_EQ(BitmapSize(thumb).cy, 67);
    const int top = vbar().GetThumbPos();
    for (int y : {0, 3, 10}) {
        EXPECT_EQ(p.At(1 + 6, top + y), BitmapPixel(thumb, 6, y)) << y;
        EXPECT_EQ(p.At(1 + 6, top + 74 - y), BitmapPixel(thumb, 6, 66 - y)) << y;
    }
    ListView_EnsureVisible(list(), 0, FALSE);
    vbar().Resync();
    EXPECT_EQ(vbar().GetThumbPos(), 16);
}

TEST_F(ScrollBarTest, VerticalTrackClickPagesOnceOnRelease) {
    HWND bar = vbar().GetSafeHwnd();
    ASSERT_EQ(Top(), 0);
    const int below = vbar().GetThumbPos() + 75 + 20;
    ASSERT_LT(below, BarHeight() - 32);
    Press(bar, 8, below);
    EXPECT_EQ(Top(), 0) << "nothing on the press";
    Release(bar, 8, below);
    const int paged = Top();
    EXPECT_EQ(paged, ListView_GetCountPerPage(list()));
    // Above the thumb: one page back.
    Press(bar, 8, vbar().GetThumbPos() - 2);
    Release(bar, 8, vbar().GetThumbPos() - 2);
    EXPECT_EQ(Top(), 0);
    // A release without a press on the bar does nothing.
    Release(bar, 8, below);
    EXPECT_EQ(Top(), 0);
}

TEST_F(ScrollBarTest, AQuickSecondClickOnTheTrackPagesAgain) {
    HWND bar = vbar().GetSafeHwnd();
    const int perPage = ListView_GetCountPerPage(list());
    Press(bar, 8, vbar().GetThumbPos() + 75 + 20);
    Release(bar, 8, vbar().GetThumbPos() + 75 + 20);
    ASSERT_EQ(Top(), perPage);
    // The second click of a quick pair arrives as a double click.
    const int below = vbar().GetThumbPos() + 75 + 20;
    ASSERT_LT(below, BarHeight() - 32);
    ::SendMessageA(bar, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(8, below));
    Release(bar, 8, below);
    EXPECT_EQ(Top(), 2 * perPage);
}

TEST_F(ScrollBarTest, HorizontalTrackClickPagesOnceOnRelease) {
    MakeWide();
    HWND bar = hbar().GetSafeHwnd();
    ::SendMessageA(list(), WM_HSCROLL, SB_PAGERIGHT, 0);
    const int onePage = HorizontalPos();
    ASSERT_GT(onePage, 0);
    ScrollToLeft();
    ASSERT_EQ(HorizontalPos(), 0);
    const int right = hbar().GetThumbPos() + 75 + 30;
    Press(bar, right, 8);
    EXPECT_EQ(HorizontalPos(), 0);
    Release(bar, right, 8);
    EXPECT_EQ(HorizontalPos(), onePage);
}

TEST_F(ScrollBarTest, ReleasingOverAnArrowDiffersBetweenTheBars) {
    // Vertical: a track press released over the up arrow, which was not pressed, is a track click: a page.
    ScrollToBottom();
    const int bottom = Top();
    HWND v = vbar().GetSafeHwnd();
    Press(v, 8, 40);
    Release(v, 8, 5);
    EXPECT_EQ(Top(), bottom - ListView_GetCountPerPage(list()));

    // Horizontal: the same gesture steps one line toward the arrow.
    MakeWide();
    ScrollToRight();
    const int end = HorizontalPos();
    ::SendMessageA(list(), WM_HSCROLL, SB_LINELEFT, 0);
    const int oneLine = end - HorizontalPos();
    ASSERT_GT(oneLine, 0);
    ScrollToRight();
    HWND h = hbar().GetSafeHwnd();
    Press(h, 40, 8);
    Release(h, 5, 8);
    EXPECT_EQ(HorizontalPos(), end - oneLine);
}

TEST_F(ScrollBarTest, HeldArrowStepsOnTheRepeatTimerAfterTheDelay) {
    HWND bar = vbar().GetSafeHwnd();
    const int down = BarHeight() - 16 - 8;
    Press(bar, 8, down);
    EXPECT_EQ(Top(), 0);
    // The delay timer only starts the repeat.
    ::SendMessageA(bar, WM_TIMER, CSkVScrollBar::kDelayTimer, 0);
    EXPECT_EQ(Top(), 0);
    EXPECT_FALSE(KillTimer(bar, CSkVScrollBar::kDelayTimer)) << "the delay timer stops itself";
    for (int i = 1; i <= 3; ++i) {
        ::SendMessageA(bar, WM_TIMER, CSkVScrollBar::kRepeatTimer, 0);
        EXPECT_EQ(Top(), i);
        EXPECT_EQ(vbar().GetThumbPos(), VThumbPosition(BarHeight(), i, VerticalLimit(), vbar().Sizes()));
    }
    Release(bar, 8, down);
    EXPECT_EQ(Top(), 4) << "and the release steps once more";
    EXPECT_FALSE(KillTimer(bar, CSkVScrollBar::kRepeatTimer)) << "the repeat stops with the release";
    ::SendMessageA(bar, WM_TIMER, CSkVScrollBar::kRepeatTimer, 0);
    EXPECT_EQ(Top(), 4) << "a stray timer after the release steps nothing";

    // A short click on the up arrow: one line, on release.
    Press(bar, 8, 8);
    EXPECT_EQ(Top(), 4);
    Release(bar, 8, 8);
    EXPECT_EQ(Top(), 3);
    // Released early, before the delay ended: the delay timer goes too.
    Press(bar, 8, 8);
    Release(bar, 8, 8);
    EXPECT_FALSE(KillTimer(bar, CSkVScrollBar::kDelayTimer));
}

TEST_F(ScrollBarTest, HeldHorizontalArrowRepeats) {
    MakeWide();
    HWND bar = hbar().GetSafeHwnd();
    const int right = BarWidth() - 8;
    ScrollToLeft();
    ::SendMessageA(list(), WM_HSCROLL, SB_LINERIGHT, 0);
    const int line = HorizontalPos();
    ASSERT_GT(line, 0);
    ScrollToLeft();
    Press(bar, right, 8);
    ::SendMessageA(bar, WM_TIMER, CSkHScrollBar::kDelayTimer, 0);
    ::SendMessageA(bar, WM_TIMER, CSkHScrollBar::kRepeatTimer, 0);
    ::SendMessageA(bar, WM_TIMER, CSkHScrollBar::kRepeatTimer, 0);
    EXPECT_EQ(HorizontalPos(), 2 * line);
    Release(bar, right, 8);
    EXPECT_EQ(HorizontalPos(), 3 * line);
}

TEST_F(ScrollBarTest, DraggedVerticalThumbLeavesTheListAtTheMatchingRow) {
    HWND bar = vbar().GetSafeHwnd();
    const int height = BarHeight();
    const int limit = VerticalLimit();
    const VBarSizes sizes = vbar().Sizes();
    int grab = vbar().GetThumbPos() + 37;
    // Down, further down, back up, to the very bottom and to the top: the list follows every time.
    for (int to : {100, 150, 60, 400, -50, 131}) {
        Press(bar, 8, grab);
        ASSERT_TRUE(vbar().IsDragging());
        Move(bar, 8, to);
        const int dragged = VClampThumb(to - 37, height, sizes);
        EXPECT_EQ(vbar().GetThumbPos(), dragged);
        const int expected = VPositionForThumb(dragged, height, limit, sizes);
        EXPECT_EQ(Top(), expected) << "while dragging to " << to;
        Release(bar, 8, to);
        EXPECT_EQ(Top(), expected) << "after the release at " << to;
        EXPECT_EQ(vbar().GetThumbPos(), VThumbPosition(height, expected, limit, sizes));
        grab = vbar().GetThumbPos() + 37;
    }
    // Every row has a pixel of its own here (track 131 > 42 rows): dragged to a row's pixel, the thumb stays put.
    const int rowPixel = VThumbPosition(height, 17, limit, sizes);
    Press(bar, 8, grab);
    Move(bar, 8, rowPixel + 37);
    Release(bar, 8, rowPixel + 37);
    EXPECT_EQ(Top(), 17);
    EXPECT_EQ(vbar().GetThumbPos(), rowPixel);
    // The ends.
    Press(bar, 8, vbar().GetThumbPos() + 37);
    Move(bar, 8, 1000);
    Release(bar, 8, 1000);
    EXPECT_EQ(Top(), limit);
}

TEST_F(ScrollBarTest, DraggedHorizontalThumbLeavesTheListAtTheMatchingPixel) {
    MakeWide();
    HWND bar = hbar().GetSafeHwnd();
    const int width = BarWidth();
    const int limit = HorizontalLimit();
    const HBarSizes sizes = hbar().Sizes();
    int grab = hbar().GetThumbPos() + 37;
    for (int to : {150, 300, 90, 1000, -200, 222}) {
        Press(bar, grab, 8);
        Move(bar, to, 8);
        const int dragged = HClampThumb(to - 37, width, sizes);
        const int expected = HPositionForThumb(dragged, width, limit, sizes);
        EXPECT_EQ(HorizontalPos(), expected) << "while dragging to " << to;
        Release(bar, to, 8);
        EXPECT_EQ(HorizontalPos(), expected) << "after the release at " << to;
        const int settled = HThumbPosition(width, expected, limit, sizes);
        EXPECT_EQ(hbar().GetThumbPos(), settled);
        if (to > 0 && to < 900) {
            EXPECT_LE(std::abs(settled - dragged), 1) << "the thumb stays where it was dropped";
        }
        grab = hbar().GetThumbPos() + 37;
    }
    EXPECT_EQ(HorizontalPos(), HPositionForThumb(HClampThumb(222 - 37, width, sizes), width, limit, sizes));
}

TEST_F(ScrollBarTest, KeysAndWheelMoveTheThumbWithTheList) {
    SetFocus(list());
    ListView_SetItemState(list(), 0, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    ::SendMessageA(list(), WM_KEYDOWN, VK_END, 0);
    ::SendMessageA(list(), WM_KEYUP, VK_END, 0);
    UpdateWindow(list());
    EXPECT_EQ(Top(), VerticalLimit());
    EXPECT_EQ(vbar().GetThumbPos(), BarHeight() - 32 - 75);
}

} // namespace
