#include "gui/MessageDlg.h"

#include "controls/MessageLayout.h"
#include "controls/SkinDrawing.h"

#include "skin/SkinBackground.h"

#include "framework/Gdi.h"
#include "framework/TextDraw.h"
#include "framework/WinApp.h"

#include "resources/resource.h"

#include <vector>

namespace {

constexpr unsigned kButtonBits = 0x0F;
constexpr COLORREF kCloseNormal = RGB(49, 66, 97);
constexpr COLORREF kCloseHotText = RGB(20, 20, 20);

// The four kind icons, loaded the first time any box initialises and kept for the process (shared icons, which the
// system releases).
HICON LoadKindIcon(int id) {
    static HICON icons[4] = {};
    static bool loaded = false;
    if (!loaded) {
        const int ids[4] = {IDI_MSG_ERROR, IDI_MSG_WARNING, IDI_MSG_QUESTION, IDI_MSG_INFORMATION};
        for (int i = 0; i < 4; ++i)
            icons[i] = static_cast<HICON>(
                LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(ids[i]), IMAGE_ICON, 32, 32, LR_SHARED));
        loaded = true;
    }
    switch (id) {
    case IDI_MSG_ERROR: return icons[0];
    case IDI_MSG_WARNING: return icons[1];
    case IDI_MSG_QUESTION: return icons[2];
    default: return icons[3];
    }
}

void Place(HWND window, const PixelRect& r) {
    SetWindowPos(window, nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}

} // namespace

CMessageDlg::CMessageDlg(const char* newText, const char* newCaption, unsigned newType, HWND parent)
    : CDialog(IDD_MESSAGE, parent), type(newType), text(newText ? newText : ""),
      caption(newCaption ? newCaption : "") {}

BOOL CMessageDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    HWND window = GetSafeHwnd();
    captionLabel.SubclassDlgItem(IDC_MSG_CAPTION, window);
    textLabel.SubclassDlgItem(IDC_MSG_TEXT, window);
    icon.SubclassDlgItem(IDC_MSG_ICON, window);
    firstButton.SubclassDlgItem(IDOK, window);
    secondButton.SubclassDlgItem(IDCANCEL, window);
    closeButton.SubclassDlgItem(IDC_MSG_CLOSE, window);

    firstButton.UseParentBackground(false);
    secondButton.UseParentBackground(false);
    closeButton.AssignIcons(IDI_CLOSE_ON, IDI_CLOSE_OFF);
    closeButton.UseParentBackground(false);
    closeButton.ShowHoverFrame(false, false);
    closeButton.SetImagePlacement(1, false);
    closeButton.SetStateColour(CSkButton::kNormalText, kCloseNormal, false);
    closeButton.SetStateColour(CSkButton::kHotText, kCloseHotText, false);
    closeButton.SetStateColour(CSkButton::kFocusText, kCloseNormal, false);
    closeButton.SetStateColour(CSkButton::kHotBack, kCloseNormal, false);

    const MessageKind kind = KindForType(type);
    iconId = kind.iconId;
    icon.SetIcon(LoadKindIcon(kind.iconId));
    captionLabel.SetWindowText(caption.empty() ? kind.caption : caption.c_str());

    const MessageButtons buttons = ButtonsForType(type);
    firstButton.SetWindowText(buttons.first);
    if (buttons.second)
        secondButton.SetWindowText(buttons.second);
    else
        secondButton.ShowWindow(SW_HIDE);

    textLabel.SetWindowText(text.c_str());
    LayOut();
    Invalidate(true);
    result = MessageResult(type, false);
    return TRUE;
}

void CMessageDlg::LayOut() {
    // Measured in the font the label draws with, so that the box fits the text as it shows.
    std::vector<TextExtent> lines;
    {
        ClientDC screen(nullptr);
        OwnedFont font(CreateSkinFont(CSkLabel::kFontHeight));
        SelectGuard selection(screen.hdc(), font.get());
        for (int i = 0; i < textLabel.GetLineCount(); ++i) {
            const std::string line = textLabel.GetLine(i);
            const SIZE size = TextExtentUtf8(screen.hdc(), line);
            lines.push_back({size.cx, size.cy});
        }
    }
    const PixelRect screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    PixelRect area = screen;
    // A minimised parent is "visible" to the system but shows nothing to centre over.
    HWND parent = GetWindow(GetSafeHwnd(), GW_OWNER);
    if (parentWindow)
        parent = parentWindow;
    if (parent && IsWindowVisible(parent) && !IsIconic(parent)) {
        RECT client = {};
        ::GetClientRect(parent, &client);
        MapWindowPoints(parent, nullptr, reinterpret_cast<POINT*>(&client), 2);
        area = {client.left, client.top, client.right, client.bottom};
    }
    const MessageLayout layout = LayOutMessage(type, lines, area, screen);
    MoveWindow(GetSafeHwnd(), layout.window.left, layout.window.top, layout.window.Width(), layout.window.Height(),
               FALSE);
    Place(icon.GetSafeHwnd(), layout.icon);
    Place(textLabel.GetSafeHwnd(), layout.text);
    Place(closeButton.GetSafeHwnd(), layout.close);
    Place(captionLabel.GetSafeHwnd(), layout.caption);
    Place(firstButton.GetSafeHwnd(), layout.firstButton);
    if ((type & kButtonBits) != 0)
        Place(secondButton.GetSafeHwnd(), layout.secondButton);
}

void CMessageDlg::OnOK() {
    result = MessageResult(type, true);
    EndDialog(result);
}

void CMessageDlg::OnCancel() {
    result = MessageResult(type, false);
    EndDialog(result);
}

LRESULT CMessageDlg::OnEraseBackground(HDC dc) {
    PaintSkinnedDialogBackground(GetSafeHwnd(), dc);
    return TRUE;
}

LRESULT CMessageDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == IDC_MSG_CLOSE && HIWORD(wParam) == BN_CLICKED) {
        OnCancel();
        return 0;
    }
    return CDialog::WindowProc(WM_COMMAND, wParam, lParam);
}

LRESULT CMessageDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: return OnEraseBackground(reinterpret_cast<HDC>(wParam));
    case WM_NCHITTEST: return HTCAPTION; // the box is dragged by any point of its body
    case WM_COMMAND: return OnCommand(wParam, lParam);
    default: return CDialog::WindowProc(message, wParam, lParam);
    }
}

namespace {

// The owner of a box shown without a parent: this thread's active window, or, while Movara is in the background and
// has none, the application's main window, so that the box stays modal to it and shares its taskbar button.
HWND DefaultOwner() {
    if (HWND active = GetActiveWindow())
        return active;
    const CWinApp* app = CWinApp::GetApp();
    const CWnd* main = app ? app->GetMainWindow() : nullptr;
    return main ? main->GetSafeHwnd() : nullptr;
}

} // namespace

int ShowMessage(const char* text, const char* caption, unsigned type, HWND parent) {
    CMessageDlg box(text, caption, type, parent ? parent : DefaultOwner());
    box.DoModal();
    return box.GetResult();
}
