// The skinned list's arithmetic without windows: thumb placement and its inverse for dragging, the rows a cell
// redraw touches, cell parts, and progress bars.
#include "skin/ListGeometry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

namespace {

// 50 rows, 8 a page; fits with room to spare (never negative); no page counts as one; from the minimum.
TEST(ScrollLimit, CountsPositionsBeyondThePage) {
    EXPECT_EQ(ScrollLimit(0, 49, 8), 42);
    EXPECT_EQ(ScrollLimit(0, 3, 8), 0);
    EXPECT_EQ(ScrollLimit(0, 99, 0), 99);
    EXPECT_EQ(ScrollLimit(10, 20, 5), 6);
}

const BarSizes kHorizontal{BarAxis::horizontal, 16, 16, 0, 75, 0};
const BarSizes kVertical{BarAxis::vertical, 16, 16, 16, 75, 0}; // with the square below the down arrow

TEST(Thumb, PlacesScalesAndClampsAlongEitherAxis) {
    // W 400: track 400 - 75 - 16 - 16 + 1 = 294. H 300: track 300 - 75 - 0 - 16 - 16 - 16 + 2 = 179.
    struct Row {
        const BarSizes& sizes;
        int length, pos, limit, thumb;
    };
    const Row rows[] = {
        {kHorizontal, 400, 0, 100, 15},    // the left arrow's last pixel
        {kHorizontal, 400, 100, 100, 309}, // 294 + 15 = W - 75 - 16: touches the right arrow
        {kHorizontal, 400, 7, 0, 15},      // cannot scroll: at the start, no division by zero
        {kHorizontal, 400, 500, 100, 309}, // a position past the limit counts as the limit
        {kHorizontal, 50, 0, 10, 15},      // narrower than the thumb: the lower clamp wins
        {kVertical, 300, 0, 42, 16},       // raw 15 never touches the up arrow: 16
        {kVertical, 300, 42, 42, 193},     // raw 194 clamped to H - 32 - 75
        {kVertical, 300, 21, 42, 104},     // trunc(89.5) + 15
    };
    for (const Row& r : rows)
        EXPECT_EQ(ThumbPosition(r.length, r.pos, r.limit, r.sizes), r.thumb)
            << r.length << " " << r.pos << "/" << r.limit;
    // The horizontal upper clamp lands one pixel further right than where it triggers.
    EXPECT_EQ(ClampThumb(310, 400, kHorizontal), 310);
    EXPECT_EQ(ClampThumb(500, 400, kHorizontal), 310);
}

// Dragging: every pixel that some position puts the thumb on maps back to such a position, on both bars and
// whether there are more positions than pixels or fewer; other pixels go to the nearest position.
TEST(ThumbDrag, InverseLandsOnTheDraggedPixelWheneverAPositionCan) {
    struct Bar {
        const BarSizes* sizes;
        int lengths[3];
    };
    for (const auto& [sizes, lengths] : {Bar{&kHorizontal, {120, 400, 601}}, Bar{&kVertical, {150, 300, 777}}}) {
        for (int limit : {1, 42, 293, 294, 295, 9992}) {
            for (int length : lengths) {
                const int low = ThumbPosition(length, 0, limit, *sizes);
                const int high = ThumbPosition(length, limit, limit, *sizes);
                std::set<int> reachable;
                for (int p = 0; p <= limit; ++p)
                    reachable.insert(ThumbPosition(length, p, limit, *sizes));
                int previous = -1;
                for (int thumb = low - 5; thumb <= high + 5; ++thumb) {
                    const int pos = PositionForThumb(thumb, length, limit, *sizes);
                    ASSERT_GE(pos, previous) << "not monotonic at " << thumb;
                    ASSERT_LE(pos, limit);
                    previous = pos;
                    const int landed = ThumbPosition(length, pos, limit, *sizes);
                    if (reachable.count(thumb)) {
                        ASSERT_EQ(landed, thumb) << "limit " << limit << " length " << length;
                    } else if (thumb > low && thumb < high) {
                        for (int pixel : reachable)
                            ASSERT_GE(std::abs(pixel - thumb), std::abs(landed - thumb)) << thumb;
                    }
                }
                // Dragged to either clamp the list goes to that end, although several positions share the clamp.
                EXPECT_EQ(PositionForThumb(low, length, limit, *sizes), 0);
                EXPECT_EQ(PositionForThumb(high, length, limit, *sizes), limit);
            }
        }
    }
    // Nothing to scroll, or a bar shorter than arrows and thumb: the start.
    EXPECT_EQ(PositionForThumb(200, 400, 0, kHorizontal), 0);
    EXPECT_EQ(PositionForThumb(40, 60, 30, kVertical), 0);
}

TEST(RedrawRows, ClampsToThePageAndSkipsRowsOffIt) {
    struct Row {
        int first, last, count, top, perPage;
        std::optional<RowSpan> span;
    };
    const Row rows[] = {
        {0, 0, 0, 0, 8, {}},                  // empty list
        {19, 30, 50, 10, 8, {}},              // below: the last visible row is 10 + 8 = 18
        {18, 30, 50, 10, 8, RowSpan{18, 18}}, // the partly shown row counts
        {12, 5, 50, 10, 8, RowSpan{10, 12}},  // reversed
        {0, 9, 5, 0, 8, RowSpan{0, 4}},       // short list: the last item ends the page
        {9, 9, 5, 0, 8, {}},                  // past the last item
    };
    for (const Row& r : rows)
        EXPECT_EQ(VisibleRedrawRows(r.first, r.last, r.count, r.top, r.perPage), r.span) << r.first << ".." << r.last;
    EXPECT_EQ(BoundingUnion({20, 40, 100, 57}, {20, 91, 100, 108}), (PixelRect{20, 40, 100, 108}));
    EXPECT_EQ(BoundingUnion({0, 0, 0, 0}, {5, 6, 7, 8}), (PixelRect{5, 6, 7, 8})) << "an empty one adds nothing";
}

TEST(CellLayout, CheckBoxImageAndText) {
    const PixelRect cell = {100, 20, 200, 36}; // 16 high
    struct Row {
        const char* name;
        CellLayoutInput in; // cell, check box, centred box, image, its size, centred image
        PixelRect checkBox, image, text;
    };
    const Row rows[] = {
        {"check box", {cell, true}, {100, 20, 116, 36}, {}, {116, 20, 200, 36}},
        {"odd height, centred: 8 left and 9 right",
         {{100, 20, 200, 37}, true, true},
         {142, 20, 159, 37},
         {},
         {159, 20, 200, 37}},
        {"image after the box, taller: cut to the cell",
         {cell, true, false, true, 10, 30},
         {100, 20, 116, 36},
         {116, 20, 126, 36},
         {126, 20, 200, 36}},
    };
    for (const Row& r : rows) {
        const CellLayout l = LayoutCell(r.in);
        EXPECT_EQ(l.checkBox, r.checkBox) << r.name;
        EXPECT_EQ(l.image, r.image) << r.name;
        EXPECT_EQ(l.text, r.text) << r.name;
        // RedrawCells' parts: 0 the whole cell, 1 the box, 2 the image, anything else the text.
        EXPECT_EQ(CellPartRect(l, r.in.cell, 0), r.in.cell);
        EXPECT_EQ(CellPartRect(l, r.in.cell, 1), l.checkBox);
        EXPECT_EQ(CellPartRect(l, r.in.cell, 2), l.image);
        EXPECT_EQ(CellPartRect(l, r.in.cell, -7), l.text);
    }
    CellLayoutInput image = {cell, false, false, true, 300, 8};
    EXPECT_EQ(LayoutCell(image).image.Width(), 100) << "wider than the cell: cut to it";
    image.cell = {50, 0, 50, 16};
    EXPECT_EQ(LayoutCell(image).image.Width(), 0) << "a column of width 0";
}

TEST(ProgressBar, RectangleAndFill) {
    EXPECT_EQ(ProgressBarRect({0, 0, 100, 20}, 10), (PixelRect{3, 5, 96, 15}));
    // Above the maximum fills all, below 1 or with no maximum nothing, and large values do not overflow.
    EXPECT_EQ(ProgressFillWidth(93, 50, 100), 46);
    EXPECT_EQ(ProgressFillWidth(93, 150, 100), 93);
    EXPECT_EQ(ProgressFillWidth(93, -20, 100), 0);
    EXPECT_EQ(ProgressFillWidth(93, 5, 0), 0);
    EXPECT_EQ(ProgressFillWidth(1000, 2000000000, 2100000000), 952);
}

} // namespace
