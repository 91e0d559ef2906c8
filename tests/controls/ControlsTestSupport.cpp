#include "ControlsTestSupport.h"

#include "ControlsTestIds.h"

#include "skin/SkinBackground.h"
#include "skin/SkinLoader.h"

#include "resources/resource.h"

void EnsureSkinLoaded() {
    static bool loaded = false;
    if (!loaded) {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        LoadSkin();
        loaded = true;
    }
}

void PumpFor(DWORD milliseconds, HWND dialog) {
    const DWORD start = GetTickCount();
    MSG msg = {};
    do {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (CWnd::PreTranslateChain(&msg))
                continue;
            if (dialog && IsWindow(dialog) && IsDialogMessageA(dialog, &msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    } while (GetTickCount() - start < milliseconds);
}

Canvas::Canvas(int width, int height, COLORREF fill)
    : w(width), h(height), memory(nullptr), bitmap([&] {
          BITMAPINFO info = {};
          info.bmiHeader.biSize = sizeof info.bmiHeader;
          info.bmiHeader.biWidth = width;
          info.bmiHeader.biHeight = -height;
          info.bmiHeader.biPlanes = 1;
          info.bmiHeader.biBitCount = 32;
          void* pixels = nullptr;
          HBITMAP made = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
          bits = static_cast<unsigned char*>(pixels);
          return made;
      }()),
      selection(memory.hdc(), bitmap.get()) {
    OwnedBrush brush(CreateSolidBrush(fill));
    RECT all = {0, 0, width, height};
    FillRect(memory.hdc(), &all, brush.get());
    GdiFlush();
}

COLORREF Canvas::Pixel(int x, int y) const {
    GdiFlush();
    if (x < 0 || y < 0 || x >= w || y >= h || !bits)
        return CLR_INVALID;
    const unsigned char* p = bits + (static_cast<size_t>(y) * w + x) * 4;
    return RGB(p[2], p[1], p[0]);
}

int Canvas::Count(COLORREF colour, int left, int top, int right, int bottom) const {
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            n += Pixel(x, y) == colour ? 1 : 0;
    return n;
}

int Canvas::CountOther(COLORREF colour, int left, int top, int right, int bottom) const {
    return (right - left) * (bottom - top) - Count(colour, left, top, right, bottom);
}

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

std::string BuildFolderPath(const char* name) {
    char full[MAX_PATH] = {};
    const std::string relative = std::string("..\\..\\") + name;
    GetFullPathNameA(relative.c_str(), sizeof full, full, nullptr);
    return full;
}
