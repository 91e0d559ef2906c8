#pragma once

#include <windows.h>

// Drawing skin bitmaps at the fixed sizes the skinned list's parts use, whatever the real size of the bitmap a skin
// supplied. The bitmaps are borrowed: they belong to the skin. scratch is a memory DC the caller made for the paint,
// compatible with target; the bitmap is selected into it only for the copy.

// Copies bitmap to (x, y) at width × height. A bitmap at least that large gives its top left part 1:1; a smaller one
// keeps its ends and stretches its middle along each short axis (see FitSlices).
void DrawSkinBitmap(HDC target, HDC scratch, HBITMAP bitmap, int x, int y, int width, int height);

// Stretches the bitmap's top left sourceWidth × sourceHeight pixels (as much of them as it has) over the rectangle:
// the tracks and spans.
void StretchSkinBitmap(HDC target, HDC scratch, HBITMAP bitmap, int sourceWidth, int sourceHeight, int x, int y,
                       int width, int height);

// A solid fill without a brush.
void FillSolidRect(HDC dc, const RECT& rect, COLORREF colour);
