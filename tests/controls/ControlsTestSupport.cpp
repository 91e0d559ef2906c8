#include "ControlsTestSupport.h"

#include "ControlsTestIds.h"

#include "skin/SkinBackground.h"

#include "resources/resource.h"

GalleryDialog::GalleryDialog() : CDialog(IDD_CONTROLS_GALLERY) {}

int GalleryDialog::Count(UINT message, WORD code) const {
    int n = 0;
    for (const Notice& notice : notices)
        if (notice.message == message && (message != WM_COMMAND || HIWORD(notice.wParam) == code))
            ++n;
    return n;
}

BOOL GalleryDialog::OnInitDialog() {
    HWND window = GetSafeHwnd();
    SetWindowPos(window, HWND_TOPMOST, 20, 20, kWidth, kHeight, SWP_NOACTIVATE);
    auto place = [&](int id, int x, int y, int width, int height) {
        SetWindowPos(::GetDlgItem(window, id), nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place(IDC_G_GROUP, 10, 34, 300, 316);
    place(IDC_G_LABEL, 22, 58, 150, 16);
    place(IDC_G_EDIT, 22, 76, 276, 18);
    place(IDC_G_COMBO, 22, 104, 200, 18);
    place(IDC_G_COMBO_SHORT, 22, 132, 200, 18);
    place(IDC_G_LIST, 22, 240, 180, 100);
    place(IDC_G_LABEL_MULTI, 210, 240, 96, 60);
    place(IDC_G_TABS, 318, 40, 436, 17);
    place(IDC_G_SLIDER, 330, 90, 346, 20);
    place(IDC_G_ICON, 330, 130, 32, 32);
    place(IDC_G_LABEL_CENTRE, 370, 138, 200, 16);

    group.SubclassDlgItem(IDC_G_GROUP, window);
    slider.SubclassDlgItem(IDC_G_SLIDER, window);
    combo.SubclassDlgItem(IDC_G_COMBO, window);
    shortCombo.SubclassDlgItem(IDC_G_COMBO_SHORT, window);
    list.SubclassDlgItem(IDC_G_LIST, window);
    label.SubclassDlgItem(IDC_G_LABEL, window);
    multiLabel.SubclassDlgItem(IDC_G_LABEL_MULTI, window);
    centreLabel.SubclassDlgItem(IDC_G_LABEL_CENTRE, window);
    tabs.SubclassDlgItem(IDC_G_TABS, window);
    edit.SubclassDlgItem(IDC_G_EDIT, window);
    icon.SubclassDlgItem(IDC_G_ICON, window);

    const char* sizes[] = {"320x240", "480x320", "640x480"};
    for (const char* s : sizes)
        combo.SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    const char* rates[] = {"96 kbps", "128 kbps", "160 kbps", "192 kbps", "224 kbps", "256 kbps", "320 kbps"};
    for (const char* s : rates)
        shortCombo.SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    combo.SelectItem(0);
    shortCombo.SelectItem(1);
    const char* profiles[] = {"iPod Video\tH.264", "iPod Classic\tMPEG-4", "iPod Nano\tH.264",
                              "iPod Touch\tH.264", "iPhone\tH.264",       "Apple TV\tH.264"};
    for (const char* p : profiles)
        list.AddString(p);
    list.SetItemSelected(1, true);
    multiLabel.SetWindowText("Best quality\nfor the screen");
    for (int i = 0; i < 6; ++i)
        tabs.AddTab(i, IDB_TAB_IPOD + i);
    tabs.SelectTab(0);
    edit.SetText("C:\\Videos\\Movara\\");
    edit.Enable(false);
    slider.SetBounds(0, 120);
    slider.SetSelection(30, 90);
    notices.clear();
    return TRUE;
}

LRESULT GalleryDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) {
        PaintSkinnedDialogBackground(GetSafeHwnd(), reinterpret_cast<HDC>(wParam));
        return 1;
    }
    if (message == RANGE_CHANGED) {
        notices.push_back({message, wParam, lParam});
        double b = 0;
        double e = 0;
        slider.GetSelection(b, e);
        selectionsSeen.emplace_back(b, e);
        return 0;
    }
    if (message == WM_COMMAND && (HIWORD(wParam) == CBN_SELCHANGE || HIWORD(wParam) == LBN_DBLCLK)) {
        notices.push_back({message, wParam, lParam});
        return 0;
    }
    if (message == kTabChangedMessage) {
        notices.push_back({message, wParam, lParam});
        return 0;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}
