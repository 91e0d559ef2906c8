#include "gui/ConverterDlg.h"

#include "engine/EngineGlobals.h"
#include "resources/resource.h"

namespace {

// Child controls are placed in client pixels here, whatever the template's dialog units give.
struct ControlPlace {
    int id;
    int x, y, width, height;
};

constexpr ControlPlace controlPlaces[] = {
    {IDC_CLOSE_BUTTON, 785, 8, 18, 18},
};

} // namespace

CConverterDlg::CConverterDlg() : CDialog(IDD_MOVARA_DIALOG) {}

BOOL CConverterDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    HWND self = GetSafeHwnd();
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    // Shared icons belong to the module; the window only borrows them.
    auto* const bigIcon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON,
                                                         GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON),
                                                         LR_SHARED));
    auto* const smallIcon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON,
                                                           GetSystemMetrics(SM_CXSMICON),
                                                           GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    ::SendMessageA(self, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
    ::SendMessageA(self, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));

    // The template has no caption (a caption statement would give the window a title bar);
    // the title still names the program in the task bar.
    ::SetWindowTextA(self, productName);

    // The template makes the window visible and it moves here, so the dialog manager does
    // not centre it: the main window always opens at the screen's top-left corner.
    ::SetWindowPos(self, nullptr, 0, 0, windowWidth, windowHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    for (const ControlPlace& place : controlPlaces)
        ::SetWindowPos(::GetDlgItem(self, place.id), nullptr, place.x, place.y, place.width, place.height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

LRESULT CConverterDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    default: return CDialog::WindowProc(message, wParam, lParam);
    }
}

LRESULT CConverterDlg::OnCommand(int id, int code, HWND control)
{
    if (id == IDC_CLOSE_BUTTON && code == BN_CLICKED) {
        OnCancel();
        return 0;
    }
    return CDialog::WindowProc(WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}
