// The skinned column header: caps and span in their places (a later column's left cap over the previous right cap by
// one pixel), the background beside and below the bitmaps, and titles cut with "..." when too wide.
#include "skin/SkListHeader.h"

#include "ListTestSupport.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kStart = RGB(255, 0, 0);
constexpr COLORREF kEnd = RGB(0, 255, 0);
constexpr COLORREF kSpan = RGB(40, 60, 250);

bool Inked(COLORREF c) {
    return GetRValue(c) + GetGValue(c) + GetBValue(c) < 380 && c != kSpan && c != kStart && c != kEnd;
}

// Runs of columns holding title ink inside r, each as {first x, last x, top y, bottom y}.
std::vector<RECT> InkRuns(const PaintedPixels& p, const RECT& r) {
    std::vector<RECT> runs;
    bool open = false;
    for (int x = r.left; x < r.right; ++x) {
        int top = -1;
        int bottom = -1;
        for (int y = r.top; y < r.bottom; ++y)
            if (Inked(p.At(x, y))) {
                if (top < 0)
                    top = y;
                bottom = y;
            }
        if (top < 0) {
            open = false;
            continue;
        }
        if (!open)
            runs.push_back(RECT{x, top, x, bottom});
        RECT& run = runs.back();
        run.right = x;
        run.top = std::min<LONG>(run.top, top);
        run.bottom = std::max<LONG>(run.bottom, bottom);
        open = true;
    }
    return runs;
}

// How many small dots end the title: narrow, short runs of ink on one line.
int TrailingDots(const PaintedPixels& p, const RECT& r) {
    const std::vector<RECT> runs = InkRuns(p, r);
    int dots = 0;
    for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
        if (it->right - it->left > 2 || it->bottom - it->top > 2)
            break;
        ++dots;
    }
    return dots;
}

class HeaderTest : public ::testing::Test {
protected:
    ListTestParent parent{40, 40, 600, 300, RECT{10, 10, 410, 210}};
    OwnedBitmap start{MakeBitmap(2, 16, [](int, int) { return kStart; })};
    OwnedBitmap end{MakeBitmap(2, 16, [](int, int) { return kEnd; })};
    OwnedBitmap span{MakeBitmap(1, 16, [](int, int) { return kSpan; })};
    CSkListHeader& header() { return parent.list.Header(); }

    void SetUp() override {
        parent.SetColumns({{"", 20, LVCFMT_LEFT}, {"Source", 178, LVCFMT_LEFT}, {"Begin", 80, LVCFMT_CENTER}});
        parent.SetRowCount(3);
        header().startBitmap = start.get();
        header().endBitmap = end.get();
        header().spanBitmap = span.get();
    }
    void TearDown() override {
        header().startBitmap = nullptr;
        header().endBitmap = nullptr;
        header().spanBitmap = nullptr;
    }
    RECT Item(int i) {
        RECT r = {};
        Header_GetItemRect(header().GetSafeHwnd(), i, &r);
        return r;
    }
};

TEST_F(HeaderTest, LaterLeftCapsOverlapThePreviousRightCapByOnePixel) {
    const PaintedPixels p = PaintWindow(header().GetSafeHwnd());
    ASSERT_EQ(Item(1).left, 20);
    ASSERT_EQ(Item(2).left, 198);
    const int y = 1;
    // The first column's own cap starts at its left edge.
    EXPECT_EQ(p.At(0, y), kStart);
    EXPECT_EQ(p.At(1, y), kStart);
    EXPECT_EQ(p.At(2, y), kSpan);
    for (int column : {1, 2}) {
        const int left = Item(column).left;
        EXPECT_EQ(p.At(left - 2, y), kEnd) << column;   // the previous right cap, its first pixel left
        EXPECT_EQ(p.At(left - 1, y), kStart) << column; // its second pixel under this left cap
        EXPECT_EQ(p.At(left, y), kStart) << column;
        EXPECT_EQ(p.At(left + 1, y), kSpan) << column; // one column of span after the cap
    }
    EXPECT_EQ(p.At(Item(2).right - 1, y), kEnd);
}

TEST_F(HeaderTest, TitlesTooWideForTheirColumnEndInAnEllipsis) {
    const PaintedPixels before = PaintWindow(header().GetSafeHwnd());
    RECT title = Item(2);
    InflateRect(&title, -1, -1); // the title's light under-layer reaches one pixel right of the dark one
    ASSERT_FALSE(InkRuns(before, title).empty()) << "the title shows";
    EXPECT_LT(TrailingDots(before, title), 3) << "\"Begin\" fits";

    HDITEMA item = {};
    item.mask = HDI_TEXT;
    item.pszText = const_cast<char*>("Beginning of the selection");
    ::SendMessageA(header().GetSafeHwnd(), HDM_SETITEMA, 2, reinterpret_cast<LPARAM>(&item));
    const PaintedPixels after = PaintWindow(header().GetSafeHwnd());
    EXPECT_GE(TrailingDots(after, title), 3);
    // Nothing spills into the next column's place.
    for (int y = 0; y < after.height; ++y)
        EXPECT_FALSE(Inked(after.At(Item(2).right + 3, y))) << y;
}

} // namespace
