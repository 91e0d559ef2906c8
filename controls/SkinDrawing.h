#pragma once

#include <windows.h>

// Small drawing steps the skinned controls share. Each leaves the DC's selections as it found them.

SIZE GetBitmapSize(HBITMAP bitmap);

// Copies bitmap (borrowed) at every multiple of its size from originX, originY across area; tiles that lie wholly
// before area's left or top edge are skipped.
void TileBitmap(HDC dc, HBITMAP bitmap, int originX, int originY, const RECT& area);

// Copies bitmap unscaled, or stretched to width x height.
void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y);
void StretchBitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height);

// A one-pixel line from (x1, y1) to (x2, y2), the end point not drawn, in colour.
void DrawLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour);

// The skin's rounded frame over the whole rectangle (corner ellipse 5 x 5): light along the top two rows and left
// two columns, shadow along the bottom two rows and right two columns.
void DrawRoundedFrame(HDC dc, const RECT& rect, COLORREF light, COLORREF shadow);

// A one-pixel border on the outermost pixels of area: top and left in topLeft, right and bottom in bottomRight.
void DrawInsetBorder(HDC dc, const RECT& area, COLORREF topLeft, COLORREF bottomRight);

// The highlighted item of a skinned list (the list box's selection, the combo popup's hot item): tile fills the item
// between its top and bottom rows, tiled from y tileY; the item's outermost pixels are a frame, left and top in
// topLeft, right and bottom in bottomRight (the bottom-left corner belongs to the left edge).
void DrawHighlightedItem(HDC dc, const RECT& item, HBITMAP tile, int tileY, COLORREF topLeft, COLORREF bottomRight);

// The bold Tahoma of the skinned labels, frames and list items, made by the caller's paint and released with it.
HFONT CreateSkinFont(int height);
