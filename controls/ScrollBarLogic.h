#pragma once

// The narrow scroll bar apart from its window: position clamping, thumb geometry, what a press does and how far a
// drag moves. Position, range and page are in the owner's units.

// n limited to 0 .. range - page (0 when the page is not smaller than the range).
int ClampScrollPos(int n, int range, int page);

struct ThumbGeometry {
    bool hasThumb = false; // range 0 draws no thumb
    int offset = 0;        // t: trunc(pos / range * (h - 10))
    int length = 0;        // l: trunc((h - 9) * page / range)
};
// Painting passes the client height less 1, hit testing the client height itself.
ThumbGeometry ComputeThumb(int pos, int range, int page, int h);

enum class ScrollPress { pageUp, drag, pageDown };
// Below the thumb pages down, on it drags, above it (and on its top two rows) pages up.
ScrollPress ClassifyPress(int y, const ThumbGeometry& thumb);

// The position change for a drag of dy pixels on a bar clientHeight high: trunc(dy / (height - 16) * range); 0 when
// the bar is too short to drag on.
int DragPositionDelta(int dy, int clientHeight, int range);
