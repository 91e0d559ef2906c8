// The skinned column header: caps and span where the header geometry puts them, and a title too wide for its column
// spilling into no other column.
#include "skin/SkListHeader.h"

#include "ListTestSupport.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kStart = RGB(255, 0, 0);
constexpr COLORREF kEnd = RGB(0, 255, 0);
constexpr COLORREF kSpan = RGB(40, 60, 250);

class HeaderTest : public testing::Test {
protected:
    void SetUp() override {
        parent.SetColumns({{"", 20, LVCFMT_LEFT}, {"Source", 178, LVCFMT_LEFT}, {"Begin", 80, LVCFMT_CENTER}});
        parent.SetRowCount(3);
        header().startBitmap = start.get();
        header().endBitmap = end.get();
        header().spanBitmap = span.get();
    }
    void TearDown() override { header().startBitmap = header().endBitmap = header().spanBitmap = nullptr; }
    CSkListHeader& header() { return parent.list.Header(); }
    RECT Item(int i) {
        RECT r = {};
        Header_GetItemRect(header().GetSafeHwnd(), i, &r);
        return r;
    }

    ListTestParent parent{40, 40, 600, 300, RECT{10, 10, 410, 210}};
    OwnedBitmap start{MakeBitmap(2, 16, [](int, int) { return kStart; })};
    OwnedBitmap end{MakeBitmap(2, 16, [](int, int) { return kEnd; })};
    OwnedBitmap span{MakeBitmap(1, 16, [](int, int) { return kSpan; })};
};

// A later column's start cap lies over the second pixel of the previous end cap.
TEST_F(HeaderTest, CapsAndSpanSitWhereTheGeometryPutsThem) {
    const PaintedPixels p = PaintWindow(header().GetSafeHwnd());
    const int left = Item(2).left;
    EXPECT_EQ(p.At(0, 1), kStart);
    EXPECT_EQ(p.At(2, 1), kSpan);
    EXPECT_EQ(p.At(left - 2, 1), kEnd);
    EXPECT_EQ(p.At(left - 1, 1), kStart);
    EXPECT_EQ(p.At(left + 1, 1), kSpan);
    EXPECT_EQ(p.At(Item(2).right - 1, 1), kEnd);
}

TEST_F(HeaderTest, ATitleTooWideForItsColumnStaysInIt) {
    auto inked = [](COLORREF c) {
        return GetRValue(c) + GetGValue(c) + GetBValue(c) < 380 && c != kSpan && c != kStart && c != kEnd;
    };
    HDITEMA item = {};
    item.mask = HDI_TEXT;
    item.pszText = const_cast<char*>("Beginning of the selection, and much more than fits");
    SendMessageA(header().GetSafeHwnd(), HDM_SETITEMA, 2, reinterpret_cast<LPARAM>(&item));
    const PaintedPixels p = PaintWindow(header().GetSafeHwnd());
    const RECT title = Item(2);
    int ink = 0;
    for (int y = 0; y < p.height; ++y) {
        for (int x = title.left; x < title.right; ++x)
            ink += inked(p.At(x, y));
        EXPECT_FALSE(inked(p.At(title.left - 4, y))) << "spilt into the previous column at " << y;
        EXPECT_FALSE(inked(p.At(title.right + 3, y))) << "spilt into the next column's place at " << y;
    }
    EXPECT_GT(ink, 20) << "the title shows";
}

} // namespace
