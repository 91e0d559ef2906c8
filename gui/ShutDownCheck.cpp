#include "gui/ShutDownCheck.h"

#include "framework/Gdi.h"
#include "framework/TextDraw.h"

#include <string>

namespace {

constexpr COLORREF kCaptionText = RGB(0, 0, 0);
constexpr COLORREF kCaptionHotText = RGB(49, 66, 97);
// The caption starts right after the box, which the icon pair draws at its left edge (3 + 1 .. 3 + 13 in the
// control), not after the whole 32-pixel icon: the long caption needs the room.
constexpr int kCaptionLeft = 20;
constexpr int kCaptionFontHeight = 11;
constexpr int kSmallestCaptionFontHeight = 9;

} // namespace

void CShutDownCheck::PaintCaption(HDC dc, const std::string& caption, RECT area) {
    area.left = kCaptionLeft;
    // Tahoma of 11 pixels (8 points on a 96-dpi screen) fits the line; where the system puts a wider face in its
    // place, the caption steps down a pixel or two rather than lose its end.
    OwnedFont font;
    for (int height = kCaptionFontHeight; height >= kSmallestCaptionFontHeight; --height) {
        font.reset(CreateFontA(-height, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma"));
        SelectGuard measuring(dc, font.get());
        if (TextExtentUtf8(dc, caption).cx <= area.right - area.left)
            break;
    }
    SelectGuard fontSelection(dc, font.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, disabled ? GetSysColor(COLOR_GRAYTEXT) : (hovering ? kCaptionHotText : kCaptionText));
    DrawTextUtf8(dc, caption, &area, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX);
}
