#pragma once

#include "framework/PixelGeometry.h"

#include <vector>

// Item arithmetic shared by the combo box's popup list and the list box: measuring, hit testing, stepping the
// highlight with the keys and scrolling an item into view. Items are stacked from y 3, each its text height + 4
// pixels high, in list coordinates (before scrolling); one scroll unit is a hundredth of an item.

struct TextExtent {
    int cx = 0;
    int cy = 0;
};

struct ItemListLayout {
    std::vector<PixelRect> itemRects; // right and bottom are inclusive edges here, as the hit test reads them
    int visibleCount = 0;
    int itemPitch = 0;                // the last item's text height + 4; 0 without items
    int totalHeight = 0;              // the sum of the pitches
    int fitHeight = 0;                // the height that shows visibleCount items
};

// Stacks the items; an item counts as visible while the stack so far plus 5 is below visibleLimit.
ItemListLayout StackItems(const std::vector<TextExtent>& extents, int visibleLimit, int left, int right);

// The combo box's popup: its size, whether it needs a scroll bar, and the item rectangles.
struct PopupLayout {
    ItemListLayout items;
    bool hasScrollBar = true;
    int width = 0;
    int height = 0;
};
PopupLayout MeasurePopup(const std::vector<TextExtent>& extents, int droppedHeight, int comboWidth);

// Where the popup opens, in screen coordinates: below the box, or above it when it would end less than 50 pixels
// above the screen's bottom; never beyond the screen's right edge nor left of 0, nor above the screen's top.
PixelPoint PlacePopup(const PixelRect& comboScreenRect, int comboClientHeight, int width, int height, int screenWidth,
                      int screenHeight);

// The first item i with left <= x <= right and top <= y + scrollOffset <= bottom, or -1.
int HitTestItems(const std::vector<PixelRect>& rects, int x, int y, int scrollOffset);

// The highlight or selection after Up (forward false) or Down with wrapping: from -1 Up gives the last item and
// Down the first. -1 for an empty list going up.
int StepIndex(int index, int count, bool forward);

struct ScrollChange {
    bool changed = false;
    int scrollOffset = 0;
    int scrollPos = 0; // the scroll bar's new position, in hundredths of an item
};
// Scrolls item index into a view of visibleCount items.
ScrollChange EnsureItemVisible(int index, int itemPitch, int scrollOffset, int visibleCount);

// The pixel offset for a scroll bar position.
int ScrollOffsetForPos(int itemPitch, int pos);

// Tabbed text: the x of each piece of a text cut at tabs, given the pieces' widths. After a tab the next piece starts
// at the next multiple of tabWidth beyond the end of the one before.
std::vector<int> TabbedPieceX(const std::vector<int>& pieceWidths, int startX, int tabWidth);
