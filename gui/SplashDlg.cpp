#include "gui/SplashDlg.h"

#include "engine/EngineGlobals.h"
#include "resources/resource.h"

CSplashDlg::CSplashDlg()
    : CDialog(IDD_SPLASH),
      icon(static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, 0, 0,
                                         LR_DEFAULTSIZE | LR_SHARED))) {}

BOOL CSplashDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    HWND window = GetSafeHwnd();
    ::SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    ::SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    SetWindowText(productName);
    // The template's dialog units give the picture's size only as nearly as the font's metrics allow: the window
    // takes the picture's exact size, so that no strip of dialog grey shows at its edges.
    RECT picture = {};
    if (HWND item = GetDlgItem(IDC_SPLASH_PICTURE); item && ::GetWindowRect(item, &picture)) {
        RECT frame = {};
        ::GetWindowRect(window, &frame);
        const int width = picture.right - picture.left;
        const int height = picture.bottom - picture.top;
        const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
        ::SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        ::SetWindowPos(item, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return TRUE;
}
