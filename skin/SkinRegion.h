#pragma once

#include <windows.h>

// A window region of every pixel of bitmap that is not of the key colour (within keyColour .. keyColour + tolerance
// per component), one rectangle per opaque run of each row. The caller owns the region (SetWindowRgn takes it over).
// A picture entirely of the key colour gives an empty region. Null when bitmap is null or any part of the region
// cannot be made (a device context, the 32-bit copy, a region of rectangles, their union): a window given no region
// keeps its rectangle, where an empty or partial one would hide it.
using RegionMaker = HRGN(WINAPI*)(const XFORM*, DWORD, const RGNDATA*);
HRGN CreateRegionFromBitmap(HBITMAP bitmap, COLORREF keyColour, COLORREF toleranceColour,
                            RegionMaker makeRegion = ExtCreateRegion);

// Rectangles per partial region: regions are built from blocks of this many and merged, so the number of merges
// stays small while no single ExtCreateRegion gets an unbounded block.
inline constexpr DWORD kRegionBlockRectangles = 2000;
