// The bitmap scroll bars beside the skinned list, each test run on both bars: no thumb while the list cannot scroll,
// the thumb against the end arrow, arrows that step on release and repeat on their timers, track clicks that page
// once on release, a release over an arrow (where the bars differ), and thumb drags that leave the list at the
// matching position. Input goes in as the messages a user's action produces.
#include "skin/SkListView.h"

#include "ListTestSupport.h"

#include <gtest/gtest.h>

#include <string>

void PrintTo(BarAxis axis, std::ostream* out) {
    *out << (axis == BarAxis::horizontal ? "horizontal" : "vertical");
}

namespace {

constexpr RECT kListRect = {10, 10, 410, 210};

class ListWithBars : public ::testing::Test {
protected:
    ListTestParent parent{40, 40, 600, 400, kListRect};
    HWND list() const { return parent.list.GetSafeHwnd(); }

    void SetUp() override {
        // 50 rows and a wide last column: the list scrolls both ways, more than two pages.
        parent.SetColumns({{"", 20, LVCFMT_CENTER}, {"Source", 150, LVCFMT_LEFT}, {"Progress", 2000, LVCFMT_LEFT}});
        std::vector<TestRow> rows;
        for (int i = 0; i < 50; ++i) {
            TestCell text;
            text.text = "clip " + std::to_string(i);
            rows.push_back(TestRow{TestCell{}, text, TestCell{}});
        }
        parent.SetRows(rows);
        parent.list.AttachScrollBars();
    }
};

TEST_F(ListWithBars, BarsSitBesideTheListAndItsOwnBarsAreGone) {
    auto placed = [&](const CWnd& bar) {
        RECT r = {};
        GetWindowRect(bar.GetSafeHwnd(), &r);
        MapWindowPoints(nullptr, parent.GetSafeHwnd(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    const RECT v = placed(parent.list.VerticalBar());
    const RECT h = placed(parent.list.HorizontalBar());
    EXPECT_EQ(v, (RECT{kListRect.right, kListRect.top, kListRect.right + 16, kListRect.bottom + 16}));
    EXPECT_EQ(h, (RECT{kListRect.left, kListRect.bottom, kListRect.right + 1, kListRect.bottom + 16}));
    // The list scrolls but keeps no room for a scroll bar of its own.
    RECT window = {};
    GetWindowRect(list(), &window);
    EXPECT_LT((window.right - window.left) - parent.list.GetClientRect().right, GetSystemMetrics(SM_CXVSCROLL));
}

TEST_F(ListWithBars, KeysMoveTheThumbWithTheList) {
    SetFocus(list());
    ListView_SetItemState(list(), 0, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    ::SendMessageA(list(), WM_KEYDOWN, VK_END, 0);
    ::SendMessageA(list(), WM_KEYUP, VK_END, 0);
    UpdateWindow(list());
    EXPECT_EQ(parent.list.VerticalBar().GetThumbPos(), parent.list.VerticalBar().GetClientRect().bottom - 32 - 75);
}

class ScrollBarTest : public ListWithBars, public ::testing::WithParamInterface<BarAxis> {
protected:
    bool Horizontal() const { return GetParam() == BarAxis::horizontal; }
    CSkListScrollBar& bar() {
        if (Horizontal())
            return parent.list.HorizontalBar();
        return parent.list.VerticalBar();
    }
    HWND Bar() { return bar().GetSafeHwnd(); }
    int Length() {
        const RECT r = bar().GetClientRect();
        return Horizontal() ? r.right : r.bottom;
    }
    int Pos(int* limit = nullptr) {
        int pos = 0;
        int highest = 0;
        parent.list.GetScrollState(Horizontal() ? SB_HORZ : SB_VERT, &pos, &highest);
        if (limit)
            *limit = highest;
        return pos;
    }
    int Limit() {
        int limit = 0;
        Pos(&limit);
        return limit;
    }
    LPARAM At(int along) { return Horizontal() ? MAKELPARAM(along, 8) : MAKELPARAM(8, along); }
    void Press(int along) { ::SendMessageA(Bar(), WM_LBUTTONDOWN, MK_LBUTTON, At(along)); }
    void Move(int along) { ::SendMessageA(Bar(), WM_MOUSEMOVE, MK_LBUTTON, At(along)); }
    void Release(int along) { ::SendMessageA(Bar(), WM_LBUTTONUP, 0, At(along)); }
    void Timer(UINT_PTR id) { ::SendMessageA(Bar(), WM_TIMER, id, 0); }
    // The list view takes no SB_TOP/SB_BOTTOM/SB_LEFT/SB_RIGHT requests.
    void ScrollBy(int pixels) {
        ListView_Scroll(list(), Horizontal() ? pixels : 0, Horizontal() ? 0 : pixels);
        bar().Resync();
    }
    void ToStart() { ScrollBy(-100000); }
    void ToEnd() { ScrollBy(100000); }
    // How far one request moves the list from its start.
    int Step(WPARAM request) {
        ToStart();
        ::SendMessageA(list(), Horizontal() ? WM_HSCROLL : WM_VSCROLL, request, 0);
        const int moved = Pos();
        ToStart();
        return moved;
    }
};

TEST_P(ScrollBarTest, NoThumbWhileTheListFits) {
    auto thumbColumns = [&] {
        const PaintedPixels p = PaintWindow(Bar());
        int differing = 0;
        for (int along = 16; along < Length() - 32; ++along)
            for (int across = 0; across < 16; ++across) {
                const int x = Horizontal() ? along : across;
                const int y = Horizontal() ? across : along;
                if (p.At(x, y) != p.At(Horizontal() ? 16 : x, Horizontal() ? y : 16)) {
                    ++differing;
                    break;
                }
            }
        return differing;
    };
    EXPECT_GT(thumbColumns(), 30) << "a thumb while the list can scroll";
    if (Horizontal())
        ListView_SetColumnWidth(list(), 2, 200);
    else
        parent.SetRowCount(3);
    bar().Resync();
    ASSERT_EQ(Limit(), 0);
    EXPECT_EQ(thumbColumns(), 0) << "arrows and track only";
}

TEST_P(ScrollBarTest, FullyScrolledTheThumbTouchesTheEndArrow) {
    ToEnd();
    const int top = bar().GetThumbPos();
    EXPECT_EQ(top + 75, Length() - bar().Skin().endCapLength - 16);
    // The 67-pixel built-in thumb drawn 75 long: both its ends show whole.
    const PaintedPixels p = PaintWindow(Bar());
    HBITMAP thumb = bar().Skin().thumbBitmap;
    const int inset = bar().Skin().thumbInset;
    auto shown = [&](int along) { return Horizontal() ? p.At(along, inset + 6) : p.At(inset + 6, along); };
    auto own = [&](int along) { return Horizontal() ? BitmapPixel(thumb, along, 6) : BitmapPixel(thumb, 6, along); };
    for (int d : {0, 3, 10}) {
        EXPECT_EQ(shown(top + d), own(d)) << d;
        EXPECT_EQ(shown(top + 74 - d), own(66 - d)) << d;
    }
    ToStart();
    EXPECT_EQ(bar().GetThumbPos(), ClampThumb(-100, Length(), bar().Sizes()));
}

TEST_P(ScrollBarTest, TrackClickPagesOnceOnRelease) {
    const int page = Step(SB_PAGEDOWN);
    ASSERT_GT(page, 0);
    const int after = bar().GetThumbPos() + 75 + 20;
    Press(after);
    EXPECT_EQ(Pos(), 0) << "nothing on the press";
    Release(after);
    EXPECT_EQ(Pos(), page);
    // The second click of a quick pair arrives as a double click: a press all the same.
    const int further = bar().GetThumbPos() + 75 + 2;
    ASSERT_LT(further, Length() - 32);
    ::SendMessageA(Bar(), WM_LBUTTONDBLCLK, MK_LBUTTON, At(further));
    Release(further);
    EXPECT_EQ(Pos(), 2 * page);
    // Before the thumb: a page back. A release without a press on the bar does nothing.
    Press(bar().GetThumbPos() - 2);
    Release(bar().GetThumbPos() - 2);
    EXPECT_EQ(Pos(), page);
    Release(bar().GetThumbPos() - 2);
    EXPECT_EQ(Pos(), page);
}

TEST_P(ScrollBarTest, ReleaseOverAnUnpressedArrowStepsOnlyOnTheHorizontalBar) {
    const int line = Step(SB_LINEDOWN);
    const int page = Step(SB_PAGEDOWN);
    ToEnd();
    const int end = Pos();
    Press(40); // the track
    Release(5); // the start arrow
    // The horizontal bar steps a line toward the arrow; the vertical bar takes it as a track click.
    EXPECT_EQ(Pos(), end - (Horizontal() ? line : page));
}

TEST_P(ScrollBarTest, HeldArrowStepsOnTheRepeatTimerAfterTheDelay) {
    const int line = Step(SB_LINEDOWN);
    ASSERT_GT(line, 0);
    const int endArrow = Length() - bar().Skin().endCapLength - 8;
    Press(endArrow);
    Timer(CSkListScrollBar::kDelayTimer);
    EXPECT_EQ(Pos(), 0) << "the delay timer only starts the repeat";
    EXPECT_FALSE(KillTimer(Bar(), CSkListScrollBar::kDelayTimer)) << "the delay timer stops itself";
    for (int i = 1; i <= 3; ++i) {
        Timer(CSkListScrollBar::kRepeatTimer);
        EXPECT_EQ(Pos(), i * line);
        EXPECT_EQ(bar().GetThumbPos(), ThumbPosition(Length(), i * line, Limit(), bar().Sizes()));
    }
    Release(endArrow);
    EXPECT_EQ(Pos(), 4 * line) << "and the release steps once more";
    EXPECT_FALSE(KillTimer(Bar(), CSkListScrollBar::kRepeatTimer)) << "the repeat stops with the release";
    Timer(CSkListScrollBar::kRepeatTimer);
    EXPECT_EQ(Pos(), 4 * line) << "a stray timer after the release steps nothing";

    // A short click on the start arrow: one line, on release, and the delay timer goes too.
    Press(8);
    EXPECT_EQ(Pos(), 4 * line);
    Release(8);
    EXPECT_EQ(Pos(), 3 * line);
    EXPECT_FALSE(KillTimer(Bar(), CSkListScrollBar::kDelayTimer));

    // A held arrow whose capture is taken away (a message box) stops repeating.
    Press(endArrow);
    Timer(CSkListScrollBar::kDelayTimer);
    SetCapture(parent.GetSafeHwnd());
    ReleaseCapture();
    Timer(CSkListScrollBar::kRepeatTimer);
    EXPECT_EQ(Pos(), 3 * line);
}

TEST_P(ScrollBarTest, DraggedThumbLeavesTheListAtTheMatchingPosition) {
    const int length = Length();
    const int limit = Limit();
    const BarSizes sizes = bar().Sizes();
    // Forward, further, back, past the end, before the start, the middle: the list follows every time.
    for (int to : {length / 3, length / 2, length / 5, 3 * length, -length, length / 2 + 7}) {
        const int grab = bar().GetThumbPos() + 37;
        Press(grab);
        ASSERT_TRUE(bar().IsDragging());
        Move(to);
        const int dragged = ClampThumb(to - 37, length, sizes);
        EXPECT_EQ(bar().GetThumbPos(), dragged);
        const int expected = PositionForThumb(dragged, length, limit, sizes);
        EXPECT_EQ(Pos(), expected) << "while dragging to " << to;
        Release(to);
        EXPECT_FALSE(bar().IsDragging());
        EXPECT_EQ(Pos(), expected) << "after the release at " << to;
        EXPECT_EQ(bar().GetThumbPos(), ThumbPosition(length, expected, limit, sizes));
        if (to == 3 * length) {
            EXPECT_EQ(Pos(), limit);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Bars, ScrollBarTest, ::testing::Values(BarAxis::horizontal, BarAxis::vertical),
                         [](const ::testing::TestParamInfo<BarAxis>& info) {
                             return std::string(info.param == BarAxis::horizontal ? "Horizontal" : "Vertical");
                         });

} // namespace
