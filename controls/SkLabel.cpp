#include "controls/SkLabel.h"

#include "controls/SkinDrawing.h"

#include "framework/Gdi.h"
#include "framework/TextDraw.h"

namespace {

constexpr LONG kAlignBits = 0x03;
constexpr LONG kCentred = 1;
constexpr LONG kRight = 2;
constexpr int kBehindMargin = 3;

} // namespace

bool CSkLabel::SubclassWindow(HWND window) {
    if (!CWnd::SubclassWindow(window))
        return false;
    style = static_cast<LONG>(GetWindowLongPtrA(window, GWL_STYLE));
    // The template's text is taken as one line, whatever it holds.
    std::string initial = GetWindowText();
    if (initial.size() > LabelText::kMaxLine)
        initial.resize(LabelText::kMaxLine);
    text.Set(initial.c_str());
    return true;
}

bool CSkLabel::SubclassDlgItem(int id, HWND parent) {
    HWND item = ::GetDlgItem(parent, id);
    return item && SubclassWindow(item);
}

void CSkLabel::InvalidateBehind() const {
    HWND window = GetSafeHwnd();
    HWND parent = window ? GetParent(window) : nullptr;
    if (!parent)
        return;
    RECT rect = {};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    rect.left -= kBehindMargin;
    rect.top -= kBehindMargin;
    InvalidateRect(parent, &rect, TRUE);
}

void CSkLabel::DoPaint(HDC dc, const RECT& client) {
    OwnedFont font(CreateSkinFont(kFontHeight));
    SavedDC saved(dc);
    SelectObject(dc, font.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    IntersectClipRect(dc, 1, 1, client.right, client.bottom);
    const bool disabled = !IsWindowEnabled(GetSafeHwnd());
    int y = 0;
    for (int i = 0; i < text.LineCount(); ++i) {
        const std::string line = text.Line(i);
        const SIZE size = TextExtentUtf8(dc, line);
        const LONG align = style & kAlignBits;
        const int x = align == kCentred ? (client.right - size.cx) / 2 : align == kRight ? client.right - size.cx - 2 : 2;
        if (disabled)
            TextOutUtf8(dc, x + 1, y + 1, line);
        TextOutUtf8(dc, x, y, line);
        y += size.cy + 1;
        // Lines below the label would be cut anyway.
        if (y > client.bottom)
            break;
    }
}

LRESULT CSkLabel::OnSetText(LPARAM newText) {
    // A window subclassed through the common controls' subclassing gets its messages in their Unicode form, the
    // text of WM_SETTEXT included, whatever the caller's character set: it is turned back into the ANSI code page.
    if (IsWindowUnicode(GetSafeHwnd())) {
        const auto* wide = reinterpret_cast<const wchar_t*>(newText);
        text.Set(NarrowText(wide ? wide : L"").c_str());
    } else {
        text.Set(reinterpret_cast<const char*>(newText));
    }
    InvalidateBehind();
    return TRUE;
}

LRESULT CSkLabel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETTEXT: return OnSetText(lParam);
    default: return CPaintedWnd::WindowProc(message, wParam, lParam);
    }
}
