#include "gui/ShutDownCheck.h"

#include "framework/Gdi.h"

namespace {

constexpr COLORREF kCaptionText = RGB(0, 0, 0);
constexpr COLORREF kCaptionHotText = RGB(49, 66, 97);
// The caption starts right after the box, which the icon pair draws at its left edge (3 + 1 .. 3 + 13 in the
// control), not after the whole 32-pixel icon: the long caption needs the room.
constexpr int kCaptionLeft = 20;

} // namespace

void CShutDownCheck::PaintCaption(HDC dc, const std::string& caption, RECT area) {
    // The font the dialog gave the control: the template's Tahoma 8.
    auto* font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    SelectGuard fontSelection(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, disabled ? GetSysColor(COLOR_GRAYTEXT) : (hovering ? kCaptionHotText : kCaptionText));
    area.left = kCaptionLeft;
    DrawTextA(dc, caption.c_str(), -1, &area, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX);
}
