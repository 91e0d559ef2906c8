#include "controls/SkComboBox.h"

#include "controls/SkinDrawing.h"

#include "framework/Gdi.h"
#include "framework/TextDraw.h"

namespace {

constexpr int kFaceTextX = 3;
constexpr int kFaceTextY = 2;
constexpr int kFaceTextRightReserve = 18;
constexpr int kFaceTextBottom = 18;

} // namespace

CSkComboBox::CSkComboBox()
    : lightColor(skinSettings.comboSkin.lightColor), shadowColor(skinSettings.comboSkin.shadowColor),
      hotTextColor(skinSettings.comboSkin.hotTextColor), textColor(skinSettings.comboSkin.textColor),
      faceBitmap(skinSettings.comboSkin.faceBitmap), listBackBitmap(skinSettings.comboSkin.listBackBitmap),
      arrowBitmap(skinSettings.comboSkin.arrowBitmap), listFrameBitmap(skinSettings.comboSkin.listFrameBitmap),
      dropDown(skinSettings.layeredAttributesEntry) {}

CSkComboBox::~CSkComboBox() {
    dropDown.Close();
}

int CSkComboBox::GetCurSel() const {
    return GetSafeHwnd() ? static_cast<int>(SendMessage(CB_GETCURSEL)) : -1;
}

int CSkComboBox::GetCount() const {
    return GetSafeHwnd() ? static_cast<int>(SendMessage(CB_GETCOUNT)) : 0;
}

std::string CSkComboBox::GetItemText(int index) const {
    const LRESULT length = SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
    if (length == CB_ERR || length < 0)
        return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT copied =
        SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == CB_ERR || copied < 0 ? 0 : static_cast<size_t>(copied));
    return text;
}

HFONT CSkComboBox::GetFont() const {
    return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
}

void CSkComboBox::SelectItem(int index) {
    if (index != GetCurSel())
        SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index));
    Invalidate(true);
}

void CSkComboBox::PickItem(int index) {
    HWND window = GetSafeHwnd();
    const int id = GetDlgCtrlID(window);
    // Posted, so that the parent reads the selection after it is in place.
    ::PostMessageA(GetParent(window), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(window));
    SelectItem(index);
}

void CSkComboBox::Open() {
    HWND window = GetSafeHwnd();
    RECT c = GetClientRect();
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&c), 2);
    dropDown.Prepare(this, GetFont(), listBackBitmap, listFrameBitmap);
    dropDown.Measure(c.right - c.left);
    const PixelRect combo = {c.left, c.top, c.right, c.bottom};
    const PixelPoint at = PlacePopup(combo, c.bottom - c.top, dropDown.GetWidth(), dropDown.GetHeight(),
                                     GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    dropDown.Open(at.x, at.y);
}

void CSkComboBox::PaintFace(HDC dc) {
    const RECT c = GetClientRect();
    const SIZE face = GetBitmapSize(faceBitmap);
    // A box taller than the face bitmap would show unpainted rows below it: the face then fills the height.
    StretchBitmap(dc, faceBitmap, 0, 0, c.right, c.bottom > face.cy ? c.bottom : face.cy);
    const SIZE arrow = GetBitmapSize(arrowBitmap);
    DrawBitmap(dc, arrowBitmap, c.right - arrow.cx - 1, 1);
    const int selected = GetCurSel();
    if (selected == CB_ERR)
        return;
    const std::string text = GetItemText(selected);
    SavedDC saved(dc);
    SelectObject(dc, GetFont() ? GetFont() : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, textColor);
    IntersectClipRect(dc, c.left, c.top, c.right - kFaceTextRightReserve, kFaceTextBottom);
    TextOutUtf8(dc, kFaceTextX, kFaceTextY, text);
}

LRESULT CSkComboBox::OnPaint() {
    PaintDC paint(GetSafeHwnd());
    const RECT client = GetClientRect();
    if (client.right <= 0 || client.bottom <= 0)
        return 0;
    MemoryBuffer buffer(paint.hdc(), client);
    PaintFace(buffer.hdc());
    buffer.Blit(paint.hdc());
    return 0;
}

bool CSkComboBox::PreTranslateMessage(MSG* msg) {
    if (msg->hwnd != GetSafeHwnd())
        return false;
    return HandleInput(msg->message, msg->wParam);
}

bool CSkComboBox::HandleInput(UINT message, WPARAM wParam) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        SetFocus(GetSafeHwnd());
        if (dropDown.IsOpen()) {
            dropDown.Close();
            Invalidate(true);
        } else {
            Open();
        }
        return true;
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_MOUSEWHEEL: return true;
    case WM_KEYDOWN: return HandleKey(static_cast<UINT>(wParam & 0xFF));
    default: return false;
    }
}

bool CSkComboBox::HandleKey(UINT key) {
    if (key == VK_TAB)
        return false; // the dialog moves the focus on
    if (dropDown.IsOpen()) {
        dropDown.HandleKey(key);
        return true;
    }
    switch (key) {
    case VK_RETURN: Open(); break;
    case VK_LEFT:
    case VK_UP: PickItem(StepIndex(GetCurSel(), GetCount(), false)); break;
    case VK_RIGHT:
    case VK_DOWN: PickItem(StepIndex(GetCurSel(), GetCount(), true)); break;
    default: break; // swallowed: no type-ahead, no characters
    }
    return true;
}

bool CSkComboBox::BelongsToPopup(HWND window) const {
    if (!window)
        return false;
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpA(name, kComboWindowClass) == 0)
        return true;
    // The popup's scroll bar.
    HWND popup = dropDown.GetSafeHwnd();
    return popup && IsChild(popup, window);
}

LRESULT CSkComboBox::OnKillFocus(HWND newFocus) {
    if (dropDown.IsOpen() && newFocus != GetSafeHwnd() && !BelongsToPopup(newFocus))
        dropDown.Close();
    Invalidate(true);
    return 0;
}

LRESULT CSkComboBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: return OnPaint();
    case WM_SETFOCUS: Invalidate(true); return 0;
    case WM_KILLFOCUS: return OnKillFocus(reinterpret_cast<HWND>(wParam));
    case WM_DESTROY: dropDown.Close(); return Default(message, wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_MOUSEWHEEL:
    case WM_KEYDOWN:
        // Input that reached the box without passing a pre-translating loop (sent, or from a loop of someone
        // else's) gets the same treatment, so the platform's own list never opens.
        if (HandleInput(message, wParam))
            return 0;
        return Default(message, wParam, lParam);
    default: return CPaintedWnd::WindowProc(message, wParam, lParam);
    }
}
