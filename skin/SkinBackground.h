#pragma once

#include <windows.h>

// Paints window's whole client area into dc from the skin: the body bitmap stretched to the width and repeated
// downwards, the title strip stretched across the top, and a raised 3-pixel border (light top and left, dark right
// and bottom). Meant as a dialog's erase-background step. The DC's state (pens, clipping) is as it was afterwards.
void PaintSkinnedDialogBackground(HWND window, HDC dc);

// The same with explicit bitmaps and size, for callers that paint off screen.
void PaintSkinnedBackground(HDC dc, int width, int height, HBITMAP backgroundBitmap, HBITMAP titleBitmap);
