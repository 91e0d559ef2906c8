#pragma once

// The arithmetic of the skinned task list, apart from the window layer: where the bitmap scroll bars put their
// thumbs and which scroll position a dragged thumb stands for, which rows a cell redraw touches, where a cell's
// check box, image, text and progress bar go, how a progress bar is shaded, where the column header's caps go, and
// how a skin bitmap smaller than the size it is drawn at is spread over that size.

#include "skin/ButtonLayout.h"

#include <cstdint>
#include <optional>
#include <string>

// ---- Scroll bars ----

// The two bitmap bars are one bar laid along an axis: lengths run along it (x for the horizontal bar, y for the
// vertical one), from its start arrow (left, up) to its end arrow (right, down) and the square after it (the
// vertical bar's bottom; none horizontally).
enum class BarAxis { horizontal, vertical };

// The fixed sizes of a bar that matter to its thumb.
struct BarSizes {
    BarAxis axis = BarAxis::vertical;
    int startArrow = 16;
    int endArrow = 16;
    int endCap = 0;
    int thumbLength = 75;
    int trackReserve = 0; // subtracted from the track length
};

// The highest scroll position of a scroll bar with this range and page (positions counted from minimum), 0 when it
// cannot scroll. A page of 0 counts as 1, as the system's scroll bars count it.
int ScrollLimit(int minimum, int maximum, unsigned page);

// The pixels the thumb's edge travels over as the position goes from 0 to limit, on a bar `length` long.
int ThumbTrack(int length, const BarSizes& sizes);

// Keeps a thumb edge inside the bar. The vertical bar's range is one pixel shorter at each end than the
// horizontal's: its thumb never touches the up arrow, while the horizontal clamp lands one pixel further right
// than the position it triggers at.
int ClampThumb(int thumbPos, int length, const BarSizes& sizes);

// The thumb edge for a scroll position: the track scaled by position / limit, truncated, then clamped. A list that
// cannot scroll (limit 0) puts it at the start.
int ThumbPosition(int length, int pos, int limit, const BarSizes& sizes);

// The inverse for a dragged thumb: the scroll position whose thumb lands exactly on thumbPos (the smallest such
// position when several do), else the position whose thumb lands nearest. A thumb at or beyond either clamp stands
// for the first or the last position, so that a thumb dragged to an end scrolls the list to that end.
int PositionForThumb(int thumbPos, int length, int limit, const BarSizes& sizes);

// ---- Redrawing cells ----

struct RowSpan {
    int first = 0;
    int last = 0;
    bool operator==(const RowSpan&) const = default;
};

// The rows of a cell redraw that are on the page: nothing for an empty list or when both rows lie above topIndex or
// below the last visible row (topIndex + perPage, the partly shown row, at most the last item); otherwise the rows
// clamped to the page. The two rows may come in either order.
std::optional<RowSpan> VisibleRedrawRows(int first, int last, int itemCount, int topIndex, int perPage);

// The smallest rectangle holding both (an empty one adds nothing).
PixelRect BoundingUnion(const PixelRect& a, const PixelRect& b);

// ---- One cell ----

struct CellLayoutInput {
    PixelRect cell;
    bool hasCheckBox = false;
    bool centreCheckBox = false;
    bool hasImage = false; // an image index is set and the image list gave its size
    int imageWidth = 0;
    int imageHeight = 0;
    bool centreImage = false;
};

struct CellLayout {
    PixelRect checkArea; // from the cell's left edge to the box's right edge, filled with the background
    PixelRect checkBox;  // the square the check box is drawn in
    PixelRect imageArea; // from where the image area starts to the image's right edge
    PixelRect image;     // where the image goes, at its drawn size
    PixelRect text;      // the rest of the cell: text and progress bar
};

CellLayout LayoutCell(const CellLayoutInput& input);

// The parts RedrawCells knows: 0 the whole cell, 1 the check box square, 2 the image, anything else the text.
enum class CellPart : int { whole = 0, checkBox = 1, image = 2 };
PixelRect CellPartRect(const CellLayout& layout, const PixelRect& cell, int part);

// The progress bar inside the text rectangle.
PixelRect ProgressBarRect(const PixelRect& text, int progressInset);

// The filled part of a bar of this width: width × pos / max in integers, the whole width from pos ≥ max on, nothing
// for pos below 1 or a max that is not positive.
int ProgressFillWidth(int width, int pos, int max);

// Shading of a progress bar: rounded rectangles, each filled and outlined in one colour, lighter toward the middle
// line. Colours are 0x00BBGGRR values.
struct ShadeStep {
    PixelRect rect;
    std::uint32_t colour = 0;
};
inline constexpr int kMaxShadeSteps = 64;
struct BarShading {
    ShadeStep steps[kMaxShadeSteps];
    int count = 0;
};
BarShading ShadeBar(const PixelRect& bar, std::uint32_t startColour);

// Every "&" doubled, so that DrawText shows it instead of underlining the next letter.
std::string DoubleAmpersands(const std::string& text);

// ---- Column header ----

struct HeaderSizes {
    int bitmapHeight = 16;
    int spanWidth = 1;
    int startWidth = 2;
    int endWidth = 2;
};

struct HeaderItemPieces {
    PixelRect startCap;   // the start bitmap
    PixelRect spanColumn; // one column of the span after the cap; empty for the column shown first
    PixelRect middle;     // the span stretched over the column
    PixelRect endCap;     // the end bitmap
    PixelRect title;      // the light under-layer of the title; the dark title goes one pixel left and up
};

HeaderItemPieces LayoutHeaderItem(const PixelRect& item, bool shownFirst, const HeaderSizes& sizes);

// ---- Skin bitmaps drawn at a fixed size ----

// One piece of a bitmap copied along one axis: source offset and length, target offset and length.
struct Slice {
    int source = 0;
    int sourceLength = 0;
    int target = 0;
    int targetLength = 0;
    bool operator==(const Slice&) const = default;
};
struct Slices {
    Slice slice[3];
    int count = 0;
};

// How to cover `nominal` pixels from a bitmap that has `real` along one axis. A bitmap at least as large gives its
// first `nominal` pixels, copied 1:1. A smaller one keeps a quarter of its length at each end as it is and stretches
// the middle, so that a 67-pixel thumb drawn 75 long keeps its rounded ends; a bitmap too small for ends (a 1-pixel
// span) is stretched whole. Nothing for an empty bitmap or size.
Slices FitSlices(int real, int nominal);
