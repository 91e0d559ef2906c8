#include "controls/ItemListLogic.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kComboOffset = 18;       // the popup starts this far below the box's top
constexpr int kBottomReserve = 50;     // the popup keeps this far from the screen's bottom
constexpr int kEmptyPopupHeight = 24;

} // namespace

ItemListLayout StackItems(const std::vector<TextExtent>& extents, int visibleLimit, int left, int right) {
    ItemListLayout out;
    int sum = 0;
    for (const TextExtent& e : extents) {
        out.itemRects.push_back({left, sum + 3, right, sum + e.cy + 6});
        sum += e.cy + 4;
        if (sum + 5 < visibleLimit) {
            out.fitHeight = sum + 5;
            ++out.visibleCount;
        }
        out.itemPitch = e.cy + 4;
    }
    out.totalHeight = sum;
    return out;
}

PopupLayout MeasurePopup(const std::vector<TextExtent>& extents, int droppedHeight, int comboWidth) {
    PopupLayout out;
    out.items = StackItems(extents, droppedHeight, 0, 0);
    int widest = 0;
    for (const TextExtent& e : extents)
        widest = std::max(widest, e.cx + 3);
    const int sum = out.items.totalHeight;
    if (sum + 6 <= droppedHeight) {
        out.height = sum + 5;
        out.hasScrollBar = false;
    } else {
        out.height = out.items.fitHeight;
    }
    out.width = std::max(comboWidth, widest + 10) + (out.hasScrollBar ? 10 : 0);
    if (out.items.visibleCount == 0)
        out.height = kEmptyPopupHeight;
    const int right = out.width - (out.hasScrollBar ? 15 : 5);
    for (PixelRect& r : out.items.itemRects) {
        r.left = 5;
        r.right = right;
    }
    return out;
}

PixelPoint PlacePopup(const PixelRect& c, int comboClientHeight, int width, int height, int screenWidth,
                      int screenHeight) {
    int x = width <= c.Width() ? c.left : c.right - width;
    const bool leftOfScreen = x < 0;
    int y = c.top + kComboOffset;
    if (y + height > screenHeight - kBottomReserve)
        y = y - comboClientHeight - height - 2;
    if (x + width > screenWidth)
        x = screenWidth - width;
    if (leftOfScreen || x < 0)
        x = 0;
    // A list taller than the room above the box would open off the top of the screen.
    if (y < 0)
        y = 0;
    return {x, y};
}

int HitTestItems(const std::vector<PixelRect>& rects, int x, int y, int scrollOffset) {
    const int listY = y + scrollOffset;
    for (size_t i = 0; i < rects.size(); ++i) {
        const PixelRect& r = rects[i];
        if (r.left <= x && x <= r.right && r.top <= listY && listY <= r.bottom)
            return static_cast<int>(i);
    }
    return -1;
}

int StepIndex(int index, int count, bool forward) {
    int next = forward ? index + 1 : index - 1;
    if (next >= count)
        next = 0;
    if (next < 0)
        next = count - 1;
    return next;
}

ScrollChange EnsureItemVisible(int index, int itemPitch, int scrollOffset, int visibleCount) {
    ScrollChange out;
    out.scrollOffset = scrollOffset;
    if (index < 0 || itemPitch <= 0)
        return out;
    if (index * itemPitch < scrollOffset) {
        out.changed = true;
        out.scrollOffset = index * itemPitch;
        out.scrollPos = index * 100;
    } else if ((index + 1) * itemPitch <= scrollOffset + visibleCount * itemPitch) {
        return out;
    } else {
        out.changed = true;
        out.scrollOffset = std::max(0, (index - visibleCount + 1) * itemPitch);
        out.scrollPos = out.scrollOffset * 100 / itemPitch;
    }
    return out;
}

int ScrollOffsetForPos(int itemPitch, int pos) {
    return static_cast<int>(std::trunc(itemPitch * pos * 0.01));
}

std::vector<int> TabbedPieceX(const std::vector<int>& pieceWidths, int startX, int tabWidth) {
    std::vector<int> out;
    int x = startX;
    for (int w : pieceWidths) {
        out.push_back(x);
        if (tabWidth > 0)
            x = tabWidth * ((x + w) / tabWidth + 1);
        else
            x += w;
    }
    return out;
}
