// The bitmap scroll bars beside the skinned list, each test run on both bars: a thumb that follows the list, arrows
// that step on release and repeat on their timers, track clicks that page once on release, a release over an arrow
// (where the bars differ), and thumb drags that leave the list at the matching position. Input goes in as the messages
// a user's action produces; the arithmetic is ListGeometryTest's.
#include "skin/SkListView.h"

#include "ListTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class ScrollBarTest : public testing::TestWithParam<BarAxis> {
protected:
    void SetUp() override {
        // 50 rows and a wide last column: the list scrolls both ways, more than two pages.
        parent.SetColumns({{"", 20, LVCFMT_CENTER}, {"Source", 150, LVCFMT_LEFT}, {"Progress", 2000, LVCFMT_LEFT}});
        parent.SetRows(std::vector<TestRow>(50, TestRow{"clip"}));
        parent.list.AttachScrollBars();
    }
    HWND list() const { return parent.list.GetSafeHwnd(); }
    bool Horizontal() const { return GetParam() == BarAxis::horizontal; }
    CSkListScrollBar& bar() {
        return Horizontal() ? static_cast<CSkListScrollBar&>(parent.list.HorizontalBar()) : parent.list.VerticalBar();
    }
    int Length() { return Horizontal() ? bar().GetClientRect().right : bar().GetClientRect().bottom; }
    int Pos() { return State().first; }
    int Limit() { return State().second; }
    std::pair<int, int> State() {
        std::pair<int, int> state;
        parent.list.GetScrollState(Horizontal() ? SB_HORZ : SB_VERT, &state.first, &state.second);
        return state;
    }
    void Send(UINT message, int along, WPARAM keys = MK_LBUTTON) {
        SendMessageA(bar().GetSafeHwnd(), message, keys, Horizontal() ? MAKELPARAM(along, 8) : MAKELPARAM(8, along));
    }
    void Press(int along) { Send(WM_LBUTTONDOWN, along); }
    void Release(int along) { Send(WM_LBUTTONUP, along, 0); }
    void Timer(UINT_PTR id) { SendMessageA(bar().GetSafeHwnd(), WM_TIMER, id, 0); }
    // The list view takes no SB_TOP/SB_BOTTOM/SB_LEFT/SB_RIGHT requests.
    void ScrollBy(int pixels) {
        ListView_Scroll(list(), Horizontal() ? pixels : 0, Horizontal() ? 0 : pixels);
        bar().Resync();
    }
    // How far one request moves the list from its start.
    int Step(WPARAM request) {
        ScrollBy(-100000);
        SendMessageA(list(), Horizontal() ? WM_HSCROLL : WM_VSCROLL, request, 0);
        const int moved = Pos();
        ScrollBy(-100000);
        return moved;
    }

    ListTestParent parent{40, 40, 600, 400, RECT{10, 10, 410, 210}};
};

// The list scrolled on its own (keys, the wheel) moves the thumb by its next paint.
TEST_P(ScrollBarTest, TheThumbFollowsTheListsOwnScrolling) {
    ListView_Scroll(list(), Horizontal() ? 300 : 0, Horizontal() ? 0 : 300);
    PaintWindow(list());
    ASSERT_GT(Pos(), 0);
    EXPECT_EQ(bar().GetThumbPos(), ThumbPosition(Length(), Pos(), Limit(), bar().Sizes()));
}

// Nothing on the press, a page on the release; the second click of a quick pair arrives as a double click and is a
// press all the same; a release without a press on the bar does nothing. Pressed on the track and released over the
// start arrow, the horizontal bar steps a line toward the arrow; the vertical bar takes it as a track click.
TEST_P(ScrollBarTest, TrackClickPagesOnceOnRelease) {
    const int page = Step(SB_PAGEDOWN);
    ASSERT_GT(page, 0);
    const int after = bar().GetThumbPos() + 75 + 20;
    Press(after);
    EXPECT_EQ(Pos(), 0);
    Release(after);
    EXPECT_EQ(Pos(), page);
    const int further = bar().GetThumbPos() + 75 + 2;
    ASSERT_LT(further, Length() - 32);
    Send(WM_LBUTTONDBLCLK, further);
    Release(further);
    EXPECT_EQ(Pos(), 2 * page);
    Press(bar().GetThumbPos() - 2);
    Release(bar().GetThumbPos() - 2);
    EXPECT_EQ(Pos(), page) << "before the thumb: a page back";
    Release(bar().GetThumbPos() - 2);
    EXPECT_EQ(Pos(), page);
    const int line = Step(SB_LINEDOWN);
    ScrollBy(100000);
    const int end = Pos();
    Press(40);
    Release(5);
    EXPECT_EQ(Pos(), end - (Horizontal() ? line : page));
}

TEST_P(ScrollBarTest, HeldArrowStepsOnTheRepeatTimerAfterTheDelay) {
    const int line = Step(SB_LINEDOWN);
    ASSERT_GT(line, 0);
    const int endArrow = Length() - bar().Skin().endCapLength - 8;
    Press(endArrow);
    Timer(CSkListScrollBar::kDelayTimer);
    EXPECT_EQ(Pos(), 0) << "the delay timer only starts the repeat";
    EXPECT_FALSE(KillTimer(bar().GetSafeHwnd(), CSkListScrollBar::kDelayTimer)) << "the delay timer stops itself";
    for (int i = 1; i <= 3; ++i) {
        Timer(CSkListScrollBar::kRepeatTimer);
        EXPECT_EQ(Pos(), i * line);
    }
    Release(endArrow);
    EXPECT_EQ(Pos(), 4 * line) << "and the release steps once more";
    EXPECT_FALSE(KillTimer(bar().GetSafeHwnd(), CSkListScrollBar::kRepeatTimer)) << "the repeat stops";
    Timer(CSkListScrollBar::kRepeatTimer);
    EXPECT_EQ(Pos(), 4 * line) << "a stray timer after the release steps nothing";
    // A held arrow whose capture is taken away (a message box) stops repeating.
    Press(endArrow);
    Timer(CSkListScrollBar::kDelayTimer);
    SetCapture(parent.GetSafeHwnd());
    ReleaseCapture();
    Timer(CSkListScrollBar::kRepeatTimer);
    EXPECT_EQ(Pos(), 4 * line);
}

// Forward, back, past the end: the list follows every time.
TEST_P(ScrollBarTest, DraggedThumbLeavesTheListAtTheMatchingPosition) {
    const int length = Length();
    const int limit = Limit();
    const BarSizes sizes = bar().Sizes();
    for (int to : {length / 2, length / 5, 3 * length}) {
        Press(bar().GetThumbPos() + 37);
        Send(WM_MOUSEMOVE, to);
        const int expected = PositionForThumb(ClampThumb(to - 37, length, sizes), length, limit, sizes);
        EXPECT_EQ(Pos(), expected) << "while dragging to " << to;
        Release(to);
        EXPECT_FALSE(bar().IsDragging());
        EXPECT_EQ(Pos(), expected) << "after the release at " << to;
        EXPECT_EQ(bar().GetThumbPos(), ThumbPosition(length, expected, limit, sizes));
    }
    EXPECT_EQ(Pos(), limit) << "dragged past the end: the list's end";
}

INSTANTIATE_TEST_SUITE_P(Bars, ScrollBarTest, testing::Values(BarAxis::horizontal, BarAxis::vertical),
                         [](const testing::TestParamInfo<BarAxis>& info) {
                             return std::string(info.param == BarAxis::horizontal ? "Horizontal" : "Vertical");
                         });

} // namespace
