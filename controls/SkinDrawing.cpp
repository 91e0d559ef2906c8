#include "controls/SkinDrawing.h"

#include "framework/Gdi.h"

namespace {

int FloorToMultiple(int value, int origin, int step) {
    // The first tile position (origin + k * step) at or before value.
    const int offset = value - origin;
    int k = offset / step;
    if (offset < 0 && offset % step != 0)
        --k;
    return origin + k * step;
}

void RoundFramePass(HDC dc, const RECT& rect, HRGN clip, COLORREF colour) {
    SavedDC saved(dc);
    ExtSelectClipRgn(dc, clip, RGN_AND);
    OwnedPen pen(CreatePen(PS_SOLID, 1, colour));
    SelectGuard penSelection(dc, pen.get());
    SelectGuard brushSelection(dc, GetStockObject(NULL_BRUSH));
    RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, 5, 5);
}

} // namespace

SIZE GetBitmapSize(HBITMAP bitmap) {
    BITMAP info = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info))
        return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}

void TileBitmap(HDC dc, HBITMAP bitmap, int originX, int originY, const RECT& area) {
    const SIZE size = GetBitmapSize(bitmap);
    if (size.cx <= 0 || size.cy <= 0)
        return;
    MemoryDC source(dc);
    SelectGuard selection(source.hdc(), bitmap);
    for (int y = FloorToMultiple(area.top, originY, size.cy); y < area.bottom; y += size.cy)
        for (int x = FloorToMultiple(area.left, originX, size.cx); x < area.right; x += size.cx)
            BitBlt(dc, x, y, size.cx, size.cy, source.hdc(), 0, 0, SRCCOPY);
}

void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y) {
    const SIZE size = GetBitmapSize(bitmap);
    if (size.cx <= 0 || size.cy <= 0)
        return;
    MemoryDC source(dc);
    SelectGuard selection(source.hdc(), bitmap);
    BitBlt(dc, x, y, size.cx, size.cy, source.hdc(), 0, 0, SRCCOPY);
}

void StretchBitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height) {
    const SIZE size = GetBitmapSize(bitmap);
    if (size.cx <= 0 || size.cy <= 0 || width <= 0 || height <= 0)
        return;
    MemoryDC source(dc);
    SelectGuard selection(source.hdc(), bitmap);
    const int previousMode = SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, x, y, width, height, source.hdc(), 0, 0, size.cx, size.cy, SRCCOPY);
    SetStretchBltMode(dc, previousMode);
}

void DrawLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour) {
    OwnedPen pen(CreatePen(PS_SOLID, 1, colour));
    SelectGuard selection(dc, pen.get());
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

void DrawRoundedFrame(HDC dc, const RECT& rect, COLORREF light, COLORREF shadow) {
    const int w = rect.right - rect.left;
    const int h = rect.bottom - rect.top;
    if (w <= 0 || h <= 0)
        return;
    OwnedRegion topLeft(CreateRectRgn(rect.left, rect.top, rect.right, rect.top + 2));
    OwnedRegion left(CreateRectRgn(rect.left, rect.top, rect.left + 2, rect.bottom));
    CombineRgn(topLeft.get(), topLeft.get(), left.get(), RGN_OR);
    OwnedRegion bottomRight(CreateRectRgn(rect.left, rect.bottom - 2, rect.right, rect.bottom));
    OwnedRegion right(CreateRectRgn(rect.right - 2, rect.top, rect.right, rect.bottom));
    CombineRgn(bottomRight.get(), bottomRight.get(), right.get(), RGN_OR);
    RoundFramePass(dc, rect, topLeft.get(), light);
    RoundFramePass(dc, rect, bottomRight.get(), shadow);
}

void DrawInsetBorder(HDC dc, const RECT& a, COLORREF topLeft, COLORREF bottomRight) {
    if (a.right <= a.left || a.bottom <= a.top)
        return;
    DrawLine(dc, a.left, a.top, a.right, a.top, topLeft);
    DrawLine(dc, a.left, a.top, a.left, a.bottom, topLeft);
    DrawLine(dc, a.right - 1, a.top, a.right - 1, a.bottom, bottomRight);
    DrawLine(dc, a.left, a.bottom - 1, a.right, a.bottom - 1, bottomRight);
}

void DrawHighlightedItem(HDC dc, const RECT& item, HBITMAP tile, int tileY, COLORREF topLeft, COLORREF bottomRight) {
    {
        SavedDC saved(dc);
        const RECT inside = {item.left, item.top + 1, item.right, item.bottom - 1};
        IntersectClipRect(dc, inside.left, inside.top, inside.right, inside.bottom);
        TileBitmap(dc, tile, 0, tileY, inside);
    }
    DrawLine(dc, item.left, item.bottom - 1, item.left, item.top, topLeft);
    DrawLine(dc, item.left, item.top, item.right - 1, item.top, topLeft);
    DrawLine(dc, item.right - 1, item.top, item.right - 1, item.bottom - 1, bottomRight);
    DrawLine(dc, item.right - 1, item.bottom - 1, item.left, item.bottom - 1, bottomRight);
}

HFONT CreateSkinFont(int height) {
    return CreateFontA(height, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "Tahoma");
}
