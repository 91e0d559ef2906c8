// The skinned button: which image shows in which state, placement and press shift, colours, frames, hover tracking,
// clicks and double clicks, check mode, the dialog code, focus on disabling, hints, the parent background, and no GDI
// leak. Pixels are checked by painting into a memory canvas through DrawItem.
#include "skin/SkButton.h"

#include "framework/Dialog.h"

#include "SkinTestIds.h"
#include "tests/support/Canvas.h"
#include "tests/support/GdiObjectCount.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kFace = RGB(10, 20, 30);
constexpr int kSize = 48;

// A visible top-level window that fills its client area with one colour and counts the clicks its buttons report.
class TestParent : public CWnd {
public:
    TestParent() {
        CWnd::RegisterWindowClass("MovaraSkinTestParent", CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW));
        // Out of the way of other tests' windows, and on top: hover tracking asks which window is under a point.
        const RECT rect = {900, 700, 1200, 900};
        CreateEx(WS_EX_TOPMOST, "MovaraSkinTestParent", "Skin test", WS_POPUP | WS_VISIBLE, rect, nullptr, 0);
        SetForegroundWindow(GetSafeHwnd());
        UpdateWindow(GetSafeHwnd());
    }
    ~TestParent() override { DestroyWindow(); }

    COLORREF fill = RGB(0, 128, 0);
    int clicks = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
        case WM_ERASEBKGND: return OnEraseBackground(reinterpret_cast<HDC>(wParam));
        case WM_COMMAND: return OnCommand(wParam);
        default: return CWnd::WindowProc(message, wParam, lParam);
        }
    }
    LRESULT OnEraseBackground(HDC dc) {
        OwnedBrush brush(CreateSolidBrush(fill));
        RECT client = GetClientRect();
        FillRect(dc, &client, brush.get());
        return 1;
    }
    LRESULT OnCommand(WPARAM wParam) {
        if (HIWORD(wParam) == BN_CLICKED)
            ++clicks;
        return 0;
    }
};

// A button whose hover state a test can force, as the pointer cannot be moved in tests.
class TestButton : public CSkButton {
public:
    void ForceHover(bool flag) { hovering = flag; }
    int Placement() const { return imagePlacement; }
};

class SkButtonTest : public testing::Test {
protected:
    TestButton& Make(const char* caption = "", DWORD style = BS_PUSHBUTTON, int x = 10, int y = 10) {
        const RECT rect = {x, y, x + kSize, y + kSize};
        EXPECT_TRUE(button.Create(caption, style | WS_VISIBLE | WS_TABSTOP, rect, parent.GetSafeHwnd(), 77));
        button.SetStateColour(CSkButton::kNormalBack, kFace, false);
        button.SetStateColour(CSkButton::kHotBack, kFace, false);
        button.SetStateColour(CSkButton::kFocusBack, kFace, false);
        return button;
    }

    // Paints the button into the canvas as the platform's draw request would.
    void Paint(UINT state = 0) {
        canvas.Fill(RGB(255, 255, 255));
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_BUTTON;
        item.hwndItem = button.GetSafeHwnd();
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = state;
        item.hDC = canvas.hdc();
        item.rcItem = {0, 0, kSize, kSize};
        button.DrawItem(item);
    }

    void MoveTo(int x, int y, WPARAM keys = 0) {
        ::SendMessageA(button.GetSafeHwnd(), WM_MOUSEMOVE, keys, MAKELPARAM(x, y));
    }

    TestParent parent;
    TestButton button;
    Canvas canvas{kSize, kSize};
};

// Which image shows: the off image (blue) unless the button is hovered or pressed, the on image (red) alone in every
// state, and a check button's off image while unchecked even when hovered.
struct ImageState {
    const char* name;
    DWORD style;
    int offIcon;
    bool hover;
    UINT drawState;
    bool checked;
    COLORREF shown;
};

const ImageState kImageStates[] = {
    {"OrdinaryNormal", BS_PUSHBUTTON, IDI_TEST_BLUE, false, 0, false, kBlue},
    {"OrdinaryHovered", BS_PUSHBUTTON, IDI_TEST_BLUE, true, 0, false, kRed},
    {"OrdinaryPressed", BS_PUSHBUTTON, IDI_TEST_BLUE, false, ODS_SELECTED, false, kRed},
    {"OnImageOnlyNormal", BS_PUSHBUTTON, 0, false, 0, false, kRed},
    {"OnImageOnlyHovered", BS_PUSHBUTTON, 0, true, 0, false, kRed},
    {"CheckUncheckedHovered", BS_AUTOCHECKBOX, IDI_TEST_BLUE, true, 0, false, kBlue},
    {"CheckChecked", BS_AUTOCHECKBOX, IDI_TEST_BLUE, false, 0, true, kRed},
};

class SkButtonImage : public SkButtonTest, public testing::WithParamInterface<ImageState> {};

TEST_P(SkButtonImage, ShowsTheImageOfItsState) {
    const ImageState& c = GetParam();
    Make("", c.style);
    ASSERT_EQ(button.AssignIcons(IDI_TEST_RED, c.offIcon), CSkButton::Result::Ok);
    if (c.checked)
        ::SendMessageA(button.GetSafeHwnd(), BM_SETCHECK, BST_CHECKED, 0);
    button.ForceHover(c.hover);
    Paint(c.drawState);
    EXPECT_EQ(canvas.Pixel(25, 25), c.shown);
}

INSTANTIATE_TEST_SUITE_P(SkButton, SkButtonImage, testing::ValuesIn(kImageStates),
                         [](const testing::TestParamInfo<ImageState>& info) { return std::string(info.param.name); });

TEST_F(SkButtonTest, IconIsCentredAtItsOwnSizeWithoutCaption) {
    Make();
    ASSERT_EQ(button.AssignIcons(IDI_TEST_RED, 0), CSkButton::Result::Ok);
    Paint();
    // 32 x 32 in 48 x 48: from 8 to 40.
    EXPECT_EQ(canvas.Count(kRed), 32 * 32);
    EXPECT_EQ(canvas.Count(kRed, 8, 8, 40, 40), 32 * 32);
}

TEST_F(SkButtonTest, CheckButtonDrawsCheckedAsPressedWithoutMovingItsImage) {
    Make("", BS_AUTOCHECKBOX);
    ASSERT_EQ(button.AssignIcons(IDI_TEST_RED, IDI_TEST_BLUE), CSkButton::Result::Ok);
    ::SendMessageA(button.GetSafeHwnd(), BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(::SendMessageA(button.GetSafeHwnd(), BM_GETCHECK, 0, 0), BST_CHECKED);
    Paint();
    EXPECT_EQ(canvas.Pixel(8, 8), kRed);
    EXPECT_EQ(canvas.Pixel(40, 40), kFace);
    ::SendMessageA(button.GetSafeHwnd(), BM_SETCHECK, BST_INDETERMINATE, 0);
    EXPECT_TRUE(button.IsChecked());
    ::SendMessageA(button.GetSafeHwnd(), BM_SETCHECK, BST_UNCHECKED, 0);
    EXPECT_FALSE(button.IsChecked());
    // An ordinary button has no check state.
    TestButton plain;
    ASSERT_TRUE(plain.Create("", BS_PUSHBUTTON, {60, 10, 80, 30}, parent.GetSafeHwnd(), 5));
    plain.SetChecked(true);
    ::SendMessageA(plain.GetSafeHwnd(), BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_FALSE(plain.IsChecked());
    EXPECT_EQ(::SendMessageA(plain.GetSafeHwnd(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(SkButtonTest, BitmapIsDrawnThroughItsMaskAndShiftsWhenPressed) {
    Make();
    ASSERT_EQ(button.AssignBitmaps(IDB_TEST_RED_KEYED, kGreen, IDB_TEST_BLUE_KEYED, kGreen), CSkButton::Result::Ok);
    // 20 x 20 at (14, 14); the red square is 3 pixels inside the key-coloured border: 17 .. 30.
    Paint();
    EXPECT_EQ(canvas.Pixel(17, 17), kBlue);
    EXPECT_EQ(canvas.Pixel(30, 30), kBlue);
    EXPECT_EQ(canvas.Pixel(15, 24), kFace) << "the key colour is transparent";
    EXPECT_EQ(canvas.Count(kGreen), 0);
    Paint(ODS_SELECTED);
    EXPECT_EQ(canvas.Pixel(17, 17), kFace);
    EXPECT_EQ(canvas.Pixel(31, 31), kRed);

    ASSERT_EQ(button.SetPressShift(1), CSkButton::Result::Ok);
    Paint(ODS_SELECTED);
    EXPECT_EQ(canvas.Pixel(17, 19), kRed);
    EXPECT_EQ(canvas.Pixel(17, 18), kFace);
}

TEST_F(SkButtonTest, DisabledImagesAreGrey) {
    Make();
    ASSERT_EQ(button.AssignIcons(IDI_TEST_RED, 0), CSkButton::Result::Ok);
    Paint(ODS_DISABLED);
    EXPECT_EQ(canvas.Count(kRed), 0);
    const COLORREF centre = canvas.Pixel(24, 24);
    EXPECT_EQ(GetRValue(centre), GetGValue(centre)) << std::hex << centre;
    EXPECT_EQ(GetGValue(centre), GetBValue(centre)) << std::hex << centre;

    ASSERT_EQ(button.AssignBitmaps(IDB_TEST_RED_KEYED, kGreen, 0, 0), CSkButton::Result::Ok);
    Paint(ODS_DISABLED);
    EXPECT_EQ(canvas.Count(kRed), 0);
    EXPECT_EQ(canvas.Count(kGreen), 0);
}

TEST_F(SkButtonTest, MissingResourcesAndRefusedSettingsChangeNothing) {
    Make();
    EXPECT_EQ(button.AssignIcons(4242, 0), CSkButton::Result::NoImageInfo);
    EXPECT_EQ(button.AssignIcons(IDI_TEST_RED, 4243), CSkButton::Result::NoImageInfo);
    EXPECT_EQ(button.AssignBitmaps(4244, kGreen, 0, 0), CSkButton::Result::NoImageInfo);
    EXPECT_EQ(button.AssignBitmaps(IDB_TEST_RED_KEYED, kGreen, 4245, kGreen), CSkButton::Result::NoImageInfo);
    Paint();
    EXPECT_EQ(canvas.Count(kFace), kSize * kSize);

    ASSERT_EQ(button.AssignIcons(IDI_TEST_RED, 0), CSkButton::Result::Ok);
    button.SetWindowText("Go");
    ASSERT_EQ(button.SetImagePlacement(1), CSkButton::Result::Ok);
    EXPECT_EQ(button.SetImagePlacement(4), CSkButton::Result::BadPlacement);
    EXPECT_EQ(button.SetImagePlacement(-1), CSkButton::Result::BadPlacement);
    Paint();
    EXPECT_EQ(canvas.Pixel(24, 3), kRed) << "still above the caption";
    const COLORREF before = button.GetStateColour(5);
    EXPECT_EQ(button.SetStateColour(6, kGreen), CSkButton::Result::BadColourIndex);
    EXPECT_EQ(button.SetStateColour(-1, kGreen), CSkButton::Result::BadColourIndex);
    EXPECT_EQ(button.GetStateColour(5), before);
    EXPECT_EQ(button.SetPressShift(2), CSkButton::Result::BadPressStyle);
    Paint(ODS_SELECTED);
    EXPECT_EQ(canvas.Pixel(25, 4), kRed) << "the shift stays (1, 1)";
}

TEST_F(SkButtonTest, CaptionUsesTheStateColoursOverALightUnderLayer) {
    Make("Wide caption");
    button.SetStateColour(CSkButton::kNormalText, kRed);
    button.SetStateColour(CSkButton::kHotText, kBlue);
    button.SetStateColour(CSkButton::kFocusText, kGreen);
    Paint();
    EXPECT_GT(canvas.Count(kRed), 10);
    EXPECT_GT(canvas.Count(RGB(200, 200, 200)), 10);
    EXPECT_EQ(canvas.Count(kBlue), 0);
    Paint(ODS_FOCUS);
    EXPECT_GT(canvas.Count(kGreen), 10);
    EXPECT_EQ(canvas.Count(kRed), 0);
    button.ForceHover(true);
    Paint(ODS_FOCUS);
    EXPECT_GT(canvas.Count(kBlue), 10);
    EXPECT_EQ(canvas.Count(kGreen), 0);
}

TEST_F(SkButtonTest, CaptionWrapsAtWordsAndStaysCentred) {
    Make("Go on now");
    button.SetStateColour(CSkButton::kNormalText, kRed);
    Paint();
    int top = kSize, bottom = -1, left = kSize, right = -1;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            if (canvas.Pixel(x, y) == kRed) {
                top = std::min(top, y), bottom = std::max(bottom, y);
                left = std::min(left, x), right = std::max(right, x);
            }
    ASSERT_GE(bottom, 0);
    EXPECT_GT(bottom - top, 14) << "more than one line";
    // Centred: the margins differ by the one-pixel offset of the caption and rounding.
    EXPECT_LE(std::abs((top) - (kSize - 1 - bottom)), 3);
    EXPECT_LE(std::abs((left) - (kSize - 1 - right)), 3);
}

TEST_F(SkButtonTest, ACaptionTallerThanTheButtonStaysInsideItsItem) {
    Make("One Two Three Four Five Six Seven Eight Nine Ten Eleven Twelve");
    constexpr COLORREF kWhite = RGB(255, 255, 255);
    Canvas tall(kSize, 3 * kSize, kWhite);
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_BUTTON;
    item.hwndItem = button.GetSafeHwnd();
    item.itemAction = ODA_DRAWENTIRE;
    item.hDC = tall.hdc();
    item.rcItem = {0, kSize, kSize, 2 * kSize};
    button.DrawItem(item);
    EXPECT_GT(tall.CountOther(kWhite, 0, kSize, kSize, 2 * kSize), 0);
    EXPECT_EQ(tall.CountOther(kWhite, 0, 0, kSize, kSize), 0) << "above the item";
    EXPECT_EQ(tall.CountOther(kWhite, 0, 2 * kSize, kSize, 3 * kSize), 0) << "below the item";
}

TEST_F(SkButtonTest, FaceAndHoverFrameFollowTheState) {
    Make();
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    Paint();
    EXPECT_EQ(canvas.Pixel(5, 0), kFace);
    button.ForceHover(true);
    Paint(); // raised while hovered, sunken while pressed
    EXPECT_EQ(canvas.Pixel(5, 0), light);
    EXPECT_EQ(canvas.Pixel(kSize - 1, 5), shadow);
    Paint(ODS_SELECTED);
    EXPECT_EQ(canvas.Pixel(5, 0), shadow);
    EXPECT_EQ(canvas.Pixel(kSize - 1, 5), light);

    button.ShowHoverFrame(false);
    button.ForceHover(false);
    button.SetStateColour(CSkButton::kNormalBack, RGB(1, 1, 1));
    button.SetStateColour(CSkButton::kHotBack, RGB(2, 2, 2));
    button.SetStateColour(CSkButton::kFocusBack, RGB(3, 3, 3));
    const std::pair<UINT, COLORREF> faces[] = {
        {0, RGB(1, 1, 1)}, {ODS_FOCUS, RGB(3, 3, 3)}, {ODS_SELECTED | ODS_FOCUS, RGB(2, 2, 2)}};
    for (const auto& [state, face] : faces) {
        Paint(state);
        EXPECT_EQ(canvas.Pixel(0, 0), face) << state;
    }
    button.ForceHover(true);
    Paint(ODS_FOCUS);
    EXPECT_EQ(canvas.Pixel(0, 0), RGB(2, 2, 2));
    button.UseSystemColours();
    button.ForceHover(false);
    Paint();
    EXPECT_EQ(canvas.Pixel(0, 0), GetSysColor(COLOR_BTNFACE));
}

TEST_F(SkButtonTest, HoverStartsOnAMoveAndEndsOnLeaveFocusLossCancelOrAnotherWindow) {
    Make();
    const std::pair<UINT, WPARAM> enders[] = {
        {WM_MOUSELEAVE, 0}, {WM_KILLFOCUS, 0}, {WM_CANCELMODE, 0}, {WM_ACTIVATE, WA_INACTIVE}};
    for (const auto& [message, wParam] : enders) {
        MoveTo(20, 20);
        ASSERT_TRUE(button.IsHovering());
        ::SendMessageA(button.GetSafeHwnd(), message, wParam, 0);
        EXPECT_FALSE(button.IsHovering()) << message;
    }
    // Over the parent (a pressed button has the capture, so moves can come from there).
    MoveTo(20, 20);
    MoveTo(kSize + 30, 20);
    EXPECT_FALSE(button.IsHovering());
    // Not with the left button held, but a hover already started goes on.
    MoveTo(20, 20, MK_LBUTTON);
    EXPECT_FALSE(button.IsHovering());
    MoveTo(20, 20);
    MoveTo(21, 21, MK_LBUTTON);
    EXPECT_TRUE(button.IsHovering());
}

TEST_F(SkButtonTest, DoubleClickCountsAsTwoClicksSentOrThroughTheMessageLoop) {
    Make();
    HWND hwnd = button.GetSafeHwnd();
    const UINT clicks[] = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP};
    for (UINT message : clicks)
        ::SendMessageA(hwnd, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(20, 20));
    EXPECT_EQ(parent.clicks, 2);
    // Posted, PreTranslateMessage sees the double click before the dispatch and turns it into a press.
    for (UINT message : clicks)
        PostMessageA(hwnd, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(20, 20));
    MSG msg = {};
    int handled = 0;
    while (handled < 4 && PeekMessageA(&msg, hwnd, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
        const UINT original = msg.message;
        if (!CWnd::PreTranslateChain(&msg))
            DispatchMessageA(&msg);
        if (original == WM_LBUTTONDBLCLK) {
            EXPECT_EQ(msg.message, static_cast<UINT>(WM_LBUTTONDOWN));
        }
        ++handled;
    }
    EXPECT_EQ(handled, 4);
    EXPECT_EQ(parent.clicks, 4);
}

TEST_F(SkButtonTest, ClickTogglesACheckButtonAndReachesTheParent) {
    Make("", BS_AUTOCHECKBOX);
    ::SendMessageA(button.GetSafeHwnd(), BM_CLICK, 0, 0);
    EXPECT_TRUE(button.IsChecked());
    EXPECT_EQ(parent.clicks, 1);
    EXPECT_EQ(GetFocus(), button.GetSafeHwnd());
    ::SendMessageA(button.GetSafeHwnd(), BM_CLICK, 0, 0);
    EXPECT_FALSE(button.IsChecked());
    EXPECT_EQ(parent.clicks, 2);
}

TEST_F(SkButtonTest, SubclassingMakesTheButtonOwnerDrawnAndReadsItsType) {
    Make("", BS_DEFPUSHBUTTON);
    HWND hwnd = button.GetSafeHwnd();
    EXPECT_EQ(GetWindowLongPtrA(hwnd, GWL_STYLE) & 0x1F, BS_OWNERDRAW);
    EXPECT_TRUE(button.IsDefault());
    EXPECT_FALSE(button.IsCheckButton());
    EXPECT_EQ(button.GetButtonType(), BS_PUSHBUTTON);
    EXPECT_EQ(::SendMessageA(hwnd, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON | DLGC_BUTTON),
              DLGC_DEFPUSHBUTTON | DLGC_BUTTON);
    // The dialog manager moves the default state with BM_SETSTYLE; the button stays owner drawn.
    ::SendMessageA(hwnd, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    EXPECT_FALSE(button.IsDefault());
    EXPECT_EQ(GetWindowLongPtrA(hwnd, GWL_STYLE) & 0x1F, BS_OWNERDRAW);
    EXPECT_TRUE(::SendMessageA(hwnd, WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON);
}

TEST_F(SkButtonTest, HintCreatesOneToolAndUpdatesItsText) {
    Make();
    button.SetHint(nullptr);
    EXPECT_EQ(button.GetTooltip(), nullptr);
    button.SetHint("Start Converting");
    HWND tip = button.GetTooltip();
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(::SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    button.SetHint("Stop Converting", false);
    EXPECT_EQ(::SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    char text[80] = {};
    TOOLINFOA tool = {};
    tool.cbSize = sizeof tool;
    tool.hwnd = button.GetSafeHwnd();
    tool.uId = 1;
    tool.lpszText = text;
    ::SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, "Stop Converting");
    // The tooltip goes with the button.
    button.DestroyWindow();
    EXPECT_FALSE(IsWindow(tip));
}

TEST_F(SkButtonTest, ParentBackgroundIsTakenOnceUntilSelectedAgain) {
    Make();
    button.UseParentBackground();
    parent.fill = RGB(0, 128, 0);
    RedrawWindow(parent.GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    Paint();
    EXPECT_EQ(canvas.Pixel(1, 1), RGB(0, 128, 0));
    EXPECT_EQ(canvas.Pixel(kSize - 2, kSize - 2), RGB(0, 128, 0));

    // Not refreshed when the parent repaints...
    parent.fill = RGB(128, 0, 128);
    RedrawWindow(parent.GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    Paint();
    EXPECT_EQ(canvas.Pixel(1, 1), RGB(0, 128, 0));
    // ...but when background mode is selected again.
    button.UseParentBackground();
    RedrawWindow(parent.GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    Paint();
    EXPECT_EQ(canvas.Pixel(1, 1), RGB(128, 0, 128));
}

// A thousand paints in every state, of an icon button with a caption and hint and of a bitmap button, leave no GDI
// object behind.
class SkButtonLeak : public SkButtonTest, public testing::WithParamInterface<bool> {};

TEST_P(SkButtonLeak, NoGdiLeakOverAThousandPaints) {
    const bool bitmaps = GetParam();
    Make(bitmaps ? "Go" : "Start Converting");
    if (bitmaps) {
        ASSERT_EQ(button.AssignBitmaps(IDB_TEST_RED_KEYED, kGreen, IDB_TEST_BLUE_KEYED, kGreen), CSkButton::Result::Ok);
    } else {
        ASSERT_EQ(button.AssignIcons(IDI_TEST_RED, IDI_TEST_BLUE), CSkButton::Result::Ok);
        button.UseParentBackground(false);
        button.SetHint("hint");
    }
    const UINT states[] = {0, ODS_SELECTED, ODS_FOCUS, ODS_DISABLED};
    for (int i = 0; i < 10; ++i)
        Paint(states[i % 4]);
    const DWORD after10 = CountGdiObjects();
    for (int i = 0; i < 1000; ++i) {
        button.ForceHover(i % 3 == 0);
        Paint(states[i % 4]);
    }
    EXPECT_EQ(CountGdiObjects(), after10);
}

INSTANTIATE_TEST_SUITE_P(SkButton, SkButtonLeak, testing::Bool());

// Focus handling in a dialog: three tab stops.
class ButtonDialog : public CDialog {
public:
    ButtonDialog() : CDialog(IDD_BUTTON_TEST) {}
    CSkButton first, second, third;

protected:
    BOOL OnInitDialog() override {
        first.SubclassDlgItem(IDC_FIRST, GetSafeHwnd());
        second.SubclassDlgItem(IDC_SECOND, GetSafeHwnd());
        third.SubclassDlgItem(IDC_THIRD, GetSafeHwnd());
        return TRUE;
    }
};

TEST(SkButtonDialog, DisablingTheFocusedButtonMovesTheFocusToTheNextTabStop) {
    ButtonDialog dialog;
    ASSERT_TRUE(dialog.Create());
    HWND window = dialog.GetSafeHwnd();
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    EXPECT_TRUE(dialog.third.IsCheckButton());

    ::SetFocus(dialog.first.GetSafeHwnd());
    ASSERT_EQ(GetFocus(), dialog.first.GetSafeHwnd());
    EnableWindow(dialog.first.GetSafeHwnd(), FALSE);
    EXPECT_EQ(GetFocus(), dialog.second.GetSafeHwnd());

    // A button without the focus leaves it where it is.
    ::SetFocus(dialog.third.GetSafeHwnd());
    EnableWindow(dialog.second.GetSafeHwnd(), FALSE);
    EXPECT_EQ(GetFocus(), dialog.third.GetSafeHwnd());

    // The last tab stop wraps around to the first enabled one.
    EnableWindow(dialog.first.GetSafeHwnd(), TRUE);
    ::SetFocus(dialog.third.GetSafeHwnd());
    EnableWindow(dialog.third.GetSafeHwnd(), FALSE);
    EXPECT_EQ(GetFocus(), dialog.first.GetSafeHwnd());
    dialog.DestroyWindow();
}

} // namespace
