#include "skin/SkListHeader.h"

#include "skin/SkinBitmapDraw.h"
#include "skin/SkinSettings.h"

#include "framework/Gdi.h"
#include "framework/TextDraw.h"

#include <commctrl.h>
#include <windowsx.h>

CSkListHeader::CSkListHeader() {
    const HeaderSkin& s = skinSettings.headerSkin;
    backColour = s.backColour;
    textColour = s.textColour;
    textLightColour = s.textLightColour;
    bitmapHeight = s.bitmapHeight;
    spanWidth = s.spanWidth;
    startWidth = s.startWidth;
    endWidth = s.endWidth;
    spanBitmap = s.spanBitmap;
    startBitmap = s.startBitmap;
    endBitmap = s.endBitmap;
}

HeaderSizes CSkListHeader::Sizes() const {
    return HeaderSizes{bitmapHeight, spanWidth, startWidth, endWidth};
}

LRESULT CSkListHeader::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: return OnPaint();
    case WM_PRINTCLIENT: DoPaint(reinterpret_cast<HDC>(wParam)); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_RBUTTONUP: return OnRButtonUp(wParam, lParam);
    default: return CWnd::WindowProc(message, wParam, lParam);
    }
}

LRESULT CSkListHeader::OnRButtonUp(WPARAM wParam, LPARAM lParam) {
    // Taken from the message rather than the pointer: the header's NM_RCLICK, sent while the platform handles this
    // release, carries no point of its own.
    rightClick = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    hasRightClick = true;
    const LRESULT result = Default(WM_RBUTTONUP, wParam, lParam);
    hasRightClick = false;
    return result;
}

bool CSkListHeader::TakeRightClickPoint(POINT* point) {
    if (!hasRightClick)
        return false;
    *point = rightClick;
    hasRightClick = false;
    return true;
}

LRESULT CSkListHeader::OnPaint() {
    PaintDC paint(GetSafeHwnd());
    DoPaint(paint.hdc());
    return 0;
}

void CSkListHeader::DoPaint(HDC dc) {
    const RECT client = GetClientRect();
    if (client.right <= client.left || client.bottom <= client.top)
        return;
    MemoryBuffer buffer(dc, client);
    HDC memory = buffer.hdc();
    MemoryDC scratch(memory);
    FillSolidRect(memory, client, backColour);
    StretchSkinBitmap(memory, scratch.hdc(), spanBitmap, spanWidth, bitmapHeight, 2, 0, client.right - 2, bitmapHeight);

    OwnedFont font(
        CreateFontA(kTitleFontHeight, 0, 0, 0, kTitleFontWeight, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma"));
    SelectGuard fontSelection(memory, font.get());
    SetBkMode(memory, TRANSPARENT);
    const HeaderSizes sizes = Sizes();
    const int count = Header_GetItemCount(GetSafeHwnd());
    for (int i = 0; i < count; ++i) {
        char title[256] = {};
        HDITEMA item = {};
        item.mask = HDI_TEXT | HDI_FORMAT | HDI_ORDER;
        item.pszText = title;
        item.cchTextMax = sizeof title;
        RECT r = {};
        if (!::SendMessageA(GetSafeHwnd(), HDM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item)) ||
            !Header_GetItemRect(GetSafeHwnd(), i, &r))
            continue;
        const HeaderItemPieces pieces =
            LayoutHeaderItem(PixelRect{r.left, r.top, r.right, r.bottom}, item.iOrder == 0, sizes);
        DrawSkinBitmap(memory, scratch.hdc(), startBitmap, pieces.startCap.left, pieces.startCap.top, startWidth,
                       bitmapHeight);
        if (pieces.spanColumn.Width() > 0)
            DrawSkinBitmap(memory, scratch.hdc(), spanBitmap, pieces.spanColumn.left, pieces.spanColumn.top, spanWidth,
                           bitmapHeight);
        StretchSkinBitmap(memory, scratch.hdc(), spanBitmap, spanWidth, bitmapHeight, pieces.middle.left,
                          pieces.middle.top, pieces.middle.Width(), pieces.middle.Height());
        DrawSkinBitmap(memory, scratch.hdc(), endBitmap, pieces.endCap.left, pieces.endCap.top, endWidth, bitmapHeight);

        RECT titleRect = ToRect(pieces.title);
        SetTextColor(memory, textLightColour);
        DrawTextUtf8(memory, title, &titleRect, kTitleFormat);
        OffsetRect(&titleRect, -1, -1);
        SetTextColor(memory, textColour);
        DrawTextUtf8(memory, title, &titleRect, kTitleFormat);
    }
    buffer.Blit(dc);
}
