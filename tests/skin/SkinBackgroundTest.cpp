// The skinned dialog background: body stretched and repeated, title across the top, raised border, DC left as it was.
#include "skin/SkinBackground.h"

#include "tests/support/Canvas.h"
#include "tests/support/GdiObjectCount.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kTitle = RGB(250, 200, 0);
constexpr COLORREF kLight = RGB(224, 224, 224);
constexpr COLORREF kDark = RGB(96, 96, 96);

// A body of 4 x 50 whose rows 0..24 are one colour and 25..49 another, so that each repetition shows.
COLORREF BodyColour(int, int y) {
    return y < 25 ? RGB(10, 100, 200) : RGB(200, 50, 60);
}

class SkinBackgroundTest : public testing::Test {
protected:
    OwnedBitmap body{MakeBitmap(4, 50, BodyColour)};
    OwnedBitmap title{MakeBitmap(6, 10, [](int, int) { return kTitle; })};
};

TEST_F(SkinBackgroundTest, BodyRepeatedTitleOnTopRaisedBorderAndTheDCLeftAsItWas) {
    Canvas canvas(200, 120, RGB(0, 0, 0));
    HGDIOBJ penBefore = GetCurrentObject(canvas.hdc(), OBJ_PEN);
    HGDIOBJ brushBefore = GetCurrentObject(canvas.hdc(), OBJ_BRUSH);
    PaintSkinnedBackground(canvas.hdc(), 200, 120, body.get(), title.get());
    EXPECT_EQ(canvas.Pixel(100, 6), kTitle);
    EXPECT_EQ(canvas.Pixel(100, 30), RGB(200, 50, 60));   // first band, lower half
    EXPECT_EQ(canvas.Pixel(100, 55), RGB(10, 100, 200));  // second band starts at 50
    EXPECT_EQ(canvas.Pixel(150, 105), RGB(10, 100, 200)); // third band at 100, stretched to the whole width
    EXPECT_EQ(canvas.Count(RGB(0, 0, 0)), 0);
    EXPECT_EQ(canvas.Pixel(0, 60), kLight);
    EXPECT_EQ(canvas.Pixel(100, 0), kLight);
    EXPECT_EQ(canvas.Pixel(199, 60), kDark);
    EXPECT_EQ(canvas.Pixel(100, 119), kDark);
    EXPECT_EQ(GetCurrentObject(canvas.hdc(), OBJ_PEN), penBefore);
    EXPECT_EQ(GetCurrentObject(canvas.hdc(), OBJ_BRUSH), brushBefore);
    OwnedRegion clip(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(GetClipRgn(canvas.hdc(), clip.get()), 0) << "no clipping left behind";

    Canvas flat(50, 20, RGB(0, 0, 0));
    PaintSkinnedBackground(flat.hdc(), 50, 0, body.get(), title.get());
    EXPECT_EQ(flat.Count(RGB(0, 0, 0)), 50 * 20) << "nothing without height";
}

TEST_F(SkinBackgroundTest, NoGdiLeak) {
    Canvas canvas(100, 100);
    for (int i = 0; i < 10; ++i)
        PaintSkinnedBackground(canvas.hdc(), 100, 100, body.get(), title.get());
    const DWORD after10 = CountGdiObjects();
    for (int i = 0; i < 500; ++i)
        PaintSkinnedBackground(canvas.hdc(), 100, 100, body.get(), title.get());
    EXPECT_EQ(CountGdiObjects(), after10);
}

} // namespace
