// The skinned column header: caps and span where the header geometry puts them, and titles cut with "..." when too
// wide, nothing spilling into the next column.
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

// Each later column's start cap lies over the second pixel of the previous end cap.
TEST_F(HeaderTest, CapsAndSpanSitWhereTheGeometryPutsThem) {
    const PaintedPixels p = PaintWindow(header().GetSafeHwnd());
    EXPECT_EQ(p.At(0, 1), kStart);
    EXPECT_EQ(p.At(2, 1), kSpan);
    for (int column : {1, 2}) {
        const int left = Item(column).left;
        const COLORREF expected[] = {kEnd, kStart, kStart, kSpan};
        for (int d = 0; d < 4; ++d)
            EXPECT_EQ(p.At(left - 2 + d, 1), expected[d]) << column << " at " << left - 2 + d;
    }
    EXPECT_EQ(p.At(Item(2).right - 1, 1), kEnd);
}

TEST_F(HeaderTest, TitlesTooWideForTheirColumnEndInAnEllipsis) {
    RECT title = Item(2);
    InflateRect(&title, -1, -1); // the title's light under-layer reaches one pixel right of the dark one
    // The runs of inked columns in the title, and how many of them at its end are dots: at most three pixels each way.
    auto trailingDots = [&] {
        const PaintedPixels p = PaintWindow(header().GetSafeHwnd());
        std::vector<std::pair<int, int>> runs; // of inked columns: width, height
        bool open = false;
        for (int x = title.left; x < title.right; ++x) {
            int top = title.bottom;
            int bottom = -1;
            for (int y = title.top; y < title.bottom; ++y)
                if (Inked(p.At(x, y))) {
                    top = std::min(top, y);
                    bottom = y;
                }
            if (bottom >= 0 && !open)
                runs.push_back({0, 0});
            if (bottom >= 0)
                runs.back() = {runs.back().first + 1, std::max(runs.back().second, bottom - top + 1)};
            open = bottom >= 0;
        }
        int dots = 0;
        while (dots < static_cast<int>(runs.size()) && runs[runs.size() - 1 - dots].first <= 3 &&
               runs[runs.size() - 1 - dots].second <= 3)
            ++dots;
        return std::pair{static_cast<int>(runs.size()), dots};
    };
    const auto [fitting, fittingDots] = trailingDots();
    EXPECT_GT(fitting, 0) << "the title shows";
    EXPECT_LT(fittingDots, 3) << "\"Begin\" fits";
    HDITEMA item = {};
    item.mask = HDI_TEXT;
    item.pszText = const_cast<char*>("Beginning of the selection");
    SendMessageA(header().GetSafeHwnd(), HDM_SETITEMA, 2, reinterpret_cast<LPARAM>(&item));
    EXPECT_GE(trailingDots().second, 3);
    const PaintedPixels after = PaintWindow(header().GetSafeHwnd());
    for (int y = 0; y < after.height; ++y)
        EXPECT_FALSE(Inked(after.At(Item(2).right + 3, y))) << "spilt into the next column's place at " << y;
}

} // namespace
