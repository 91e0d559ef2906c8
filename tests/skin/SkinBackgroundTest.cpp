// The skinned dialog background: body stretched and repeated, title across the top, raised border, the DC left as it
// was, and no GDI leak.
#include "skin/SkinBackground.h"

#include "tests/support/Canvas.h"
#include "tests/support/GdiObjectCount.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kTitle = RGB(250, 200, 0);
constexpr COLORREF kUpper = RGB(10, 100, 200);
constexpr COLORREF kLower = RGB(200, 50, 60);

TEST(SkinBackground, BodyRepeatedTitleOnTopRaisedBorderAndTheDCLeftAsItWas) {
    // A body of 4 x 50 whose rows 0..24 are one colour and 25..49 another, so that each repetition shows.
    OwnedBitmap body(MakeBitmap(4, 50, [](int, int y) { return y < 25 ? kUpper : kLower; }));
    OwnedBitmap title(MakeBitmap(6, 10, [](int, int) { return kTitle; }));
    Canvas canvas(200, 120, RGB(0, 0, 0));
    PaintSkinnedBackground(canvas.hdc(), 200, 120, body.get(), title.get());
    EXPECT_EQ(canvas.Pixel(100, 6), kTitle);
    EXPECT_EQ(canvas.Pixel(150, 55), kUpper); // second band starts at 50, stretched to the whole width
    EXPECT_EQ(canvas.Count(RGB(0, 0, 0)), 0);
    EXPECT_EQ(canvas.Pixel(0, 60), RGB(224, 224, 224)) << "the raised border";
    OwnedRegion clip(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(GetClipRgn(canvas.hdc(), clip.get()), 0) << "no clipping left behind";
    Canvas flat(50, 20, RGB(0, 0, 0));
    PaintSkinnedBackground(flat.hdc(), 50, 0, body.get(), title.get());
    EXPECT_EQ(flat.Count(RGB(0, 0, 0)), 50 * 20) << "nothing without height";

    DWORD after10 = 0;
    for (int i = 0; i < 510; ++i) {
        after10 = i == 10 ? CountGdiObjects() : after10;
        PaintSkinnedBackground(canvas.hdc(), 200, 120, body.get(), title.get());
    }
    EXPECT_EQ(CountGdiObjects(), after10) << "a GDI object left behind by a paint";
}

} // namespace
