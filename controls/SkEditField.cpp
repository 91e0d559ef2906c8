#include "controls/SkEditField.h"

#include "controls/SkinDrawing.h"

#include "skin/SkinSettings.h"

#include "framework/Gdi.h"
#include "framework/TextDraw.h"

namespace {

constexpr LONG kTypeBits = 0x1F;

HGDIOBJ FieldFont(HWND window) {
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(::SendMessageA(window, WM_GETFONT, 0, 0));
    return font ? font : GetStockObject(DEFAULT_GUI_FONT);
}

} // namespace

CSkEditField::CSkEditField()
    : textColor(skinSettings.editSkin.textColor), backBitmap(skinSettings.editSkin.backBitmap) {}

bool CSkEditField::SubclassWindow(HWND window) {
    if (!CWnd::SubclassWindow(window))
        return false;
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    SetWindowLongPtrA(window, GWL_STYLE, (style & ~kTypeBits) | BS_OWNERDRAW);
    text.Set("", [](std::string_view) { return 0; });
    return true;
}

bool CSkEditField::SubclassDlgItem(int id, HWND parent) {
    HWND item = ::GetDlgItem(parent, id);
    return item && SubclassWindow(item);
}

void CSkEditField::SetText(const char* newText) {
    HWND window = GetSafeHwnd();
    if (!window) {
        text.Set(newText, [](std::string_view) { return 0; });
        return;
    }
    ClientDC dc(window);
    SelectGuard fontSelection(dc.hdc(), FieldFont(window));
    text.Set(newText,
             [&](std::string_view character) { return static_cast<int>(TextExtentUtf8(dc.hdc(), character).cx); });
    Invalidate(true);
}

bool CSkEditField::GetText(char* buffer, int size) const {
    return text.CopyTo(buffer, size);
}

void CSkEditField::Enable(bool flag) {
    EnableWindow(GetSafeHwnd(), flag ? TRUE : FALSE);
    Invalidate(true);
}

void CSkEditField::DoPaint(HDC dc, const RECT& client) {
    const RECT& c = client;
    SavedDC saved(dc);
    IntersectClipRect(dc, c.left + 1, c.top + 1, c.right - 1, c.bottom - 1);
    StretchBitmap(dc, backBitmap, 0, 0, c.right - c.left, c.bottom - c.top);
    SelectObject(dc, FieldFont(GetSafeHwnd()));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, textColor);
    const std::string& s = text.Text();
    const SIZE size = TextExtentUtf8(dc, s);
    TextOutUtf8(dc, EditText::kFirstX, (c.bottom - size.cy) / 2, s);
}

bool CSkEditField::OnChildNotify(UINT message, WPARAM, LPARAM, LRESULT* result) {
    // The field paints in WM_PAINT itself; the owner-draw request the button might still make has nothing to do.
    if (message != WM_DRAWITEM)
        return false;
    *result = TRUE;
    return true;
}

LRESULT CSkEditField::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    default: return CPaintedWnd::WindowProc(message, wParam, lParam);
    }
}
