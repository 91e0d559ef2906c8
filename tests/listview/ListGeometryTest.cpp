// The skinned list's arithmetic without windows: thumb placement and its inverse for dragging, the rows a cell
// redraw touches, cell parts, progress bars and their shading, header caps and bitmaps spread over a larger size.
#include "skin/ListGeometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>

namespace {

int Brightness(std::uint32_t c) {
    return static_cast<int>((c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF));
}

TEST(ScrollLimit, CountsPositionsBeyondThePage) {
    struct Row {
        int minimum, maximum;
        unsigned page;
        int limit;
    };
    const Row rows[] = {
        {0, 49, 8, 42},                 // 50 rows, 8 a page: tops 0..42
        {0, 7, 8, 0},                   // fits
        {0, 3, 8, 0},                   // fits with room to spare: never negative
        {0, 99, 0, 99},                 // no page counts as one
        {0, 99, 1, 99}, {10, 20, 5, 6}, // counted from the minimum
        {0, 0, 0, 0},
    };
    for (const Row& r : rows)
        EXPECT_EQ(ScrollLimit(r.minimum, r.maximum, r.page), r.limit)
            << r.minimum << ".." << r.maximum << "/" << r.page;
}

const BarSizes kHorizontal{BarAxis::horizontal, 16, 16, 0, 75, 0};
const BarSizes kVertical{BarAxis::vertical, 16, 16, 16, 75, 0}; // with the square below the down arrow

TEST(Thumb, PlacesScalesAndClampsAlongEitherAxis) {
    // W 400: track 400 - 75 - 16 - 16 + 1 = 294. H 300: track 300 - 75 - 0 - 16 - 16 - 16 + 2 = 179.
    EXPECT_EQ(ThumbTrack(400, kHorizontal), 294);
    EXPECT_EQ(ThumbTrack(300, kVertical), 179);
    BarSizes reserved = kVertical;
    reserved.trackReserve = 20;
    EXPECT_EQ(ThumbTrack(300, reserved), 159);
    struct Row {
        const BarSizes& sizes;
        int length, pos, limit, thumb;
    };
    const Row rows[] = {
        {kHorizontal, 400, 0, 100, 15},    // the left arrow's last pixel
        {kHorizontal, 400, 100, 100, 309}, // 294 + 15 = W - 75 - 16: touches the right arrow
        {kHorizontal, 400, 50, 100, 162},  // trunc(147 + 15)
        {kHorizontal, 400, 1, 3, 113},     // trunc(98 + 15)
        {kHorizontal, 400, 7, 0, 15},      // cannot scroll: at the start, no division by zero
        {kHorizontal, 400, 500, 100, 309}, // a position past the limit counts as the limit
        {kHorizontal, 100, 10, 10, 15},    // track -6: raw 9, below the left arrow's edge
        {kHorizontal, 50, 0, 10, 15},      // narrower than the thumb: the lower clamp wins
        {kVertical, 300, 0, 42, 16},       // raw 15 never touches the up arrow: 16
        {kVertical, 300, 42, 42, 193},     // raw 194 clamped to H - 32 - 75
        {kVertical, 300, 21, 42, 104},     // trunc(89.5) + 15
        {kVertical, 300, 1, 42, 19},       // trunc(179 / 42) + 15
        {kVertical, 300, 0, 0, 16},
    };
    for (const Row& r : rows)
        EXPECT_EQ(ThumbPosition(r.length, r.pos, r.limit, r.sizes), r.thumb) << r.length << " " << r.pos << "/"
                                                                              << r.limit;
    // The horizontal upper clamp lands one pixel further right than where it triggers.
    EXPECT_EQ(ClampThumb(309, 400, kHorizontal), 309);
    EXPECT_EQ(ClampThumb(310, 400, kHorizontal), 310);
    EXPECT_EQ(ClampThumb(500, 400, kHorizontal), 310);
    EXPECT_EQ(ClampThumb(-40, 400, kHorizontal), 15);
    EXPECT_EQ(ClampThumb(0, 300, kVertical), 16);
    EXPECT_EQ(ClampThumb(194, 300, kVertical), 193);
}

// Dragging: every pixel that some position puts the thumb on maps back to such a position, on both bars and
// whether there are more positions than pixels or fewer; other pixels go to the nearest position.
TEST(ThumbDrag, InverseLandsOnTheDraggedPixelWheneverAPositionCan) {
    struct Bar {
        const BarSizes& sizes;
        int lengths[3];
    };
    for (const Bar& bar : {Bar{kHorizontal, {120, 400, 601}}, Bar{kVertical, {150, 300, 777}}}) {
        for (int limit : {1, 3, 42, 100, 293, 294, 295, 1000, 9992}) {
            for (int length : bar.lengths) {
                const int low = ThumbPosition(length, 0, limit, bar.sizes);
                const int high = ThumbPosition(length, limit, limit, bar.sizes);
                std::set<int> reachable;
                for (int p = 0; p <= limit; ++p)
                    reachable.insert(ThumbPosition(length, p, limit, bar.sizes));
                int previous = -1;
                for (int thumb = low - 5; thumb <= high + 5; ++thumb) {
                    const int pos = PositionForThumb(thumb, length, limit, bar.sizes);
                    ASSERT_GE(pos, previous) << "not monotonic at " << thumb;
                    ASSERT_LE(pos, limit);
                    previous = pos;
                    const int landed = ThumbPosition(length, pos, limit, bar.sizes);
                    if (reachable.count(thumb)) {
                        ASSERT_EQ(landed, thumb) << "limit " << limit << " length " << length;
                    } else if (thumb > low && thumb < high) {
                        for (int pixel : reachable)
                            ASSERT_GE(std::abs(pixel - thumb), std::abs(landed - thumb)) << thumb;
                    }
                }
                // Dragged to either clamp the list goes to that end, although several positions share the clamp.
                EXPECT_EQ(PositionForThumb(low, length, limit, bar.sizes), 0);
                EXPECT_EQ(PositionForThumb(high, length, limit, bar.sizes), limit);
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
        bool any;
        int from, to;
    };
    const Row rows[] = {
        {0, 0, 0, 0, 8, false, 0, 0},      // empty list
        {2, 4, 50, 0, 8, true, 2, 4},      // inside
        {0, 5, 50, 10, 8, false, 0, 0},    // wholly above
        {19, 30, 50, 10, 8, false, 0, 0},  // below: the last visible row is 10 + 8 = 18
        {18, 30, 50, 10, 8, true, 18, 18}, // the partly shown row counts
        {5, 12, 50, 10, 8, true, 10, 12},  {0, 49, 50, 10, 8, true, 10, 18},
        {12, 5, 50, 10, 8, true, 10, 12}, // reversed
        {0, 9, 5, 0, 8, true, 0, 4},      // short list: the last item ends the page
        {9, 9, 5, 0, 8, false, 0, 0},     // past the last item
    };
    for (const Row& r : rows) {
        const std::optional<RowSpan> span = VisibleRedrawRows(r.first, r.last, r.count, r.top, r.perPage);
        ASSERT_EQ(span.has_value(), r.any) << r.first << ".." << r.last << " top " << r.top;
        if (span) {
            EXPECT_EQ(*span, (RowSpan{r.from, r.to})) << r.first << ".." << r.last << " top " << r.top;
        }
    }
}

TEST(RedrawRows, UnionOfTwoCells) {
    EXPECT_EQ(BoundingUnion({20, 40, 100, 57}, {20, 91, 100, 108}), (PixelRect{20, 40, 100, 108}));
    EXPECT_EQ(BoundingUnion({0, 0, 0, 0}, {5, 6, 7, 8}), (PixelRect{5, 6, 7, 8}));
    EXPECT_EQ(BoundingUnion({5, 6, 7, 8}, {3, 3, 3, 9}), (PixelRect{5, 6, 7, 8}));
}

TEST(CellLayout, CheckBoxImageAndText) {
    CellLayoutInput in;
    in.cell = {100, 20, 200, 36}; // 16 high
    {
        const CellLayout plain = LayoutCell(in);
        EXPECT_EQ(plain.text, in.cell);
        EXPECT_EQ(plain.checkBox.Width(), 0);
        EXPECT_EQ(plain.image.Width(), 0);
    }
    in.hasCheckBox = true;
    {
        const CellLayout left = LayoutCell(in);
        EXPECT_EQ(left.checkBox, (PixelRect{100, 20, 116, 36}));
        EXPECT_EQ(left.checkArea, (PixelRect{100, 20, 116, 36}));
        EXPECT_EQ(left.text, (PixelRect{116, 20, 200, 36}));
    }
    in.centreCheckBox = true;
    {
        const CellLayout centred = LayoutCell(in);
        EXPECT_EQ(centred.checkBox, (PixelRect{142, 20, 158, 36}));
        EXPECT_EQ(centred.checkArea, (PixelRect{100, 20, 158, 36}));
        EXPECT_EQ(centred.text.left, 158);
    }
    in.cell = {100, 20, 200, 37}; // odd height 17: the box is 8 left and 9 right of the centre
    EXPECT_EQ(LayoutCell(in).checkBox, (PixelRect{142, 20, 159, 37}));

    in = {};
    in.cell = {100, 20, 200, 36};
    in.hasImage = true;
    in.imageWidth = 10;
    in.imageHeight = 8;
    {
        const CellLayout image = LayoutCell(in);
        EXPECT_EQ(image.image, (PixelRect{101, 24, 111, 32})); // one pixel in, centred vertically
        EXPECT_EQ(image.imageArea, (PixelRect{100, 20, 111, 36}));
        EXPECT_EQ(image.text.left, 111);
    }
    in.hasCheckBox = true;
    EXPECT_EQ(LayoutCell(in).image, (PixelRect{116, 24, 126, 32})); // right after the box, no gap
    in.centreImage = true;
    in.hasCheckBox = false;
    EXPECT_EQ(LayoutCell(in).image.left, 145);
    in.centreImage = false;
    in.imageHeight = 17; // one taller than the cell still fits
    EXPECT_EQ(LayoutCell(in).image, (PixelRect{101, 20, 111, 37}));
    in.imageHeight = 30; // taller: cut to the cell
    EXPECT_EQ(LayoutCell(in).image, (PixelRect{101, 20, 111, 36}));
    in.imageWidth = 300; // wider than the cell: cut to it
    EXPECT_EQ(LayoutCell(in).image.Width(), 100);
    in.cell = {50, 0, 50, 16}; // a column of width 0
    EXPECT_EQ(LayoutCell(in).image.Width(), 0);
}

TEST(CellLayout, PartsForRedrawing) {
    CellLayoutInput in;
    in.cell = {0, 0, 80, 16};
    in.hasCheckBox = true;
    const CellLayout l = LayoutCell(in);
    EXPECT_EQ(CellPartRect(l, in.cell, 0), in.cell);
    EXPECT_EQ(CellPartRect(l, in.cell, 1), l.checkBox);
    EXPECT_EQ(CellPartRect(l, in.cell, 2), l.image);
    EXPECT_EQ(CellPartRect(l, in.cell, 3), l.text);
    EXPECT_EQ(CellPartRect(l, in.cell, -7), l.text);
}

TEST(ProgressBar, RectangleAndFill) {
    EXPECT_EQ(ProgressBarRect({0, 0, 100, 20}, 10), (PixelRect{3, 5, 96, 15}));
    EXPECT_EQ(ProgressBarRect({0, 0, 100, 20}, 0), (PixelRect{1, 3, 98, 17}));
    struct Row {
        int width, pos, max, filled;
    };
    const Row rows[] = {
        {93, 0, 100, 0},    {93, 150, 100, 93},
        {93, 100, 100, 93}, {93, 50, 100, 46},
        {93, 1, 100, 0},    {93, -20, 100, 0},
        {93, 5, 0, 0},      {93, 5, -1, 0},
        {0, 50, 100, 0},    {1000, 2000000000, 2100000000, 952},
    };
    for (const Row& r : rows)
        EXPECT_EQ(ProgressFillWidth(r.width, r.pos, r.max), r.filled) << r.width << " " << r.pos << "/" << r.max;
}

TEST(ProgressBar, ShadingGetsLighterTowardTheMiddleLine) {
    const BarShading s = ShadeBar({0, 0, 40, 10}, 0x85614A); // RGB(74, 97, 133)
    ASSERT_GE(s.count, 3);
    EXPECT_EQ(s.steps[0].rect, (PixelRect{0, 0, 40, 10}));
    EXPECT_EQ(s.steps[0].colour, 0x85614Au);
    EXPECT_EQ(s.steps[1].rect, (PixelRect{1, 1, 39, 9}));
    EXPECT_EQ(s.steps[1].colour, 0x8A664Fu); // +5 each
    EXPECT_EQ(s.steps[2].rect, (PixelRect{2, 2, 38, 8}));
    EXPECT_EQ(s.steps[2].colour, 0x947059u); // +10 each
    EXPECT_EQ(s.steps[3].rect, (PixelRect{2, 3, 38, 7}));
    EXPECT_EQ(s.steps[4].rect, (PixelRect{2, 4, 38, 6}));
    EXPECT_EQ(s.count, 5);
    for (int i = 1; i < s.count; ++i)
        EXPECT_GT(Brightness(s.steps[i].colour), Brightness(s.steps[i - 1].colour));
}

TEST(ProgressBar, ShadingCapsComponents) {
    // RGB(83, 184, 255): blue is full from the start; red and green climb, none passes 255.
    const BarShading s = ShadeBar({0, 0, 20, 40}, 0xFFB853);
    for (int i = 0; i < s.count; ++i) {
        EXPECT_EQ((s.steps[i].colour >> 16) & 0xFF, 0xFFu);
        EXPECT_LE(s.steps[i].colour & 0xFF, 255u);
    }
    // Green: 184, 189, 199, ..., 249 stays (above 245).
    EXPECT_EQ((s.steps[1].colour >> 8) & 0xFF, 189u);
    std::uint32_t green = 0;
    for (int i = 0; i < s.count; ++i)
        green = (s.steps[i].colour >> 8) & 0xFF;
    EXPECT_EQ(green, 249u);
    // Tiny bars: the inner rectangles vanish.
    EXPECT_EQ(ShadeBar({0, 0, 2, 2}, 0).count, 1);
    EXPECT_EQ(ShadeBar({0, 0, 0, 9}, 0).count, 0);
}

TEST(CellText, AmpersandsAreDoubled) {
    EXPECT_EQ(DoubleAmpersands("Tom & Jerry"), "Tom && Jerry");
    EXPECT_EQ(DoubleAmpersands("&&"), "&&&&");
    EXPECT_EQ(DoubleAmpersands("plain"), "plain");
    EXPECT_EQ(DoubleAmpersands(""), "");
}

TEST(HeaderCaps, LaterColumnsOverlapThePreviousEndCapByOnePixel) {
    const HeaderSizes s;
    const HeaderItemPieces first = LayoutHeaderItem({0, 0, 20, 18}, true, s);
    const HeaderItemPieces second = LayoutHeaderItem({20, 0, 198, 18}, false, s);
    EXPECT_EQ(first.startCap, (PixelRect{0, 0, 2, 16}));
    EXPECT_EQ(first.spanColumn.Width(), 0);
    EXPECT_EQ(first.endCap, (PixelRect{18, 0, 20, 16}));
    EXPECT_EQ(second.startCap, (PixelRect{19, 0, 21, 16}));
    EXPECT_EQ(second.spanColumn, (PixelRect{21, 0, 22, 16}));
    EXPECT_EQ(second.middle, (PixelRect{22, 0, 200, 16}));
    EXPECT_EQ(second.endCap, (PixelRect{196, 0, 198, 16}));
    EXPECT_EQ(second.title, (PixelRect{22, 2, 196, 16}));
    const int overlap =
        std::min(first.endCap.right, second.startCap.right) - std::max(first.endCap.left, second.startCap.left);
    EXPECT_EQ(overlap, 1);
}

TEST(FitSlices, CopiesLargerBitmapsAndSpreadsSmallerOnes) {
    const Slices same = FitSlices(16, 16);
    ASSERT_EQ(same.count, 1);
    EXPECT_EQ(same.slice[0], (Slice{0, 16, 0, 16}));
    const Slices larger = FitSlices(40, 16);
    ASSERT_EQ(larger.count, 1);
    EXPECT_EQ(larger.slice[0], (Slice{0, 16, 0, 16}));
    // The 67-pixel thumb drawn 75 long: 16 kept at each end, 35 stretched to 43.
    const Slices thumb = FitSlices(67, 75);
    ASSERT_EQ(thumb.count, 3);
    EXPECT_EQ(thumb.slice[0], (Slice{0, 16, 0, 16}));
    EXPECT_EQ(thumb.slice[1], (Slice{16, 35, 16, 43}));
    EXPECT_EQ(thumb.slice[2], (Slice{51, 16, 59, 16}));
    const Slices span = FitSlices(1, 300);
    ASSERT_EQ(span.count, 1);
    EXPECT_EQ(span.slice[0], (Slice{0, 1, 0, 300}));
    EXPECT_EQ(FitSlices(0, 16).count, 0);
    EXPECT_EQ(FitSlices(16, 0).count, 0);
}

} // namespace
