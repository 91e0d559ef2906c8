// The controls as windows, made from the gallery's template and driven by the messages a user's actions produce
// (the real pointer never moves): one check for each path from a message to the logic and back out as a
// notification or paint. The arithmetic behind them is the logic tests'.
#include "ControlsTestSupport.h"

#include "controls/ScrollBarLogic.h"

#include "tests/support/ChildProcess.h"
#include "tests/support/Screenshot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

class ControlsWindow : public ::testing::Test {
protected:
    // Before any fixture is made: the controls copy the skin's colours when they are constructed.
    static void SetUpTestSuite() { EnsureBuiltInSkin(); }
    void SetUp() override {
        ASSERT_TRUE(dialog.Create());
        window = dialog.GetSafeHwnd();
        ShowWindow(window, SW_SHOWNOACTIVATE);
        UpdateWindow(window);
        PumpPending(window);
        dialog.notices.clear();
    }
    void TearDown() override {
        dialog.DestroyWindow();
        PumpPending();
    }
    // Queues the messages as a user's actions would, then dispatches them through the dialog's loop.
    void Post(HWND target, std::initializer_list<Notice> messages) {
        for (const Notice& m : messages)
            PostMessageA(target, m.message, m.wParam, m.lParam);
        PumpPending(window);
    }
    void Keys(HWND target, const std::vector<UINT>& keys) {
        for (UINT key : keys)
            PostMessageA(target, WM_KEYDOWN, key, 1);
        PumpPending(window);
    }
    void Press(HWND target, int x, int y) { Post(target, {{WM_LBUTTONDOWN, MK_LBUTTON, PointParam(x, y)}}); }
    int Choices(const CWnd& control) const { return dialog.Count(WM_COMMAND, CBN_SELCHANGE, control.GetSafeHwnd()); }

    GalleryDialog dialog;
    HWND window = nullptr;
};

TEST_F(ControlsWindow, SliderDragsAndSettersTellTheParentWhatItReadsBack) {
    HWND s = dialog.slider.GetSafeHwnd();
    EXPECT_EQ(SendMessageA(s, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
    // The end thumb of 30..90 on 0..120 (253..265) dragged by 40 pixels: 105 s.
    Post(s, {{WM_LBUTTONDOWN, MK_LBUTTON, PointParam(259, 10)},
             {WM_MOUSEMOVE, MK_LBUTTON, PointParam(299, 10)},
             {WM_LBUTTONUP, 0, PointParam(299, 10)}});
    ASSERT_EQ(dialog.Count(RANGE_CHANGED), 2);
    EXPECT_EQ(dialog.notices[1].wParam, 1u);
    EXPECT_EQ(dialog.notices[1].lParam, 1); // the release ends the drag
    EXPECT_DOUBLE_EQ(dialog.selectionsSeen[0].second, 105);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(GetFocus(), s);
    // A setter's corrections, each readable while the parent handles it: the end lowered first, then the begin.
    dialog.selectionsSeen.clear();
    dialog.slider.SetSelection(130, 140);
    EXPECT_EQ(dialog.selectionsSeen, (std::vector<std::pair<double, double>>{{130, 120}, {120, 120}}));
}

// A message box or Alt+Tab during a drag takes the capture; later moves with the button up must not change a range.
TEST_F(ControlsWindow, SliderDragEndsWhenTheCaptureGoesElsewhere) {
    HWND s = dialog.slider.GetSafeHwnd();
    SendMessageA(s, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(259, 10)); // the end thumb
    ASSERT_EQ(GetCapture(), s);
    SetCapture(window);
    const size_t noticesAfterLoss = dialog.notices.size();
    SendMessageA(s, WM_MOUSEMOVE, 0, PointParam(299, 10));
    ReleaseCapture();
    double begin = 0;
    double end = 0;
    dialog.slider.GetSelection(begin, end);
    EXPECT_DOUBLE_EQ(end, 90);
    EXPECT_EQ(dialog.notices.size(), noticesAfterLoss);
}

TEST_F(ControlsWindow, ComboChoicesByMouseAndKeysSendOneSelChangeEach) {
    CSkComboBox& combo = dialog.combo;
    Press(combo.GetSafeHwnd(), 20, 8);
    ASSERT_TRUE(combo.IsOpen());
    CSkComboWindow& popup = combo.DropDown();
    // The first three moves after opening are the platform's, not the user's.
    const PixelRect item = popup.GetLayout().items.itemRects[2];
    const LPARAM at = PointParam(item.left + 4, item.top + 4);
    Post(popup.GetSafeHwnd(), {{WM_MOUSEMOVE, 0, at}, {WM_MOUSEMOVE, 0, at}, {WM_MOUSEMOVE, 0, at}});
    EXPECT_EQ(popup.GetHotIndex(), -1);
    for (int tick = 0; tick < 20 && popup.IsFading(); ++tick) // the fade-in's ticks, sent rather than waited for
        SendMessageA(popup.GetSafeHwnd(), WM_TIMER, 1, 0);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    SaveScreenPng(BuildFolder() + "controls_gallery.png"); // the gallery for people to look at
    Post(popup.GetSafeHwnd(), {{WM_LBUTTONDOWN, MK_LBUTTON, at}});
    EXPECT_FALSE(combo.IsOpen());
    EXPECT_EQ(combo.GetCurSel(), 2);
    for (HWND second : {dialog.list.GetSafeHwnd(), combo.GetSafeHwnd()}) { // a press elsewhere or on the box again
        Press(combo.GetSafeHwnd(), 20, 8);
        ASSERT_TRUE(combo.IsOpen());
        Press(second, 20, 8);
        EXPECT_FALSE(combo.IsOpen());
    }
    EXPECT_EQ(Choices(combo), 1);
    // Enter opens, Escape closes without a choice and never reaches the dialog; Down wraps to the first item.
    SetFocus(combo.GetSafeHwnd());
    Keys(combo.GetSafeHwnd(), {VK_RETURN, VK_ESCAPE});
    EXPECT_TRUE(IsWindow(window) && !combo.IsOpen());
    Keys(combo.GetSafeHwnd(), {VK_RETURN, VK_DOWN, VK_RETURN});
    EXPECT_EQ(combo.GetCurSel(), 0);
    combo.SelectItem(1); // the program's selection tells nobody
    PumpPending(window);
    EXPECT_EQ(Choices(combo), 2);
}

// The first and last columns where text's painting differs from none's.
std::pair<int, int> InkColumns(const PaintedPixels& text, const PaintedPixels& none) {
    std::pair<int, int> columns = {text.width, -1};
    for (int y = 0; y < text.height; ++y)
        for (int x = 0; x < text.width; ++x)
            if (text.At(x, y) != none.At(x, y))
                columns = {std::min(columns.first, x), std::max(columns.second, x)};
    return columns;
}

// Texts are UTF-8 and every control draws them through the wide functions: "Vidéo" takes the room of "Video", with an
// accent on its e, where the font's code page would have drawn "VidÃ©o", a character wider.
TEST_F(ControlsWindow, TextsShowTheirOwnCharacters) {
    GalleryDialog& d = dialog;
    const auto setCombo = [&](const char* t) {
        d.combo.SendMessage(CB_RESETCONTENT);
        d.combo.SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("x"));
        d.combo.SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
        d.combo.SelectItem(1); // the face shows the selected item, not the first
    };
    const auto setList = [&](const char* t) {
        d.list.ResetContent();
        d.list.AddString(t);
    };
    const struct {
        const char* name;
        CPaintedWnd& control;
        std::function<void(const char*)> show;
    } rows[] = {{"label", d.label, [&](const char* t) { d.label.SetWindowText(t); }},
                {"edit field", d.edit, [&](const char* t) { d.edit.SetText(t); }},
                {"list box", d.list, setList},
                {"combo box", d.combo, setCombo}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto paint = [&](const char* text) {
            row.show(text);
            return PaintWindow(row.control.GetSafeHwnd());
        };
        const PaintedPixels none = paint("");
        const PaintedPixels plain = paint("Video");
        const PaintedPixels accented = paint("Vid\xC3\xA9o");
        ASSERT_LE(InkColumns(plain, none).first, InkColumns(plain, none).second);
        EXPECT_EQ(InkColumns(accented, none), InkColumns(plain, none));
        EXPECT_NE(accented.pixels, plain.pixels);
    }
}

TEST_F(ControlsWindow, ListBoxKeysClicksAndScrolling) {
    CSkListBox& list = dialog.list;
    HWND l = list.GetSafeHwnd();
    const int visible = list.GetVisibleCount();
    ASSERT_TRUE(visible > 0 && visible < 6) << visible;
    SetFocus(l);
    Keys(l, std::vector<UINT>(static_cast<size_t>(visible) - 1, VK_DOWN)); // from item 1 to the first hidden one
    EXPECT_EQ(list.GetSelectedIndex(), visible);
    EXPECT_EQ(list.GetScrollOffset(), list.GetItemPitch());
    EXPECT_EQ(list.GetScrollBar().GetPos(), 100);
    EXPECT_EQ(dialog.Count(WM_COMMAND, LBN_SELCHANGE, l), visible - 1);
    // A click on the selected item reports again; a double click adds LBN_DBLCLK.
    dialog.notices.clear();
    const LPARAM at = PointParam(20, list.GetItemRects()[visible].top - list.GetScrollOffset() + 3);
    Post(l, {{WM_LBUTTONDOWN, MK_LBUTTON, at}, {WM_LBUTTONUP, 0, at}, {WM_LBUTTONDBLCLK, MK_LBUTTON, at}});
    EXPECT_EQ(dialog.Count(WM_COMMAND, LBN_SELCHANGE, l), 2);
    EXPECT_EQ(dialog.Count(WM_COMMAND, LBN_DBLCLK, l), 1);
    // The scroll bar dragged back to the top scrolls the list; the keys it gets go on to the list: Down on the last
    // item wraps to the first.
    HWND bar = list.GetScrollBar().GetSafeHwnd();
    const int thumbY = ComputeThumb(100, 600, visible * 100, list.GetScrollBar().GetClientRect().bottom).offset + 5;
    Post(bar, {{WM_LBUTTONDOWN, MK_LBUTTON, PointParam(5, thumbY)},
               {WM_MOUSEMOVE, MK_LBUTTON, PointParam(5, thumbY - 50)},
               {WM_LBUTTONUP, 0, PointParam(5, thumbY - 50)}});
    EXPECT_EQ(list.GetScrollOffset(), 0);
    list.SetItemSelected(visible, false);
    list.SetItemSelected(5, true);
    Keys(bar, {VK_DOWN});
    EXPECT_EQ(list.GetSelectedIndex(), 0);

    list.ResetContent(); // an empty list ignores Up; a full one adds nothing
    dialog.notices.clear();
    Keys(l, {VK_UP});
    EXPECT_TRUE(dialog.notices.empty());
    for (int i = 0; i < 200; ++i)
        list.AddString("item");
    EXPECT_EQ(list.AddString("one too many"), 199);
    EXPECT_EQ(list.GetItemText(199), "item");
}

} // namespace
