// CreateRegionFromBitmap on real bitmaps: regions compared with ones built rectangle by rectangle.
#include "skin/SkinRegion.h"

#include "SkinTestSupport.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kKey = RGB(0, 255, 0);
constexpr COLORREF kBody = RGB(90, 100, 120);

HRGN UnionOfRects(const std::vector<RECT>& rects) {
    HRGN result = CreateRectRgn(0, 0, 0, 0);
    for (const RECT& r : rects) {
        HRGN part = CreateRectRgn(r.left, r.top, r.right, r.bottom);
        CombineRgn(result, result, part, RGN_OR);
        DeleteObject(part);
    }
    return result;
}

TEST(SkinRegion, NullBitmapGivesNull) {
    EXPECT_EQ(CreateRegionFromBitmap(nullptr, kKey, 0), nullptr);
}

TEST(SkinRegion, NoKeyPixelGivesTheFullRectangle) {
    OwnedBitmap bitmap(MakeBitmap(30, 20, [](int, int) { return kBody; }));
    OwnedRegion region(CreateRegionFromBitmap(bitmap.get(), kKey, 0));
    ASSERT_TRUE(region);
    OwnedRegion expected(CreateRectRgn(0, 0, 30, 20));
    EXPECT_TRUE(EqualRgn(region.get(), expected.get()));
}

TEST(SkinRegion, AllKeyGivesAnEmptyRegion) {
    OwnedBitmap bitmap(MakeBitmap(30, 20, [](int, int) { return kKey; }));
    OwnedRegion region(CreateRegionFromBitmap(bitmap.get(), kKey, 0));
    ASSERT_TRUE(region);
    RECT box = {};
    EXPECT_EQ(GetRgnBox(region.get(), &box), NULLREGION);
}

// Region makers that fail: always, or from their second call on (the second block of rectangles).
int regionCalls = 0;
HRGN WINAPI NoRegion(const XFORM*, DWORD, const RGNDATA*) {
    return nullptr;
}
HRGN WINAPI FirstRegionOnly(const XFORM* transform, DWORD size, const RGNDATA* data) {
    return ++regionCalls == 1 ? ExtCreateRegion(transform, size, data) : nullptr;
}

TEST(SkinRegion, ARegionThatCannotBeMadeIsNoRegionNotAnEmptyOrPartOne) {
    OwnedBitmap plain(MakeBitmap(30, 20, [](int, int) { return kBody; }));
    EXPECT_EQ(CreateRegionFromBitmap(plain.get(), kKey, 0, NoRegion), nullptr);
    // 3000 runs: the first block of 2000 is made, the rest is not.
    OwnedBitmap checked(MakeBitmap(100, 60, [](int x, int y) { return (x + y) % 2 ? kKey : kBody; }));
    regionCalls = 0;
    EXPECT_EQ(CreateRegionFromBitmap(checked.get(), kKey, 0, FirstRegionOnly), nullptr);
    EXPECT_EQ(regionCalls, 2);
}

TEST(SkinRegion, StripeOfKeyColourCutsAColumn) {
    OwnedBitmap bitmap(MakeBitmap(21, 10, [](int x, int) { return x == 10 ? kKey : kBody; }));
    OwnedRegion region(CreateRegionFromBitmap(bitmap.get(), kKey, 0));
    ASSERT_TRUE(region);
    OwnedRegion expected(UnionOfRects({{0, 0, 10, 10}, {11, 0, 21, 10}}));
    EXPECT_TRUE(EqualRgn(region.get(), expected.get()));
    EXPECT_FALSE(PtInRegion(region.get(), 10, 5));
    EXPECT_TRUE(PtInRegion(region.get(), 9, 5));
    EXPECT_TRUE(PtInRegion(region.get(), 11, 5));
}

TEST(SkinRegion, MoreThan2000RunsGiveTheSameRegionAsOnePass) {
    // Every other pixel is key-coloured, shifted by one on odd rows: 50 runs a row, 3000 in all.
    const int width = 100;
    const int height = 60;
    auto colourAt = [](int x, int y) { return (x + y) % 2 ? kKey : kBody; };
    OwnedBitmap bitmap(MakeBitmap(width, height, colourAt));
    OwnedRegion region(CreateRegionFromBitmap(bitmap.get(), kKey, 0));
    ASSERT_TRUE(region);
    std::vector<RECT> rects;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (colourAt(x, y) != kKey)
                rects.push_back({x, y, x + 1, y + 1});
    ASSERT_GT(rects.size(), static_cast<size_t>(kRegionBlockRectangles));
    OwnedRegion expected(UnionOfRects(rects));
    EXPECT_TRUE(EqualRgn(region.get(), expected.get()));
}

TEST(SkinRegion, ExactlyTwoThousandRunsAreNotLost) {
    // 2000 runs fill the first block exactly; nothing may be dropped or doubled at the boundary.
    const int width = 40;
    const int height = 100; // 20 runs a row
    auto colourAt = [](int x, int) { return x % 2 ? kKey : kBody; };
    OwnedBitmap bitmap(MakeBitmap(width, height, colourAt));
    OwnedRegion region(CreateRegionFromBitmap(bitmap.get(), kKey, 0));
    ASSERT_TRUE(region);
    std::vector<RECT> rects;
    for (int x = 0; x < width; x += 2)
        rects.push_back({x, 0, x + 1, height});
    OwnedRegion expected(UnionOfRects(rects));
    EXPECT_TRUE(EqualRgn(region.get(), expected.get()));
}

TEST(SkinRegion, ToleranceAroundTheKeyCutsExactlyThosePixels) {
    // One pixel per column, each with another colour near RGB(250,0,0); the rest of the picture is opaque.
    const COLORREF probes[] = {RGB(250, 0, 0),  RGB(255, 10, 10), RGB(253, 4, 9), RGB(249, 0, 0),
                               RGB(250, 11, 0), RGB(250, 0, 11),  RGB(255, 0, 0), RGB(0, 0, 0)};
    const bool cut[] = {true, true, true, false, false, false, true, false};
    const int count = static_cast<int>(std::size(probes));
    OwnedBitmap bitmap(MakeBitmap(count, 2, [&](int x, int y) { return y == 0 ? probes[x] : kBody; }));
    OwnedRegion region(CreateRegionFromBitmap(bitmap.get(), RGB(250, 0, 0), RGB(10, 10, 10)));
    ASSERT_TRUE(region);
    for (int x = 0; x < count; ++x) {
        EXPECT_EQ(PtInRegion(region.get(), x, 0) == FALSE, cut[x]) << "column " << x;
        EXPECT_TRUE(PtInRegion(region.get(), x, 1));
    }
}

TEST(SkinRegion, RoundedCornersAreCutFromTheOutline) {
    // A 825 x 550 picture with key-coloured corners, as the main window's outline.
    const int width = 825;
    const int height = 550;
    const int radius = 12;
    auto inCorner = [&](int x, int y) {
        const int cx = x < radius ? radius : x >= width - radius ? width - radius - 1 : x;
        const int cy = y < radius ? radius : y >= height - radius ? height - radius - 1 : y;
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) > radius * radius;
    };
    OwnedBitmap bitmap(MakeBitmap(width, height, [&](int x, int y) { return inCorner(x, y) ? kKey : kBody; }));
    OwnedRegion region(CreateRegionFromBitmap(bitmap.get(), kKey, 0));
    ASSERT_TRUE(region);
    RECT box = {};
    EXPECT_EQ(GetRgnBox(region.get(), &box), COMPLEXREGION);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, width);
    EXPECT_EQ(box.bottom, height);
    EXPECT_FALSE(PtInRegion(region.get(), 0, 0));
    EXPECT_FALSE(PtInRegion(region.get(), width - 1, height - 1));
    EXPECT_TRUE(PtInRegion(region.get(), width / 2, 0));
    EXPECT_TRUE(PtInRegion(region.get(), 0, height / 2));
}

} // namespace
