// CreateRegionFromBitmap on real bitmaps: regions compared with ones built rectangle by rectangle.
#include "skin/SkinRegion.h"

#include "tests/support/Canvas.h"

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

} // namespace
