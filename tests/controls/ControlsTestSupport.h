#pragma once
// What the controls' window tests and their benchmark share: a dialog holding the skinned controls they drive.

#include "ControlsTestIds.h"

#include "controls/RangeSlider.h"
#include "controls/SkComboBox.h"
#include "controls/SkEditField.h"
#include "controls/SkLabel.h"
#include "controls/SkListBox.h"
#include "controls/SkTabBar.h"

#include "framework/Dialog.h"

#include "resources/resource.h"
#include "tests/support/Canvas.h"
#include "tests/support/MessagePump.h"
#include "tests/support/SkinForTests.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

struct Notice {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// The skinned controls in one dialog, recording what they tell it.
class GalleryDialog : public CDialog {
public:
    GalleryDialog() : CDialog(IDD_CONTROLS_GALLERY) {}

    CRangeSlider slider;
    CSkComboBox combo;
    CSkComboBox shortCombo;
    CSkListBox list;
    CSkTabBar tabs;
    CSkLabel label;
    CSkEditField edit;
    std::vector<Notice> notices;
    // The selection the parent reads back while it handles each notice, as the main window does.
    std::vector<std::pair<double, double>> selectionsSeen;

    // Notices of message (of WM_COMMAND: with this code), from control when one is given.
    int Count(UINT message, WORD code = 0, HWND control = nullptr) const {
        return static_cast<int>(std::count_if(notices.begin(), notices.end(), [&](const Notice& m) {
            return m.message == message && (message != WM_COMMAND || HIWORD(m.wParam) == code) &&
                   (!control || reinterpret_cast<HWND>(m.lParam) == control);
        }));
    }

protected:
    // Places the template's control id at x, y in pixels and attaches control to it.
    template <class Control> void Attach(Control& control, HWND dialog, int id, int x, int y, int width, int height) {
        SetWindowPos(::GetDlgItem(dialog, id), nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        control.SubclassDlgItem(id, dialog);
    }
    BOOL OnInitDialog() override {
        HWND window = GetSafeHwnd();
        SetWindowPos(window, HWND_TOPMOST, 20, 20, 760, 360, SWP_NOACTIVATE);
        Attach(label, window, IDC_G_LABEL, 22, 58, 150, 16);
        Attach(edit, window, IDC_G_EDIT, 22, 76, 276, 18);
        Attach(combo, window, IDC_G_COMBO, 22, 104, 200, 18);
        Attach(shortCombo, window, IDC_G_COMBO_SHORT, 22, 132, 200, 18);
        Attach(list, window, IDC_G_LIST, 22, 240, 180, 100);
        Attach(tabs, window, IDC_G_TABS, 318, 40, 436, 17);
        Attach(slider, window, IDC_G_SLIDER, 330, 90, 346, 20);
        for (const char* size : {"320x240", "480x320", "640x480"})
            combo.SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(size));
        for (int i = 0; i < 7; ++i) // seven bit rates and six profiles: more than their lists show
            shortCombo.SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_string(96 + 32 * i).c_str()));
        for (int i = 0; i < 6; ++i)
            list.AddString(("Profile " + std::to_string(i) + "\tH.264").c_str());
        combo.SelectItem(0);
        shortCombo.SelectItem(1);
        list.SetItemSelected(1, true);
        for (int i = 0; i < 6; ++i)
            tabs.AddTab(i, IDB_TAB_IPOD + i);
        tabs.SelectTab(0);
        slider.SetBounds(0, 120);
        slider.SetSelection(30, 90);
        return TRUE;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        const bool command = message == WM_COMMAND && (HIWORD(wParam) == CBN_SELCHANGE || HIWORD(wParam) == LBN_DBLCLK);
        if (message != RANGE_CHANGED && !command)
            return CDialog::WindowProc(message, wParam, lParam);
        notices.push_back({message, wParam, lParam});
        double b = 0;
        double e = 0;
        slider.GetSelection(b, e);
        selectionsSeen.emplace_back(b, e);
        return 0;
    }
};
