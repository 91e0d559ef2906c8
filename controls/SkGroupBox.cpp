#include "controls/SkGroupBox.h"

#include "controls/SkinDrawing.h"
#include "controls/SkLabel.h"

#include "skin/SkinSettings.h"

#include "framework/Gdi.h"
#include "framework/TextDraw.h"

namespace {

constexpr COLORREF kFrameColour = RGB(230, 230, 230);
constexpr int kCaptionX = 11;
constexpr int kCaptionY = 1;
constexpr size_t kMaxCaption = 255;

} // namespace

CSkGroupBox::CSkGroupBox() : faceColor(skinSettings.frameSkin.faceColor) {}

bool CSkGroupBox::SubclassWindow(HWND window) {
    if (!CWnd::SubclassWindow(window))
        return false;
    style = static_cast<LONG>(GetWindowLongPtrA(window, GWL_STYLE));
    caption = GetWindowText();
    if (caption.size() > kMaxCaption)
        caption.resize(kMaxCaption);
    SetWindowText("");
    Invalidate(true);
    return true;
}

bool CSkGroupBox::SubclassDlgItem(int id, HWND parent) {
    HWND item = ::GetDlgItem(parent, id);
    return item && SubclassWindow(item);
}

void CSkGroupBox::DoPaint(HDC dc, const RECT& client) {
    const RECT& c = client;
    OwnedFont font(CreateSkinFont(CSkLabel::kFontHeight));
    SavedDC saved(dc);
    SelectObject(dc, font.get());
    SetBkMode(dc, TRANSPARENT);
    const SIZE size = TextExtentUtf8(dc, caption);
    SetTextColor(dc, RGB(0, 0, 0));
    TextOutUtf8(dc, kCaptionX, kCaptionY, caption);
    // The frame's top edge runs through the middle of the caption and is interrupted behind it.
    ExcludeClipRect(dc, 8, 0, size.cx + 12, size.cy);
    OwnedPen pen(CreatePen(PS_SOLID, 2, kFrameColour));
    SelectGuard penSelection(dc, pen.get());
    SelectGuard brushSelection(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, 1, size.cy / 2, c.right - 1, c.bottom - 1);
}

LRESULT CSkGroupBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    default: return CPaintedWnd::WindowProc(message, wParam, lParam);
    }
}
