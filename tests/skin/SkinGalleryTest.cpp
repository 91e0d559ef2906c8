// A gallery of the skin for people to look at: the skinned background, a fading picture after its fade, and buttons
// in every state, saved as build/skin_gallery.png.
#include "skin/SkButton.h"
#include "skin/SkFadePicture.h"
#include "skin/SkinBackground.h"
#include "skin/SkinLoader.h"
#include "skin/SkinSettings.h"

#include "framework/Dialog.h"

#include "SkinTestIds.h"
#include "resources/resource.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/MessagePump.h"
#include "tests/support/Screenshot.h"
#include "tests/support/SkinForTests.h"

#include <gtest/gtest.h>

namespace {

class GalleryButton : public CSkButton {
public:
    using CSkButton::hovering;
};

class GalleryDialog : public CDialog {
public:
    GalleryDialog() : CDialog(IDD_SKIN_GALLERY) {}
    CSkFadePicture picture;
    GalleryButton buttons[9];

protected:
    BOOL OnInitDialog() override {
        SetWindowPos(GetSafeHwnd(), HWND_TOPMOST, 20, 20, 640, 330, SWP_NOACTIVATE);
        picture.SubclassDlgItem(IDC_GALLERY_PICTURE, GetSafeHwnd());
        SetWindowPos(picture.GetSafeHwnd(), nullptr, 24, 48, 10, 10, SWP_NOZORDER);
        // Normal, hovered, pressed, focused, disabled, two check buttons, a caption alone and a bitmap pair.
        const int icons[9] = {IDI_PLAY_ON, IDI_PLAY_ON, IDI_STOP_ON, IDI_ADD_ON, IDI_ADD_ON, IDI_TICK_ON, IDI_TICK_ON};
        for (int i = 0; i < 9; ++i) {
            CSkButton& b = buttons[i];
            b.SubclassDlgItem(IDC_GALLERY_NORMAL + i, GetSafeHwnd());
            const bool check = b.IsCheckButton();
            SetWindowPos(b.GetSafeHwnd(), nullptr, 252 + i % 3 * 126, 48 + i / 3 * 88, 118, check ? 40 : 78,
                         SWP_NOZORDER);
            if (icons[i])
                b.AssignIcons(icons[i], icons[i] + 1); // each off icon follows its on icon
            b.UseParentBackground(false);
            b.SetImagePlacement(check ? 0 : 1, false);
            b.SetStateColour(CSkButton::kNormalText, RGB(49, 66, 97), false);
            b.SetStateColour(CSkButton::kFocusText, RGB(49, 66, 97), false);
            b.SetStateColour(CSkButton::kHotText, RGB(20, 20, 20), false);
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

TEST(SkinGallery, SavesAScreenshotOfEveryButtonStateOverTheSkin) {
    SkinRegistryValue registry; // the built-in look, whatever the machine has set
    const SkinSettings saved = skinSettings;
    LoadSkin();
    GalleryDialog dialog;
    ASSERT_TRUE(dialog.Create());
    ShowWindow(dialog.GetSafeHwnd(), SW_SHOW);
    ASSERT_TRUE(dialog.picture.StartFade(IDB_FADE_PICTURE, 5));
    ASSERT_TRUE(dialog.picture.WaitForFade(60000));
    SendMessageA(dialog.buttons[2].GetSafeHwnd(), BM_SETSTATE, TRUE, 0);
    SetFocus(dialog.buttons[3].GetSafeHwnd());
    EnableWindow(dialog.buttons[4].GetSafeHwnd(), FALSE);
    dialog.buttons[1].hovering = true;
    RedrawWindow(dialog.GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    PumpPending();
    EXPECT_TRUE(SaveWindowPng(dialog.GetSafeHwnd(), BuildFolder() + "skin_gallery.png"));
    dialog.DestroyWindow();
    skinSettings = saved;
}

} // namespace
