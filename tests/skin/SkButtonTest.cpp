// The skinned button: which image shows in which state, masks, press shift, a caption kept inside its item, hover
// tracking, clicks and double clicks, check mode, the dialog code, and no GDI leak. Pixels are checked by painting
// into a memory canvas through DrawItem.
#include "skin/SkButton.h"

#include "SkinTestIds.h"
#include "tests/support/Canvas.h"
#include "tests/support/GdiObjectCount.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kFace = RGB(10, 20, 30);
constexpr int kSize = 48;

// A visible top-level window that counts the clicks its buttons report.
class TestParent : public CWnd {
public:
    TestParent() {
        CWnd::RegisterWindowClass("MovaraSkinTestParent", CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW));
        // Out of the way of other tests' windows, and on top: hover tracking asks which window is under a point.
        CreateEx(WS_EX_TOPMOST, "MovaraSkinTestParent", "Skin test", WS_POPUP | WS_VISIBLE, {900, 700, 1200, 900},
                 nullptr, 0);
        SetForegroundWindow(GetSafeHwnd());
    }
    ~TestParent() override { DestroyWindow(); }
    int clicks = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        clicks += message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED;
        return message == WM_COMMAND ? 0 : CWnd::WindowProc(message, wParam, lParam);
    }
};

// A button whose hover state a test can force, as the pointer cannot be moved in tests.
class TestButton : public CSkButton {
public:
    void ForceHover(bool flag) { hovering = flag; }
};

class SkButtonTest : public testing::Test {
protected:
    void Make(const char* caption = "", DWORD style = BS_PUSHBUTTON) {
        ASSERT_TRUE(button.Create(caption, style | WS_VISIBLE | WS_TABSTOP, {10, 10, 10 + kSize, 10 + kSize},
                                  parent.GetSafeHwnd(), 77));
        for (int index : {CSkButton::kNormalBack, CSkButton::kHotBack, CSkButton::kFocusBack})
            button.SetStateColour(index, kFace, false);
    }
    // Paints the button into target at item as the platform's draw request would.
    void Paint(UINT state = 0, Canvas* target = nullptr, RECT item = {0, 0, kSize, kSize}) {
        Canvas& into = target ? *target : canvas;
        if (!target)
            canvas.Fill(RGB(255, 255, 255));
        DRAWITEMSTRUCT draw = {ODT_BUTTON, 0, 0, ODA_DRAWENTIRE, state, button.GetSafeHwnd(), into.hdc(), item, 0};
        button.DrawItem(draw);
    }
    void MoveTo(int x, int y) { SendMessageA(button.GetSafeHwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageA(button.GetSafeHwnd(), message, wParam, lParam);
    }

    TestParent parent;
    TestButton button;
    Canvas canvas{kSize, kSize};
};

// Which image shows: the off image (blue) unless the button is hovered or pressed, the on image (red) alone in every
// state, and a check button's off image while unchecked even when hovered; greyed when disabled. The 32 x 32 icon is
// centred at its own size, shifted by (1, 1) while pressed, and a checked button does not move it.
struct ImageState {
    DWORD style;
    bool hover;
    UINT drawState;
    bool checked;
    COLORREF shown;
};

class SkButtonImage : public SkButtonTest, public testing::WithParamInterface<ImageState> {};

TEST_P(SkButtonImage, ShowsTheImageOfItsState) {
    const ImageState& c = GetParam();
    Make("", c.style);
    ASSERT_EQ(button.AssignIcons(IDI_TEST_RED, IDI_TEST_BLUE), CSkButton::Result::Ok);
    Send(BM_SETCHECK, c.checked ? BST_CHECKED : BST_UNCHECKED);
    button.ForceHover(c.hover);
    Paint(c.drawState);
    const int at = c.drawState & ODS_SELECTED ? 9 : 8;
    if (c.drawState & ODS_DISABLED)
        EXPECT_EQ(canvas.Count(kRed) + canvas.Count(kBlue), 0) << "greyed";
    else
        EXPECT_EQ(canvas.Count(c.shown, at, at, at + 32, at + 32), 32 * 32);
}

INSTANTIATE_TEST_SUITE_P(SkButton, SkButtonImage,
                         testing::Values(ImageState{BS_PUSHBUTTON, false, 0, false, kBlue},
                                         ImageState{BS_PUSHBUTTON, true, 0, false, kRed},
                                         ImageState{BS_PUSHBUTTON, false, ODS_SELECTED, false, kRed},
                                         ImageState{BS_PUSHBUTTON, true, ODS_DISABLED, false, 0},
                                         ImageState{BS_AUTOCHECKBOX, true, 0, false, kBlue},
                                         ImageState{BS_AUTOCHECKBOX, false, 0, true, kRed}));

TEST_F(SkButtonTest, BitmapIsDrawnThroughItsMaskAndShiftsWhenPressed) {
    Make();
    ASSERT_EQ(button.AssignBitmaps(IDB_TEST_RED_KEYED, kGreen, IDB_TEST_BLUE_KEYED, kGreen), CSkButton::Result::Ok);
    // 20 x 20 at (14, 14); the red square is 3 pixels inside the key-coloured border: 17 .. 30.
    Paint();
    EXPECT_EQ(canvas.Count(kBlue, 17, 17, 31, 31), 14 * 14);
    EXPECT_EQ(canvas.Pixel(15, 24), kFace) << "the key colour is transparent";
    EXPECT_EQ(canvas.Count(kGreen), 0);
    Paint(ODS_SELECTED);
    EXPECT_EQ(canvas.Count(kRed, 18, 18, 32, 32), 14 * 14);
    Paint(ODS_DISABLED);
    EXPECT_EQ(canvas.Count(kRed) + canvas.Count(kBlue) + canvas.Count(kGreen), 0) << "greyed";
}

TEST_F(SkButtonTest, MissingResourcesAndRefusedSettingsChangeNothing) {
    Make();
    // The first image exists, the second does not: neither is taken.
    EXPECT_EQ(button.AssignIcons(IDI_TEST_RED, 4243), CSkButton::Result::NoImageInfo);
    EXPECT_EQ(button.AssignBitmaps(IDB_TEST_RED_KEYED, kGreen, 4245, kGreen), CSkButton::Result::NoImageInfo);
    Paint();
    EXPECT_EQ(canvas.Count(kFace), kSize * kSize);

    EXPECT_EQ(button.SetImagePlacement(4), CSkButton::Result::BadPlacement);
    EXPECT_EQ(button.SetStateColour(-1, kGreen), CSkButton::Result::BadColourIndex);
    EXPECT_EQ(button.SetPressShift(2), CSkButton::Result::BadPressStyle);
}

// A caption taller than the button stays inside its item rectangle on a DC that is not clipped.
TEST_F(SkButtonTest, CaptionStaysInsideItsItem) {
    Make("One Two Three Four Five Six Seven Eight Nine Ten Eleven Twelve");
    Canvas tall(kSize, 3 * kSize, RGB(255, 255, 255));
    Paint(0, &tall, {0, kSize, kSize, 2 * kSize});
    EXPECT_GT(tall.CountOther(RGB(255, 255, 255), 0, kSize, kSize, 2 * kSize), 0);
    EXPECT_EQ(tall.CountOther(RGB(255, 255, 255), 0, 0, kSize, kSize), 0) << "above the item";
    EXPECT_EQ(tall.CountOther(RGB(255, 255, 255), 0, 2 * kSize, kSize, 3 * kSize), 0) << "below the item";
}

TEST_F(SkButtonTest, HoverStartsOnAMoveAndEndsOnLeaveFocusLossCancelOrAnotherWindow) {
    Make();
    for (const auto& [message, wParam] : {std::pair<UINT, WPARAM>{WM_MOUSELEAVE, 0},
                                          {WM_KILLFOCUS, 0},
                                          {WM_CANCELMODE, 0},
                                          {WM_ACTIVATE, WA_INACTIVE}}) {
        MoveTo(20, 20);
        ASSERT_TRUE(button.IsHovering());
        Send(message, wParam);
        EXPECT_FALSE(button.IsHovering()) << message;
    }
}

// Sent, or posted through the message loop where PreTranslateMessage turns the double click into a press.
TEST_F(SkButtonTest, DoubleClickCountsAsTwoClicks) {
    Make();
    HWND hwnd = button.GetSafeHwnd();
    const UINT clicks[] = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP};
    for (UINT message : clicks)
        Send(message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(20, 20));
    EXPECT_EQ(parent.clicks, 2);
    for (UINT message : clicks)
        PostMessageA(hwnd, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(20, 20));
    MSG msg = {};
    for (UINT message : clicks) {
        ASSERT_TRUE(PeekMessageA(&msg, hwnd, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE));
        ASSERT_EQ(msg.message, message);
        if (!CWnd::PreTranslateChain(&msg))
            DispatchMessageA(&msg);
        EXPECT_EQ(msg.message, message == WM_LBUTTONDBLCLK ? static_cast<UINT>(WM_LBUTTONDOWN) : message);
    }
    EXPECT_EQ(parent.clicks, 4);
}

// A click toggles a check button and reaches the parent; an indeterminate state counts as checked.
TEST_F(SkButtonTest, CheckState) {
    Make("", BS_AUTOCHECKBOX);
    Send(BM_CLICK);
    EXPECT_EQ(Send(BM_GETCHECK), BST_CHECKED);
    EXPECT_EQ(parent.clicks, 1);
    Send(BM_CLICK);
    EXPECT_FALSE(button.IsChecked());
    EXPECT_EQ(parent.clicks, 2);
    Send(BM_SETCHECK, BST_INDETERMINATE);
    EXPECT_TRUE(button.IsChecked());
}

// The dialog manager moves the default state with BM_SETSTYLE; the button stays owner drawn.
TEST_F(SkButtonTest, SubclassingMakesTheButtonOwnerDrawnAndKeepsItsDefaultState) {
    Make("", BS_DEFPUSHBUTTON);
    EXPECT_EQ(GetWindowLongPtrA(button.GetSafeHwnd(), GWL_STYLE) & 0x1F, BS_OWNERDRAW);
    EXPECT_TRUE(button.IsDefault());
    EXPECT_EQ(Send(WM_GETDLGCODE) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON | DLGC_BUTTON),
              DLGC_DEFPUSHBUTTON | DLGC_BUTTON);
    Send(BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    EXPECT_FALSE(button.IsDefault());
    EXPECT_EQ(GetWindowLongPtrA(button.GetSafeHwnd(), GWL_STYLE) & 0x1F, BS_OWNERDRAW);
    EXPECT_TRUE(Send(WM_GETDLGCODE) & DLGC_UNDEFPUSHBUTTON);
}

// A thousand paints in every state, of an icon button with a caption and hint and then of a bitmap button, leave no
// GDI object behind.
TEST_F(SkButtonTest, NoGdiLeakOverAThousandPaints) {
    Make("Start Converting");
    ASSERT_EQ(button.AssignIcons(IDI_TEST_RED, IDI_TEST_BLUE), CSkButton::Result::Ok);
    button.UseParentBackground(false);
    button.SetHint("hint");
    const UINT states[] = {0, ODS_SELECTED, ODS_FOCUS, ODS_DISABLED};
    for (const bool bitmaps : {false, true}) {
        if (bitmaps) {
            ASSERT_EQ(button.AssignBitmaps(IDB_TEST_RED_KEYED, kGreen, IDB_TEST_BLUE_KEYED, kGreen),
                      CSkButton::Result::Ok);
        }
        DWORD after10 = 0;
        for (int i = 0; i < 1010; ++i) {
            after10 = i == 10 ? CountGdiObjects() : after10;
            button.ForceHover(i % 3 == 0);
            Paint(states[i % 4]);
        }
        EXPECT_EQ(CountGdiObjects(), after10) << (bitmaps ? "bitmaps" : "icons");
    }
}

} // namespace
