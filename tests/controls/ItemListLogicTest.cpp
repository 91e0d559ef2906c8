#include "controls/ItemListLogic.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<TextExtent> Items(int count, int cx = 40, int cy = 13) {
    return std::vector<TextExtent>(static_cast<size_t>(count), TextExtent{cx, cy});
}

TEST(PopupMeasure, ThreeItemsFitADroppedHeightOf100) {
    const PopupLayout p = MeasurePopup(Items(3), 100, 120);
    EXPECT_FALSE(p.hasScrollBar);
    EXPECT_EQ(p.height, 56);
    EXPECT_EQ(p.width, 120);
    EXPECT_EQ(p.items.visibleCount, 3);
    EXPECT_EQ(p.items.itemPitch, 17);
    ASSERT_EQ(p.items.itemRects.size(), 3u);
    EXPECT_EQ(p.items.itemRects[0], (PixelRect{5, 3, 115, 19}));
    EXPECT_EQ(p.items.itemRects[1], (PixelRect{5, 20, 115, 36}));
    EXPECT_EQ(p.items.itemRects[2], (PixelRect{5, 37, 115, 53}));
}

TEST(PopupMeasure, ItemsThatDoNotFitGetAScrollBar) {
    const PopupLayout p = MeasurePopup(Items(3), 40, 120);
    EXPECT_TRUE(p.hasScrollBar);
    EXPECT_EQ(p.items.visibleCount, 2);
    EXPECT_EQ(p.height, 39);
    EXPECT_EQ(p.width, 130);
    EXPECT_EQ(p.items.itemRects[0].right, 130 - 15);
}

TEST(PopupMeasure, AWideItemWidensTheListAndAnEmptyListIs24High) {
    // The widest text + 13 beyond the box's width.
    EXPECT_EQ(MeasurePopup(Items(2, 200), 100, 120).width, 213);
    EXPECT_EQ(MeasurePopup(Items(2, 107), 100, 120).width, 120);

    const PopupLayout empty = MeasurePopup({}, 100, 120);
    EXPECT_EQ(empty.height, 24);
    EXPECT_TRUE(empty.items.itemRects.empty());
    EXPECT_EQ(empty.items.itemPitch, 0);

    // 500 items in the main window's drop height: a scrolled list of the ones that fit.
    const PopupLayout many = MeasurePopup(Items(500), 162, 120);
    EXPECT_TRUE(many.hasScrollBar);
    EXPECT_EQ(many.items.visibleCount, 9); // 9 * 17 + 5 = 158 < 162
    EXPECT_EQ(many.height, 158);
    EXPECT_EQ(many.items.itemRects.size(), 500u);
    EXPECT_EQ(many.items.itemRects[499].bottom, 499 * 17 + 19);
}

TEST(ListLayout, ItemsOfTheListBoxStackFromY3) {
    const ItemListLayout three = StackItems(Items(3), 60, 5, 85);
    EXPECT_EQ(three.visibleCount, 3);
    EXPECT_EQ(three.itemRects[2], (PixelRect{5, 37, 85, 53}));
    const ItemListLayout five = StackItems(Items(5), 60, 5, 85);
    EXPECT_EQ(five.visibleCount, 3);
    EXPECT_EQ(five.itemPitch, 17);
}

TEST(PopupPlacement, OpensBelowAboveOrPulledOntoTheScreen) {
    const PixelRect box = {100, 200, 300, 218};
    struct Row {
        PixelRect box;
        int width;
        int height;
        PixelPoint expected;
    };
    const Row rows[] = {
        {box, 200, 100, {100, 218}},                           // below, as wide as the box
        {box, 260, 100, {40, 218}},                            // wider: extends to the left
        {{100, 900, 300, 918}, 200, 100, {100, 900 - 100 - 2}}, // would end within 50 of the bottom: above
        {{1200, 200, 1270, 218}, 200, 50, {1070, 218}},         // wider than the box at the right edge
        {{10, 200, 60, 218}, 200, 50, {0, 218}},                // wider near the left edge
        {{100, 40, 300, 58}, 200, 1000, {100, 0}},              // too tall for either side: kept on the screen
    };
    for (const Row& r : rows) {
        const PixelPoint at = PlacePopup(r.box, 18, r.width, r.height, 1280, 1024);
        EXPECT_EQ(at, r.expected) << r.box.left << "," << r.box.top << " " << r.width << "x" << r.height;
    }
}

TEST(ItemHitTest, EdgesAreInclusiveAndScrollingShiftsItems) {
    const std::vector<PixelRect> rects = StackItems(Items(3), 100, 5, 115).itemRects;
    EXPECT_EQ(HitTestItems(rects, 5, 3, 0), 0);
    EXPECT_EQ(HitTestItems(rects, 115, 19, 0), 0);
    EXPECT_EQ(HitTestItems(rects, 116, 10, 0), -1);
    EXPECT_EQ(HitTestItems(rects, 4, 10, 0), -1);
    EXPECT_EQ(HitTestItems(rects, 50, 20, 0), 1);
    EXPECT_EQ(HitTestItems(rects, 50, 2, 0), -1);
    EXPECT_EQ(HitTestItems(rects, 50, 3, 17), 1);
    EXPECT_EQ(HitTestItems(rects, 50, 54, 0), -1);
    EXPECT_EQ(HitTestItems({}, 50, 10, 0), -1);
}

TEST(ItemStepping, WrapsAtBothEnds) {
    EXPECT_EQ(StepIndex(-1, 5, false), 4);
    EXPECT_EQ(StepIndex(-1, 5, true), 0);
    EXPECT_EQ(StepIndex(4, 5, true), 0);
    EXPECT_EQ(StepIndex(0, 5, false), 4);
    EXPECT_EQ(StepIndex(2, 5, true), 3);
    EXPECT_EQ(StepIndex(-1, 0, false), -1);
    EXPECT_EQ(StepIndex(-1, 0, true), 0);
}

TEST(ItemScrolling, EnsureVisibleScrollsUpOrDownOnlyWhenNeeded) {
    ScrollChange c = EnsureItemVisible(3, 17, 0, 3);
    EXPECT_TRUE(c.changed);
    EXPECT_EQ(c.scrollOffset, 17);
    EXPECT_EQ(c.scrollPos, 100);
    c = EnsureItemVisible(2, 17, 0, 3);
    EXPECT_FALSE(c.changed);
    EXPECT_EQ(c.scrollOffset, 0);
    c = EnsureItemVisible(1, 17, 34, 3);
    EXPECT_TRUE(c.changed);
    EXPECT_EQ(c.scrollOffset, 17);
    EXPECT_EQ(c.scrollPos, 100);
    c = EnsureItemVisible(499, 17, 0, 9);
    EXPECT_EQ(c.scrollOffset, 491 * 17);
    EXPECT_EQ(c.scrollPos, 49100);
    EXPECT_FALSE(EnsureItemVisible(-1, 17, 0, 3).changed);
    EXPECT_FALSE(EnsureItemVisible(2, 0, 0, 3).changed);
    EXPECT_EQ(ScrollOffsetForPos(17, 100), 17);
    EXPECT_EQ(ScrollOffsetForPos(17, 150), 25);
}

TEST(TabbedText, PiecesStartAtTheNextMultipleOf20) {
    EXPECT_EQ(TabbedPieceX({7, 7}, 7, 20), (std::vector<int>{7, 20}));
    EXPECT_EQ(TabbedPieceX({13, 7}, 7, 20), (std::vector<int>{7, 40}));
    EXPECT_EQ(TabbedPieceX({0, 0, 5}, 8, 20), (std::vector<int>{8, 20, 40}));
    EXPECT_EQ(TabbedPieceX({30}, 2, 20), (std::vector<int>{2}));
}

} // namespace
