// CreateRegionFromBitmap on real bitmaps: regions compared with ones built pixel by pixel, and no region at all when
// one cannot be made.
#include "skin/SkinRegion.h"

#include "tests/support/Canvas.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kKey = RGB(0, 255, 0);
constexpr COLORREF kBody = RGB(90, 100, 120);

COLORREF Checked(int x, int y) {
    return (x + y) % 2 ? kKey : kBody;
}

// Every pixel but the key-coloured ones, single pixels or stripes, with more runs than one block of rectangles,
// exactly one block (nothing dropped or doubled at the boundary), or none at all.
TEST(SkinRegion, CoversExactlyThePixelsThatAreNotTheKey) {
    struct Picture {
        int width, height;
        COLORREF (*colourAt)(int, int);
    };
    const Picture pictures[] = {
        {30, 20, [](int, int) { return kKey; }},
        {100, 60, Checked},                                         // 50 runs a row, 3000 in all
        {40, 100, [](int x, int) { return x % 2 ? kKey : kBody; }}, // 20 runs a row, 2000 in all
    };
    for (const Picture& p : pictures) {
        OwnedBitmap bitmap(MakeBitmap(p.width, p.height, p.colourAt));
        OwnedRegion region(CreateRegionFromBitmap(bitmap.get(), kKey, 0));
        ASSERT_TRUE(region);
        OwnedRegion expected(CreateRectRgn(0, 0, 0, 0));
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x)
                if (p.colourAt(x, y) != kKey) {
                    OwnedRegion pixel(CreateRectRgn(x, y, x + 1, y + 1));
                    CombineRgn(expected.get(), expected.get(), pixel.get(), RGN_OR);
                }
        EXPECT_TRUE(EqualRgn(region.get(), expected.get())) << p.width << " x " << p.height;
    }
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
    EXPECT_EQ(CreateRegionFromBitmap(nullptr, kKey, 0), nullptr);
    OwnedBitmap plain(MakeBitmap(30, 20, [](int, int) { return kBody; }));
    EXPECT_EQ(CreateRegionFromBitmap(plain.get(), kKey, 0, NoRegion), nullptr);
    OwnedBitmap checked(MakeBitmap(100, 60, Checked));
    EXPECT_EQ(CreateRegionFromBitmap(checked.get(), kKey, 0, FirstRegionOnly), nullptr);
    EXPECT_EQ(regionCalls, 2);
}

} // namespace
