// The controls as windows: created from the gallery's template, driven by the messages a user's actions produce
// (posted or sent; the real pointer never moves), and checked by state, notifications and painted pixels.
#include "ControlsTestSupport.h"

#include "ControlsTestIds.h"

#include "controls/ScrollBarLogic.h"
#include "controls/SkinDrawing.h"

#include "resources/resource.h"
#include "tests/support/GdiObjectCount.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <memory>

namespace {

class ControlsWindow : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureBuiltInSkin();
        dialog = std::make_unique<GalleryDialog>();
        ASSERT_TRUE(dialog->Create());
        window = dialog->GetSafeHwnd();
        ShowWindow(window, SW_SHOWNOACTIVATE);
        UpdateWindow(window);
        Pump();
        dialog->notices.clear();
    }
    void TearDown() override {
        if (dialog)
            dialog->DestroyWindow();
        dialog.reset();
        PumpPending();
    }
    void Pump() { PumpPending(window); }
    int ComboChoices(const CSkComboBox& box) const {
        int n = 0;
        for (const Notice& notice : dialog->notices)
            if (notice.message == WM_COMMAND && HIWORD(notice.wParam) == CBN_SELCHANGE &&
                reinterpret_cast<HWND>(notice.lParam) == box.GetSafeHwnd())
                ++n;
        return n;
    }
    void Post(HWND target, UINT message, WPARAM wParam, LPARAM lParam) { PostMessageA(target, message, wParam, lParam); }
    void Key(HWND target, UINT key) { Post(target, WM_KEYDOWN, key, 1); }

    std::unique_ptr<GalleryDialog> dialog;
    HWND window = nullptr;
};

TEST_F(ControlsWindow, SliderDragByPostedMouseMessagesNotifiesTheParent) {
    CRangeSlider& slider = dialog->slider;
    HWND s = slider.GetSafeHwnd();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(SendMessageA(s, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
    // Selection 30..90 on 0..120: the end thumb covers 253..265.
    Post(s, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(259, 10));
    Post(s, WM_MOUSEMOVE, MK_LBUTTON, PointParam(299, 10));
    Post(s, WM_LBUTTONUP, 0, PointParam(299, 10));
    Pump();
    ASSERT_EQ(dialog->Count(RANGE_CHANGED), 2);
    EXPECT_EQ(dialog->notices[0].wParam, 1u);
    EXPECT_EQ(dialog->notices[0].lParam, 0);
    EXPECT_EQ(dialog->notices[1].wParam, 1u);
    EXPECT_EQ(dialog->notices[1].lParam, 1);
    // The parent reads the new values back while it handles the message.
    EXPECT_DOUBLE_EQ(dialog->selectionsSeen.back().second, 105);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(GetFocus(), s);
}

TEST_F(ControlsWindow, SliderDragEndsWhenTheCaptureGoesElsewhere) {
    HWND s = dialog->slider.GetSafeHwnd();
    SendMessageA(s, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(259, 10)); // the end thumb
    ASSERT_EQ(GetCapture(), s);
    SetCapture(window); // a message box or Alt+Tab takes it
    const size_t noticesAfterLoss = dialog->notices.size();
    // Later moves with the button up neither move the thumbs nor tell the parent.
    SendMessageA(s, WM_MOUSEMOVE, 0, PointParam(299, 10));
    ReleaseCapture();
    double begin = 0;
    double end = 0;
    dialog->slider.GetSelection(begin, end);
    EXPECT_DOUBLE_EQ(end, 90);
    EXPECT_EQ(dialog->notices.size(), noticesAfterLoss);
}

TEST_F(ControlsWindow, SliderSetterNotificationsReachTheParentWhileSetting) {
    dialog->slider.SetSelection(130, 140);
    ASSERT_EQ(dialog->Count(RANGE_CHANGED), 2);
    EXPECT_EQ(dialog->notices[0].wParam, 1u);
    EXPECT_EQ(dialog->notices[1].wParam, 0u);
    // The end is lowered first, the begin follows in the second notification.
    EXPECT_EQ(dialog->selectionsSeen[0], (std::pair<double, double>{130, 120}));
    EXPECT_EQ(dialog->selectionsSeen[1], (std::pair<double, double>{120, 120}));
}

TEST_F(ControlsWindow, SliderPaintsThumbsAndBandWhereTheValuesAre) {
    CRangeSlider& slider = dialog->slider;
    slider.SetSelection(0, 120);
    Canvas canvas(346, 20);
    slider.DoPaint(canvas.hdc());
    const COLORREF edge = RGB(0x80, 0x82, 0x84);
    EXPECT_EQ(canvas.Pixel(0, 8), edge);                    // the begin thumb's frame at x 0
    EXPECT_EQ(canvas.Pixel(345, 8), edge);                  // the end thumb's frame at the last column
    EXPECT_EQ(canvas.Pixel(170, 8), RGB(0x5c, 0xa2, 0xff)); // the band
    EXPECT_EQ(canvas.Pixel(170, 3), edge);                  // the channel above it

    // Equal bounds: the channel alone.
    slider.SetBounds(5, 5);
    Canvas empty(346, 20);
    slider.DoPaint(empty.hdc());
    EXPECT_EQ(empty.Pixel(170, 8), RGB(0xd7, 0xd7, 0xd7));
    EXPECT_EQ(empty.Count(RGB(0x5c, 0xa2, 0xff), 0, 0, 346, 20), 0);
    EXPECT_EQ(empty.Count(RGB(0, 0, 0), 0, 0, 346, 20), 0); // no brace of a thumb
}

TEST_F(ControlsWindow, SliderPaintsReleaseWhatTheyMake) {
    RedrawWindow(dialog->slider.GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const DWORD before = CountGdiObjects();
    for (int i = 0; i < 300; ++i)
        RedrawWindow(dialog->slider.GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(CountGdiObjects(), before);
}

TEST_F(ControlsWindow, ComboChoiceByMouseSendsOneSelChange) {
    CSkComboBox& combo = dialog->combo;
    Post(combo.GetSafeHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(20, 8));
    Post(combo.GetSafeHwnd(), WM_LBUTTONUP, 0, PointParam(20, 8));
    Pump();
    ASSERT_TRUE(combo.IsOpen());
    CSkComboWindow& popup = combo.DropDown();
    HWND list = popup.GetSafeHwnd();
    ASSERT_NE(list, nullptr);
    EXPECT_FALSE(popup.GetLayout().hasScrollBar);
    RECT client = combo.GetClientRect();
    MapWindowPoints(combo.GetSafeHwnd(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    RECT listRect = {};
    GetWindowRect(list, &listRect);
    EXPECT_EQ(listRect.top, client.top + 18);
    EXPECT_EQ(listRect.left, client.left);

    // The first three moves after opening are the platform's, not the user's.
    const PixelRect item2 = popup.GetLayout().items.itemRects[2];
    for (int i = 0; i < 3; ++i)
        Post(list, WM_MOUSEMOVE, 0, PointParam(item2.left + 4, item2.top + 4));
    Pump();
    EXPECT_EQ(popup.GetHotIndex(), -1);
    Post(list, WM_MOUSEMOVE, 0, PointParam(item2.left + 4, item2.top + 4));
    Pump();
    EXPECT_EQ(popup.GetHotIndex(), 2);
    Post(list, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(item2.left + 4, item2.top + 4));
    Pump();
    EXPECT_FALSE(combo.IsOpen());
    EXPECT_EQ(combo.GetCurSel(), 2);
    EXPECT_EQ(ComboChoices(combo), 1);
}

TEST_F(ControlsWindow, ComboChoiceByKeysSendsOneSelChange) {
    CSkComboBox& combo = dialog->combo;
    SetFocus(combo.GetSafeHwnd());
    Key(combo.GetSafeHwnd(), VK_RETURN);
    Pump();
    ASSERT_TRUE(combo.IsOpen());
    // Enter at once closes without a choice.
    Key(combo.GetSafeHwnd(), VK_RETURN);
    Pump();
    EXPECT_FALSE(combo.IsOpen());
    EXPECT_EQ(ComboChoices(combo), 0);

    Key(combo.GetSafeHwnd(), VK_RETURN);
    Key(combo.GetSafeHwnd(), VK_DOWN);
    Key(combo.GetSafeHwnd(), VK_DOWN);
    Key(combo.GetSafeHwnd(), VK_RETURN);
    Pump();
    EXPECT_FALSE(combo.IsOpen());
    EXPECT_EQ(combo.GetCurSel(), 1);
    EXPECT_EQ(ComboChoices(combo), 1);
}

TEST_F(ControlsWindow, ClosedComboArrowsWrapAndPickTheSameItemToo) {
    CSkComboBox& combo = dialog->combo; // item 0 selected of three
    SetFocus(combo.GetSafeHwnd());
    Key(combo.GetSafeHwnd(), VK_UP);
    Pump();
    EXPECT_EQ(combo.GetCurSel(), 2);
    Key(combo.GetSafeHwnd(), VK_DOWN);
    Pump();
    EXPECT_EQ(combo.GetCurSel(), 0);
    EXPECT_EQ(ComboChoices(combo), 2);
    combo.PickItem(0);
    Pump();
    EXPECT_EQ(ComboChoices(combo), 3);
    // Other keys are swallowed: no type-ahead. Selecting from the program tells nobody.
    Key(combo.GetSafeHwnd(), 'P');
    combo.SelectItem(2);
    Pump();
    EXPECT_EQ(combo.GetCurSel(), 2);
    EXPECT_EQ(ComboChoices(combo), 3);
}

TEST_F(ControlsWindow, PopupClosesOnEscapeAndOnAClickElsewhere) {
    CSkComboBox& combo = dialog->combo;
    SetFocus(combo.GetSafeHwnd());
    combo.Open();
    ASSERT_TRUE(combo.IsOpen());
    Key(combo.GetSafeHwnd(), VK_ESCAPE);
    Pump();
    EXPECT_FALSE(combo.IsOpen());
    EXPECT_TRUE(IsWindow(window)); // Escape went to the list, not to the dialog

    Post(combo.GetSafeHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(20, 8));
    Pump();
    ASSERT_TRUE(combo.IsOpen());
    // A press on another control moves the focus there.
    Post(dialog->list.GetSafeHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(150, 90));
    Pump();
    EXPECT_FALSE(combo.IsOpen());
    EXPECT_EQ(ComboChoices(combo), 0);

    // A second press on the box closes it again.
    Post(combo.GetSafeHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(20, 8));
    Pump();
    ASSERT_TRUE(combo.IsOpen());
    Post(combo.GetSafeHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(20, 8));
    Pump();
    EXPECT_FALSE(combo.IsOpen());
}

TEST_F(ControlsWindow, ShortComboScrollsItsPopupWithTheKeys) {
    CSkComboBox& combo = dialog->shortCombo; // seven items in a short drop height
    SetFocus(combo.GetSafeHwnd());
    combo.Open();
    CSkComboWindow& popup = combo.DropDown();
    ASSERT_TRUE(popup.GetLayout().hasScrollBar);
    const int visible = popup.GetLayout().items.visibleCount;
    ASSERT_GT(visible, 0);
    ASSERT_LT(visible, 7);
    EXPECT_EQ(popup.GetScrollBar().GetRange(), 700);
    for (int i = 0; i <= visible; ++i)
        Key(combo.GetSafeHwnd(), VK_DOWN);
    Pump();
    EXPECT_EQ(popup.GetHotIndex(), visible);
    EXPECT_EQ(popup.GetScrollOffset(), popup.GetLayout().items.itemPitch);
    EXPECT_EQ(popup.GetScrollBar().GetPos(), 100);
    // The scroll bar's page-down press scrolls the list by a page.
    Post(popup.GetScrollBar().GetSafeHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(5, popup.GetHeight() - 8));
    Post(popup.GetScrollBar().GetSafeHwnd(), WM_LBUTTONUP, 0, PointParam(5, popup.GetHeight() - 8));
    Pump();
    EXPECT_TRUE(combo.IsOpen()); // pressing the list's own scroll bar keeps it open
    const int paged = std::min(100 + visible * 100, 700 - visible * 100);
    EXPECT_EQ(popup.GetScrollBar().GetPos(), paged);
    EXPECT_EQ(popup.GetScrollOffset(), ScrollOffsetForPos(popup.GetLayout().items.itemPitch, paged));
    combo.DropDown().Close();
}

TEST_F(ControlsWindow, EmptyComboOpensSmallAndArrowsReportWithoutChange) {
    CSkComboBox& combo = dialog->combo;
    combo.SendMessage(CB_RESETCONTENT);
    combo.Open();
    ASSERT_TRUE(combo.IsOpen());
    EXPECT_EQ(combo.DropDown().GetHeight(), 24);
    SetFocus(combo.GetSafeHwnd());
    Key(combo.GetSafeHwnd(), VK_RETURN);
    Pump();
    EXPECT_FALSE(combo.IsOpen());
    Key(combo.GetSafeHwnd(), VK_DOWN);
    Pump();
    EXPECT_EQ(combo.GetCurSel(), CB_ERR);
    EXPECT_EQ(ComboChoices(combo), 1);
}

TEST_F(ControlsWindow, ComboWithFiveHundredItemsOpensAndScrolls) {
    CSkComboBox& combo = dialog->combo;
    for (int i = 0; i < 500; ++i) {
        const std::string text = "Item " + std::to_string(i);
        combo.SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SetFocus(combo.GetSafeHwnd());
    combo.Open();
    ASSERT_TRUE(combo.IsOpen());
    Key(combo.GetSafeHwnd(), VK_UP); // from none to the last item
    Pump();
    EXPECT_EQ(combo.DropDown().GetHotIndex(), 502);
    EXPECT_GT(combo.DropDown().GetScrollOffset(), 0);
    Key(combo.GetSafeHwnd(), VK_RETURN);
    Pump();
    EXPECT_EQ(combo.GetCurSel(), 502);
}

TEST_F(ControlsWindow, TheFaceShowsTheSelectedItemsText) {
    CSkComboBox& combo = dialog->combo;
    const RECT c = combo.GetClientRect();
    const COLORREF text = combo.GetTextColor();
    combo.SelectItem(-1);
    Canvas none(c.right, c.bottom);
    combo.PaintFace(none.hdc());
    EXPECT_EQ(none.Count(text, 3, 2, c.right - 18, 18), 0);

    combo.SelectItem(0);
    Canvas first(c.right, c.bottom);
    combo.PaintFace(first.hdc());
    EXPECT_GT(first.Count(text, 3, 2, c.right - 18, 18), 10);
    // The text is the selected item's: it ends where "320x240" ends in the box's font.
    HGDIOBJ old = SelectObject(first.hdc(), combo.GetFont());
    SIZE size = {};
    GetTextExtentPoint32A(first.hdc(), "320x240", 7, &size);
    SelectObject(first.hdc(), old);
    EXPECT_EQ(first.Count(text, 3 + size.cx + 2, 2, c.right - 18, 18), 0);
}

TEST_F(ControlsWindow, TabBarPressSelectsAndReportsAndABareBarIgnoresIt) {
    CSkTabBar& tabs = dialog->tabs;
    HWND t = tabs.GetSafeHwnd();
    SendMessageA(t, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(72, 5));
    EXPECT_EQ(tabs.GetSelectedTab(), 1);
    ASSERT_EQ(dialog->Count(kTabChangedMessage), 1);
    EXPECT_EQ(dialog->notices.back().wParam, reinterpret_cast<WPARAM>(t));
    // No click notification and no pressed look.
    EXPECT_EQ(SendMessageA(t, BM_GETSTATE, 0, 0) & BST_PUSHED, 0);

    CSkTabBar bare;
    ASSERT_TRUE(bare.Create("", WS_VISIBLE | BS_PUSHBUTTON, {0, 0, 436, 17}, window, 4000));
    SendMessageA(bare.GetSafeHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(100, 5));
    bare.SelectTab(0);
    EXPECT_EQ(bare.GetSelectedTab(), -1);
    EXPECT_EQ(dialog->Count(kTabChangedMessage), 1);
}

TEST_F(ControlsWindow, TabBarShowsTheCurrentTabsBitmap) {
    CSkTabBar& tabs = dialog->tabs;
    tabs.SelectTab(3);
    HBITMAP expected = static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_TAB_XBOX), IMAGE_BITMAP, 0, 0, 0));
    ASSERT_NE(expected, nullptr);
    Canvas reference(436, 15);
    DrawBitmap(reference.hdc(), expected, 0, 0);
    DeleteObject(expected);
    const PaintedPixels shown = PaintWindow(tabs.GetSafeHwnd());
    const int y0 = (shown.height - 15) / 2;
    int same = 0;
    for (int x = 3 * 72 + 10; x < 4 * 72 - 10; ++x)
        same += shown.At(x, y0 + 7) == reference.Pixel(x, 7) ? 1 : 0;
    EXPECT_GT(same, 40);
}

TEST_F(ControlsWindow, EditFieldKeepsItsOwnTextAndCopiesOnlyWhatFits) {
    CSkEditField& edit = dialog->edit;
    EXPECT_FALSE(IsWindowEnabled(edit.GetSafeHwnd()));
    EXPECT_EQ(GetWindowLongPtrA(edit.GetSafeHwnd(), GWL_STYLE) & 0x1F, BS_OWNERDRAW);
    edit.SetText("D:\\");
    char buffer[8] = "";
    EXPECT_TRUE(edit.GetText(buffer, 4));
    EXPECT_STREQ(buffer, "D:\\");

    // An empty field shows its background only; a long text is cut inside the field.
    const RECT c = edit.GetClientRect();
    edit.SetText("");
    Canvas empty(c.right, c.bottom);
    edit.DoPaint(empty.hdc());
    EXPECT_EQ(empty.Count(RGB(0, 0, 0), 0, 0, c.right, c.bottom), 0);
    const std::string wide(300, 'W');
    edit.SetText(wide.c_str());
    Canvas full(c.right + 20, c.bottom, RGB(255, 0, 255));
    edit.DoPaint(full.hdc());
    EXPECT_GT(full.Count(RGB(0, 0, 0), 0, 0, c.right, c.bottom), 0);
    EXPECT_EQ(full.CountOther(RGB(255, 0, 255), c.right - 1, 0, c.right + 20, c.bottom), 0);
}

TEST_F(ControlsWindow, GroupBoxFrameIsInterruptedBehindItsCaption) {
    CSkGroupBox& group = dialog->group;
    EXPECT_EQ(group.GetCaption(), "Output Setting");
    EXPECT_EQ(group.GetWindowText(), "");
    const RECT c = group.GetClientRect();
    Canvas canvas(c.right, c.bottom, RGB(0, 0, 128));
    group.DoPaint(canvas.hdc());
    HDC measure = canvas.hdc();
    HFONT font = CreateSkinFont(12);
    HGDIOBJ old = SelectObject(measure, font);
    SIZE size = {};
    GetTextExtentPoint32A(measure, "Output Setting", 14, &size);
    SelectObject(measure, old);
    DeleteObject(font);
    const int row = size.cy / 2;
    const COLORREF frame = RGB(230, 230, 230);
    EXPECT_EQ(canvas.Pixel(4, row), frame);
    EXPECT_EQ(canvas.Count(frame, 8, row, size.cx + 12, row + 1), 0);
    EXPECT_EQ(canvas.Pixel(size.cx + 13, row), frame);
    EXPECT_EQ(canvas.Pixel(1, c.bottom / 2), frame);
    EXPECT_EQ(canvas.Pixel(c.right / 2, c.bottom / 2), RGB(0, 0, 128)); // the inside stays the parent's
    EXPECT_GT(canvas.Count(RGB(0, 0, 0), 11, 1, 11 + size.cx, 1 + size.cy), 10);

    // A later window text does not change the caption.
    group.SetWindowText("Something else");
    EXPECT_EQ(group.GetCaption(), "Output Setting");
}

TEST_F(ControlsWindow, IconPictureWithoutATemplateIcon) {
    CSkIconStatic& icon = dialog->icon;
    EXPECT_EQ(icon.GetImageCount(), 0);
    Canvas blank(32, 32, RGB(1, 2, 3));
    icon.DoPaint(blank.hdc());
    EXPECT_EQ(blank.Count(RGB(1, 2, 3), 0, 0, 32, 32), 32 * 32);

    HICON error = static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_MSG_ERROR), IMAGE_ICON, 32, 32, 0));
    ASSERT_NE(error, nullptr);
    icon.SetIcon(error);
    icon.SetIcon(error);
    EXPECT_EQ(icon.GetImageCount(), 1);
    DestroyIcon(error);
    Canvas drawn(32, 32, RGB(1, 2, 3));
    icon.DoPaint(drawn.hdc());
    EXPECT_GT(drawn.Count(RGB(1, 2, 3), 0, 0, 2, 2), 0);     // the corners stay the parent's
    EXPECT_EQ(drawn.Count(RGB(1, 2, 3), 14, 14, 18, 18), 0); // the middle is the icon's
}

TEST_F(ControlsWindow, LabelSplitsItsTextAndKeepsTheTemplateTextWithThePlatform) {
    CSkLabel& label = dialog->multiLabel;
    EXPECT_EQ(label.GetLine(1), "for the screen");
    EXPECT_EQ(label.GetWindowText(), "");
    EXPECT_EQ(dialog->label.GetLine(0), "Output Directory:");

    label.SetWindowText("One\nTwo");
    const RECT c = label.GetClientRect();
    Canvas canvas(c.right, c.bottom, RGB(255, 255, 255));
    label.DoPaint(canvas.hdc());
    HFONT font = CreateSkinFont(12);
    HGDIOBJ old = SelectObject(canvas.hdc(), font);
    SIZE one = {};
    GetTextExtentPoint32A(canvas.hdc(), "One", 3, &one);
    SelectObject(canvas.hdc(), old);
    DeleteObject(font);
    // The second line starts cy + 1 below the first, both from x 2.
    EXPECT_GT(canvas.Count(RGB(0, 0, 0), 2, 0, 2 + one.cx, one.cy), 5);
    EXPECT_GT(canvas.Count(RGB(0, 0, 0), 2, one.cy + 1, 30, 2 * one.cy + 1), 5);
    EXPECT_EQ(canvas.Count(RGB(0, 0, 0), 0, 0, 2, c.bottom), 0);

    // Ten thousand characters without a line break: nothing outside the label.
    const std::string longText(10000, 'm');
    label.SetWindowText(longText.c_str());
    Canvas wide(c.right + 30, c.bottom + 30, RGB(255, 255, 255));
    label.DoPaint(wide.hdc());
    EXPECT_EQ(wide.Count(RGB(0, 0, 0), c.right, 0, c.right + 30, c.bottom + 30), 0);
}

// Where a control's painting of a text differs from its painting of no text: the text's ink.
struct Ink {
    RECT box = {LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
    std::vector<bool> at;
};

Ink InkOf(const PaintedPixels& text, const PaintedPixels& none) {
    Ink ink;
    ink.at.resize(text.pixels.size());
    for (int y = 0; y < text.height; ++y)
        for (int x = 0; x < text.width; ++x)
            if (text.At(x, y) != none.At(x, y)) {
                ink.at[static_cast<size_t>(y) * text.width + x] = true;
                ink.box = {std::min(ink.box.left, LONG{x}), std::min(ink.box.top, LONG{y}),
                           std::max(ink.box.right, LONG{x + 1}), std::max(ink.box.bottom, LONG{y + 1})};
            }
    return ink;
}

// Texts are UTF-8 and every control draws them through the wide functions: "Vidéo" takes the room of "Video", with an
// accent on its e, where the font's code page would have drawn "VidÃ©o", a character wider.
TEST_F(ControlsWindow, Utf8TextsShowTheirOwnCharacters) {
    GalleryDialog& d = *dialog;
    const struct {
        const char* name;
        HWND window;
        std::function<void(const char*)> show;
    } rows[] = {
        {"label", d.label.GetSafeHwnd(), [&](const char* t) { d.label.SetWindowText(t); }},
        {"edit field", d.edit.GetSafeHwnd(), [&](const char* t) { d.edit.SetText(t); }},
        {"list box", d.list.GetSafeHwnd(),
         [&](const char* t) {
             d.list.ResetContent();
             d.list.AddString(t);
         }},
        {"combo box", d.combo.GetSafeHwnd(),
         [&](const char* t) {
             d.combo.SendMessage(CB_RESETCONTENT);
             d.combo.SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
             d.combo.SelectItem(0);
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto paint = [&](const char* text) {
            row.show(text);
            return PaintWindow(row.window);
        };
        const PaintedPixels none = paint("");
        const Ink plain = InkOf(paint("Video"), none);
        const Ink accented = InkOf(paint("Vid\xC3\xA9o"), none);
        ASSERT_LT(plain.box.left, plain.box.right);
        EXPECT_EQ(accented.box.left, plain.box.left);
        EXPECT_EQ(accented.box.right, plain.box.right);
        EXPECT_NE(accented.at, plain.at);
    }
}

TEST_F(ControlsWindow, ListBoxKeysClicksAndScrolling) {
    CSkListBox& list = dialog->list;
    HWND l = list.GetSafeHwnd();
    EXPECT_EQ(list.GetSelectedIndex(), 1);
    EXPECT_EQ(GetWindowLongPtrA(l, GWL_STYLE) & WS_VSCROLL, 0);
    const int pitch = list.GetItemPitch();
    const int visible = list.GetVisibleCount();
    ASSERT_GT(visible, 0);
    ASSERT_LT(visible, 6);
    EXPECT_EQ(list.GetScrollBar().GetRange(), 600);
    EXPECT_EQ(list.GetScrollBar().GetPage(), visible * 100);

    SetFocus(l);
    for (int i = 1; i < visible; ++i)
        Key(l, VK_DOWN);
    Pump();
    EXPECT_EQ(list.GetSelectedIndex(), visible);
    EXPECT_EQ(list.GetScrollOffset(), pitch);
    EXPECT_EQ(list.GetScrollBar().GetPos(), 100);
    int changes = 0;
    for (const Notice& n : dialog->notices)
        changes += n.message == WM_COMMAND && LOWORD(n.wParam) == IDC_G_LIST && HIWORD(n.wParam) == LBN_SELCHANGE;
    EXPECT_EQ(changes, visible - 1);

    // A click on the selected item reports again; a double click adds LBN_DBLCLK.
    dialog->notices.clear();
    const PixelRect item = list.GetItemRects()[static_cast<size_t>(visible)];
    const int y = item.top - list.GetScrollOffset() + 3;
    Post(l, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(20, y));
    Post(l, WM_LBUTTONUP, 0, PointParam(20, y));
    Post(l, WM_LBUTTONDBLCLK, MK_LBUTTON, PointParam(20, y));
    Pump();
    ASSERT_EQ(dialog->notices.size(), 3u);
    EXPECT_EQ(HIWORD(dialog->notices[0].wParam), LBN_SELCHANGE);
    EXPECT_EQ(HIWORD(dialog->notices[1].wParam), LBN_SELCHANGE);
    EXPECT_EQ(HIWORD(dialog->notices[2].wParam), LBN_DBLCLK);
    EXPECT_EQ(list.GetSelectedIndex(), visible);

    // Down on the last item wraps to the first, scrolling back up.
    list.SetItemSelected(visible, false);
    list.SetItemSelected(5, true);
    Key(l, VK_DOWN);
    Pump();
    EXPECT_EQ(list.GetSelectedIndex(), 0);
    EXPECT_EQ(list.GetScrollOffset(), 0);
}

TEST_F(ControlsWindow, ListBoxIsFullAt200AndEmptyListsHaveAHandledUpKey) {
    CSkListBox& list = dialog->list;
    list.ResetContent();
    EXPECT_EQ(list.GetSelectedIndex(), -1);
    EXPECT_EQ(list.GetScrollBar().GetRange(), 10);
    dialog->notices.clear();
    Key(list.GetSafeHwnd(), VK_UP);
    Pump();
    EXPECT_TRUE(dialog->notices.empty());
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(list.AddString("item"), i);
    EXPECT_EQ(list.AddString("one too many"), 199);
    EXPECT_EQ(list.GetCount(), 200);
    EXPECT_EQ(list.GetItemText(199), "item");
}

TEST_F(ControlsWindow, ScrollBarPressesPostTheNewPosition) {
    CSkScrollBar bar;
    ASSERT_TRUE(bar.Create(0, 0, 10, 100, 500, 300, window));
    bar.SetPos(-5);
    EXPECT_EQ(bar.GetPos(), 0);
    MSG msg = {};
    while (PeekMessageA(&msg, window, kScrollPosMessage, kScrollPosMessage, PM_REMOVE)) {
    }
    SendMessageA(bar.GetSafeHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(5, 70));
    SendMessageA(bar.GetSafeHwnd(), WM_LBUTTONUP, 0, PointParam(5, 70));
    ASSERT_TRUE(PeekMessageA(&msg, window, kScrollPosMessage, kScrollPosMessage, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 200u);
    EXPECT_EQ(reinterpret_cast<HWND>(msg.lParam), bar.GetSafeHwnd());
    SendMessageA(bar.GetSafeHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(5, 1));
    SendMessageA(bar.GetSafeHwnd(), WM_LBUTTONUP, 0, PointParam(5, 1));
    ASSERT_TRUE(PeekMessageA(&msg, window, kScrollPosMessage, kScrollPosMessage, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0u);
    // A drag on the thumb: 10 pixels on a bar of 100 move by 10 / 84 of the range.
    SendMessageA(bar.GetSafeHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(5, 20));
    EXPECT_TRUE(bar.IsDragging());
    SendMessageA(bar.GetSafeHwnd(), WM_MOUSEMOVE, MK_LBUTTON, PointParam(5, 30));
    SendMessageA(bar.GetSafeHwnd(), WM_LBUTTONUP, 0, PointParam(5, 30));
    EXPECT_FALSE(bar.IsDragging());
    EXPECT_EQ(bar.GetPos(), DragPositionDelta(10, 100, 500));
    // Page keys step; other keys go to the owner.
    SendMessageA(bar.GetSafeHwnd(), WM_KEYDOWN, VK_NEXT, 1);
    EXPECT_EQ(bar.GetPos(), 200);
    SendMessageA(bar.GetSafeHwnd(), WM_KEYDOWN, VK_DOWN, 1);
    ASSERT_TRUE(PeekMessageA(&msg, window, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(VK_DOWN));
    bar.DestroyWindow();
}

} // namespace
