// The fade-in picture: a missing resource starts nothing, a fade ends with the whole picture shown at its own size,
// and destroying the control mid-fade ends the worker.
#include "skin/SkFadePicture.h"

#include "SkinTestIds.h"
#include "tests/support/Canvas.h"
#include "tests/support/MessagePump.h"

#include <gtest/gtest.h>

namespace {

class FadeHost {
public:
    FadeHost() {
        window = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 600, 80, 400, 300, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        placeholder = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFT, 17, 20, 30, 30, window,
                                      reinterpret_cast<HMENU>(1058), GetModuleHandleA(nullptr), nullptr);
    }
    ~FadeHost() {
        if (IsWindow(window))
            DestroyWindow(window);
    }
    HWND window = nullptr;
    HWND placeholder = nullptr;
};

TEST(SkFadePicture, MissingResourceStartsNothing) {
    FadeHost host;
    CSkFadePicture picture;
    ASSERT_TRUE(picture.SubclassWindow(host.placeholder));
    EXPECT_FALSE(picture.StartFade(4711, 1));
    EXPECT_EQ(picture.GetPicture(), nullptr);
    PumpPending();
    EXPECT_FALSE(picture.IsFadeDone());
    EXPECT_FALSE(picture.WaitForFade(50));
    RECT rect = {};
    GetClientRect(host.placeholder, &rect);
    EXPECT_EQ(rect.right, 30) << "the control keeps its size";
}

TEST(SkFadePicture, FadeEndsWithThePictureAtItsOwnSize) {
    FadeHost host;
    CSkFadePicture picture;
    ASSERT_TRUE(picture.SubclassWindow(host.placeholder));
    ASSERT_TRUE(picture.StartFade(IDB_FADE_PICTURE, 1));
    EXPECT_FALSE(picture.StartFade(IDB_FADE_PICTURE, 1)) << "one fade at a time";
    ASSERT_TRUE(picture.WaitForFade(60000));
    const SIZE size = BitmapSize(picture.GetPicture());
    RECT rect = {};
    GetWindowRect(host.placeholder, &rect);
    EXPECT_EQ(rect.right - rect.left, size.cx);
    EXPECT_EQ(rect.bottom - rect.top, size.cy);
    POINT origin = {rect.left, rect.top};
    ScreenToClient(host.window, &origin);
    EXPECT_EQ(origin.x, 17) << "resized, not moved";
    EXPECT_EQ(origin.y, 20);

    // Once done, a paint shows the picture as it is.
    const PaintedPixels shown = PaintWindow(host.placeholder);
    EXPECT_EQ(shown.At(170, 30), BitmapPixel(picture.GetPicture(), 170, 30));
    EXPECT_EQ(shown.At(0, 0), BitmapPixel(picture.GetPicture(), 0, 0));
}

TEST(SkFadePicture, NothingShowsMidFadeAndDestroyingTheControlEndsTheWorker) {
    FadeHost host;
    {
        CSkFadePicture picture;
        ASSERT_TRUE(picture.SubclassWindow(host.placeholder));
        // The first step holds for ten minutes: DestroyWindow returns only once the worker has ended.
        ASSERT_TRUE(picture.StartFade(IDB_FADE_PICTURE, 600000));
        EXPECT_FALSE(picture.IsFadeDone());
        const PaintedPixels painted = PaintWindow(host.placeholder, RGB(1, 2, 3));
        EXPECT_EQ(painted.Count(RGB(1, 2, 3)), painted.width * painted.height);
        DestroyWindow(host.window);
        EXPECT_TRUE(picture.IsFadeDone());
    }
}

} // namespace
