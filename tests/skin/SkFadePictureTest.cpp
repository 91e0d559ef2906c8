// The fade-in picture: a missing resource starts nothing, a fade ends with the whole picture shown at its own size,
// and destroying the control mid-fade ends the worker.
#include "skin/SkFadePicture.h"

#include "SkinTestIds.h"
#include "tests/support/Canvas.h"
#include "tests/support/MessagePump.h"

#include <gtest/gtest.h>

namespace {

class SkFadePictureTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(picture.SubclassWindow(
            CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 17, 20, 30, 30, host, nullptr, nullptr, nullptr)));
    }
    void TearDown() override { DestroyWindow(host); }
    PixelRect PlaceInHost() const {
        RECT r = {};
        GetWindowRect(picture.GetSafeHwnd(), &r);
        MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&r), 2);
        return ToPixelRect(r);
    }

    HWND host = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 600, 80, 400, 300, nullptr, nullptr,
                                nullptr, nullptr);
    CSkFadePicture picture;
};

// A missing resource starts nothing. One fade at a time; once done, the control has the picture's size where it was,
// and a paint shows the picture.
TEST_F(SkFadePictureTest, FadeEndsWithThePictureAtItsOwnSize) {
    EXPECT_FALSE(picture.StartFade(4711, 1));
    EXPECT_EQ(PlaceInHost(), (PixelRect{17, 20, 47, 50})) << "the control keeps its size";
    ASSERT_TRUE(picture.StartFade(IDB_FADE_PICTURE, 1));
    EXPECT_FALSE(picture.StartFade(IDB_FADE_PICTURE, 1));
    ASSERT_TRUE(picture.WaitForFade(60000));
    const SIZE size = BitmapSize(picture.GetPicture());
    EXPECT_EQ(PlaceInHost(), (PixelRect{17, 20, 17 + size.cx, 20 + size.cy}));
    const PaintedPixels shown = PaintWindow(picture.GetSafeHwnd());
    EXPECT_EQ(shown.At(170, 30), BitmapPixel(picture.GetPicture(), 170, 30));
}

// A paint between the fade's last step and its end draws nothing and would leave what covered the control then (the
// splash) on the screen: the end of a fade has the control repainted.
TEST_F(SkFadePictureTest, TheEndOfAFadeHasTheControlRepainted) {
    // Already at the picture's size and painted, so that nothing else marks the control for a paint.
    const OwnedBitmap bitmap(static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_FADE_PICTURE), IMAGE_BITMAP, 0, 0, 0)));
    const SIZE size = BitmapSize(bitmap.get());
    SetWindowPos(picture.GetSafeHwnd(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
    PumpPending();
    RECT update = {};
    ASSERT_FALSE(GetUpdateRect(picture.GetSafeHwnd(), &update, FALSE));
    ASSERT_TRUE(picture.StartFade(IDB_FADE_PICTURE, 1));
    ASSERT_TRUE(picture.WaitForFade(60000));
    // Nothing is dispatched meanwhile, so a paint asked for stays pending; the wait wakes when one is.
    const DWORD start = GetTickCount();
    while (!GetUpdateRect(picture.GetSafeHwnd(), &update, FALSE) && GetTickCount() - start < 10000)
        MsgWaitForMultipleObjectsEx(0, nullptr, 10000, QS_PAINT, MWMO_INPUTAVAILABLE);
    EXPECT_EQ(ToPixelRect(update), (PixelRect{0, 0, size.cx, size.cy}));
}

// The first step holds for ten minutes: nothing shows, and DestroyWindow returns only once the worker has ended.
TEST_F(SkFadePictureTest, NothingShowsMidFadeAndDestroyingTheControlEndsTheWorker) {
    ASSERT_TRUE(picture.StartFade(IDB_FADE_PICTURE, 600000));
    const PaintedPixels painted = PaintWindow(picture.GetSafeHwnd(), RGB(1, 2, 3));
    EXPECT_EQ(painted.Count(RGB(1, 2, 3)), painted.width * painted.height);
    EXPECT_FALSE(picture.IsFadeDone());
    DestroyWindow(host);
    EXPECT_TRUE(picture.IsFadeDone());
}

} // namespace
