#include "controls/ScrollBarLogic.h"

#include <algorithm>
#include <cmath>

int ClampScrollPos(int n, int range, int page) {
    return std::max(0, std::min(n, range - page));
}

ThumbGeometry ComputeThumb(int pos, int range, int page, int h) {
    ThumbGeometry out;
    if (range <= 0)
        return out;
    out.hasThumb = true;
    out.offset = static_cast<int>(std::trunc(static_cast<double>(pos) / range * (h - 10)));
    out.length = static_cast<int>(std::trunc(static_cast<double>(h - 9) * page / range));
    return out;
}

ScrollPress ClassifyPress(int y, const ThumbGeometry& thumb) {
    if (y > thumb.offset + thumb.length + 8)
        return ScrollPress::pageDown;
    if (y > thumb.offset + 2)
        return ScrollPress::drag;
    return ScrollPress::pageUp;
}

int DragPositionDelta(int dy, int clientHeight, int range) {
    const int track = clientHeight - 16;
    if (track <= 0)
        return 0;
    return static_cast<int>(std::trunc(static_cast<double>(dy) / track * range));
}
