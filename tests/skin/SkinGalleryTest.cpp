// A test-only gallery of the skin: the skinned background, a fading picture after its fade, and buttons in every
// state. Saves build/skin_gallery.png for people to look at, and checks that what it saved is what was painted.
#include "skin/SkButton.h"
#include "skin/SkFadePicture.h"
#include "skin/SkinBackground.h"
#include "skin/SkinLoader.h"
#include "skin/SkinSettings.h"

#include "framework/Dialog.h"

#include "SkinTestIds.h"
#include "tests/support/Canvas.h"
#include "tests/support/MessagePump.h"
#include "tests/support/SkinForTests.h"
#include "resources/resource.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Screenshot.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 330;
constexpr COLORREF kCaption = RGB(49, 66, 97);

class GalleryButton : public CSkButton {
public:
    void ForceHover() {
        hovering = true;
        Invalidate();
    }
};

class GalleryDialog : public CDialog {
public:
    GalleryDialog() : CDialog(IDD_SKIN_GALLERY) {}

    CSkFadePicture picture;
    GalleryButton buttons[9];

protected:
    BOOL OnInitDialog() override {
        SetWindowPos(GetSafeHwnd(), HWND_TOPMOST, 20, 20, kWidth, kHeight, SWP_NOACTIVATE);
        picture.SubclassDlgItem(IDC_GALLERY_PICTURE, GetSafeHwnd());
        SetWindowPos(picture.GetSafeHwnd(), nullptr, 24, 48, 10, 10, SWP_NOZORDER);

        struct ButtonSetup {
            int id;
            int onIcon;
            int offIcon;
        };
        const ButtonSetup setups[9] = {
            {IDC_GALLERY_NORMAL, IDI_PLAY_ON, IDI_PLAY_OFF},      {IDC_GALLERY_HOVER, IDI_PLAY_ON, IDI_PLAY_OFF},
            {IDC_GALLERY_PRESSED, IDI_STOP_ON, IDI_STOP_OFF},     {IDC_GALLERY_FOCUSED, IDI_ADD_ON, IDI_ADD_OFF},
            {IDC_GALLERY_DISABLED, IDI_ADD_ON, IDI_ADD_OFF},      {IDC_GALLERY_CHECK_OFF, IDI_TICK_ON, IDI_TICK_OFF},
            {IDC_GALLERY_CHECK_ON, IDI_TICK_ON, IDI_TICK_OFF},    {IDC_GALLERY_TEXT, 0, 0},
            {IDC_GALLERY_BITMAP, 0, 0},
        };
        for (int i = 0; i < 9; ++i) {
            GalleryButton& b = buttons[i];
            b.SubclassDlgItem(setups[i].id, GetSafeHwnd());
            const int column = i % 3;
            const int row = i / 3;
            const bool wide = setups[i].id == IDC_GALLERY_CHECK_OFF || setups[i].id == IDC_GALLERY_CHECK_ON;
            SetWindowPos(b.GetSafeHwnd(), nullptr, 252 + column * 126, 48 + row * 88, 118, wide ? 40 : 78,
                         SWP_NOZORDER);
            if (setups[i].onIcon)
                b.AssignIcons(setups[i].onIcon, setups[i].offIcon);
            b.UseParentBackground(false);
            b.SetImagePlacement(wide ? 0 : 1, false);
            b.SetStateColour(CSkButton::kNormalText, kCaption, false);
            b.SetStateColour(CSkButton::kFocusText, kCaption, false);
            b.SetStateColour(CSkButton::kHotText, RGB(20, 20, 20), false);
            b.SetHint("A skinned button");
        }
        buttons[8].AssignBitmaps(IDB_COMBO_ARROW, RGB(0, 255, 0), IDB_VSCROLL_DOWN, RGB(0, 255, 0));
        buttons[6].SetChecked(true, false);
        return TRUE;
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message != WM_ERASEBKGND)
            return CDialog::WindowProc(message, wParam, lParam);
        PaintSkinnedDialogBackground(GetSafeHwnd(), reinterpret_cast<HDC>(wParam));
        return 1;
    }
};

TEST(SkinGallery, ShowsEveryButtonStateOverTheSkinAndSavesAScreenshot) {
    SkinRegistryValue registry; // the built-in look, whatever the machine has set
    const SkinSettings saved = skinSettings;
    LoadSkin();

    GalleryDialog dialog;
    ASSERT_TRUE(dialog.Create());
    HWND window = dialog.GetSafeHwnd();
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    UpdateWindow(window);
    ASSERT_TRUE(dialog.picture.StartFade(IDB_FADE_PICTURE, 5));
    ASSERT_TRUE(dialog.picture.WaitForFade(60000));

    ::SendMessageA(dialog.buttons[2].GetSafeHwnd(), BM_SETSTATE, TRUE, 0);
    ::SetFocus(dialog.buttons[3].GetSafeHwnd());
    EnableWindow(dialog.buttons[4].GetSafeHwnd(), FALSE);
    PumpPending();
    dialog.buttons[1].ForceHover();
    PumpPending();

    OwnedBitmap shot(CaptureWindow(window));
    ASSERT_TRUE(shot);
    // The picture is whole where the control sits, and the title strip and a button caption show.
    RECT pictureRect = {};
    GetWindowRect(dialog.picture.GetSafeHwnd(), &pictureRect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&pictureRect), 2);
    EXPECT_EQ(BitmapPixel(shot.get(), pictureRect.left + 160, pictureRect.top + 30),
              BitmapPixel(dialog.picture.GetPicture(), 160, 30));
    EXPECT_EQ(BitmapPixel(shot.get(), 300, 12), BitmapPixel(skinSettings.titleBitmap, 100, 12));

    const std::string path = BuildFolder() + "skin_gallery.png";
    DeleteFileA(path.c_str());
    ASSERT_TRUE(SaveBitmapPng(shot.get(), path)) << path;
    std::printf("gallery saved as %s\n", path.c_str());

    dialog.DestroyWindow();
    skinSettings = saved;
}

} // namespace
