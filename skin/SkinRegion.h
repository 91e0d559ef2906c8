#pragma once

#include <windows.h>

// A window region of every pixel of bitmap that is not of the key colour (within keyColour .. keyColour + tolerance
// per component), one rectangle per opaque run of each row. The caller owns the region (SetWindowRgn takes it over).
// Null when bitmap is null or a device context or the 32-bit copy cannot be made.
HRGN CreateRegionFromBitmap(HBITMAP bitmap, COLORREF keyColour, COLORREF toleranceColour);

// Rectangles per partial region: regions are built from blocks of this many and merged, so the number of merges
// stays small while no single ExtCreateRegion gets an unbounded block.
inline constexpr DWORD kRegionBlockRectangles = 2000;
