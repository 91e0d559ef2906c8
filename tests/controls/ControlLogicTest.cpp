// The controls' logic that needs no window: scroll bar, label and edit texts, tab bar, item lists and message layout.
#include "controls/EditText.h"
#include "controls/ItemListLogic.h"
#include "controls/LabelText.h"
#include "controls/MessageLayout.h"
#include "controls/ScrollBarLogic.h"
#include "controls/TabBarLogic.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

TEST(ScrollBarLogic, ClampsPositionsClassifiesPressesAndScalesDrags) {
    // {pos, range, page, clamped}: a page larger than the range never gives a negative position.
    const int clamps[][4] = {{-5, 500, 300, 0}, {900, 500, 300, 200}, {50, 300, 300, 0}, {50, 100, 300, 0}};
    for (const auto& c : clamps)
        EXPECT_EQ(ClampScrollPos(c[0], c[1], c[2]), c[3]) << c[0] << " " << c[1] << " " << c[2];
    EXPECT_EQ(ComputeThumb(0, 500, 300, 99).length, 54);
    EXPECT_EQ(ComputeThumb(200, 500, 300, 100).offset, 36); // 200 / 500 * 90
    EXPECT_FALSE(ComputeThumb(0, 0, 0, 100).hasThumb);
    const ThumbGeometry thumb = ComputeThumb(0, 500, 300, 100);
    EXPECT_EQ(ClassifyPress(2, thumb), ScrollPress::pageUp); // the thumb's top two rows page up
    EXPECT_EQ(ClassifyPress(3, thumb), ScrollPress::drag);
    EXPECT_EQ(ClassifyPress(62, thumb), ScrollPress::drag);
    EXPECT_EQ(ClassifyPress(63, thumb), ScrollPress::pageDown);
    EXPECT_EQ(DragPositionDelta(-10, 116, 800), -80);
    EXPECT_EQ(DragPositionDelta(1, 116, 50), 0);  // truncated toward zero
    EXPECT_EQ(DragPositionDelta(10, 16, 800), 0); // no track: no division by zero
    EXPECT_EQ(DragPositionDelta(10, 3, 800), 0);
}

TEST(LabelText, SplitsAtLineFeedsAndCutsLongTexts) {
    LabelText t;
    t.Set("a\n\nb\n");
    EXPECT_EQ(t.LineCount(), 4);
    EXPECT_EQ(t.Line(1), "");
    EXPECT_EQ(t.Line(2), "b");
    EXPECT_EQ(t.Line(4), "");
    EXPECT_EQ(t.Line(-1), "");
    t.Set(nullptr);
    EXPECT_EQ(t.LineCount(), 1);
    t.Set(std::string(10000, 'w').c_str());
    EXPECT_EQ(t.Text().size(), 1023u);
    EXPECT_EQ(t.Line(0), std::string(255, 'w'));
    std::string lines;
    for (int i = 0; i < 2000; ++i)
        lines += "x\n";
    t.Set(lines.c_str());
    EXPECT_EQ(t.LineCount(), 1 + 511); // 1023 characters keep 511 line feeds
}

TEST(TabBarLogic, PressesOnTheMainWindowsBar) {
    // {x, current tab, tab reported or -1}: 432..435 are the bar's leftover pixels, reported as tab 6.
    const int rows[][3] = {{0, 1, 0},   {71, 1, 0},  {72, 0, 1},   {431, 0, 5},  {432, 5, 6},
                           {435, 5, 6}, {10, 0, -1}, {400, 5, -1}, {433, 6, -1}, {-1, 0, -1}};
    for (const auto& r : rows) {
        const TabPress press = PressTab(436, 6, r[1], r[0]);
        EXPECT_EQ(press.notify ? press.tab : -1, r[2]) << r[0];
    }
    EXPECT_FALSE(PressTab(436, 0, -1, 10).notify);
    EXPECT_FALSE(PressTab(5, 6, -1, 3).notify); // narrower than its tab count: no division by zero
}

TEST(EditText, CopiesOnlyWhatFitsAndCutsBetweenCharacters) {
    EditText t;
    t.Set("C:\\out\\", [](std::string_view) { return 6; });
    char buffer[16];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_FALSE(t.CopyTo(buffer, 7)); // the text's own length leaves no room for the terminator
    EXPECT_EQ(std::string(buffer, 8), "########");
    EXPECT_TRUE(t.CopyTo(buffer, 8));
    EXPECT_STREQ(buffer, "C:\\out\\");
    EXPECT_FALSE(t.CopyTo(nullptr, 8));
    // A character of two, three or four bytes is one position, measured whole; a broken byte is one of its own.
    t.Set("\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80\xE6x", [](std::string_view c) { return static_cast<int>(c.size()); });
    EXPECT_EQ(t.CharX(), (std::vector<int>{3, 5, 8, 12, 13, 14}));
    // 300 "é" keep 255 (510 bytes of the 511 allowed), not 255 and a half.
    std::string accents;
    for (int i = 0; i < 300; ++i)
        accents += "\xC3\xA9";
    t.Set(accents.c_str(), [](std::string_view) { return 1; });
    EXPECT_EQ(t.Count(), 255);
    EXPECT_EQ(t.Text().size(), 510u);
}

std::vector<TextExtent> Items(int count, int cx = 40) {
    return std::vector<TextExtent>(static_cast<size_t>(count), TextExtent{cx, 13});
}

TEST(ItemListLogic, PopupSizeFollowsTheItemsAndTheDropHeight) {
    // {items, text width, drop height, scroll bar, visible, width, height}: the scroll bar widens the list by 10, the
    // widest text + 13 beyond the box widens it; 9 * 17 + 5 = 158 < 162.
    const int rows[][7] = {{3, 40, 100, 0, 3, 120, 56},  {3, 40, 40, 1, 2, 130, 39},  {2, 200, 100, 0, 2, 213, 39},
                           {2, 107, 100, 0, 2, 120, 39}, {0, 40, 100, 0, 0, 120, 24}, {500, 40, 162, 1, 9, 130, 158}};
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r[0] << " items of " << r[1] << " in " << r[2]);
        const PopupLayout p = MeasurePopup(Items(r[0], r[1]), r[2], 120);
        EXPECT_EQ(p.hasScrollBar, r[3] != 0);
        EXPECT_EQ(p.items.visibleCount, r[4]);
        EXPECT_EQ(p.width, r[5]);
        EXPECT_EQ(p.height, r[6]);
        EXPECT_EQ(p.items.itemRects.size(), static_cast<size_t>(r[0]));
    }
    const PopupLayout three = MeasurePopup(Items(3), 40, 120);
    EXPECT_EQ(three.items.itemRects[2], (PixelRect{5, 37, 115, 53})); // clear of the scroll bar
    EXPECT_EQ(MeasurePopup(Items(500), 162, 120).items.itemRects[499].bottom, 499 * 17 + 19);
}

TEST(ItemListLogic, PopupOpensBelowAboveOrPulledOntoTheScreen) {
    // {box left, box top, box right, width, height, x, y}: boxes 18 high on a 1280 x 1024 screen.
    const int rows[][7] = {
        {100, 200, 300, 200, 100, 100, 218},   // below, as wide as the box
        {100, 200, 300, 260, 100, 40, 218},    // wider: extends to the left
        {100, 900, 300, 200, 100, 100, 798},   // would end within 50 of the bottom: above
        {1200, 200, 1270, 200, 50, 1070, 218}, // wider than the box at the right edge
        {10, 200, 60, 200, 50, 0, 218},        // wider near the left edge
        {100, 40, 300, 200, 1000, 100, 0},     // too tall for either side: kept on the screen
    };
    for (const auto& r : rows)
        EXPECT_EQ(PlacePopup({r[0], r[1], r[2], r[1] + 18}, 18, r[3], r[4], 1280, 1024), (PixelPoint{r[5], r[6]}))
            << r[0] << "," << r[1] << " " << r[3] << "x" << r[4];
}

TEST(ItemListLogic, HitsStepsAndScrolls) {
    EXPECT_EQ(StackItems(Items(5), 60, 5, 85).visibleCount, 3);
    const std::vector<PixelRect> rects = StackItems(Items(3), 100, 5, 115).itemRects;
    // {x, y, scroll offset, item or -1}: edges are inclusive.
    const int hits[][4] = {{5, 3, 0, 0},   {115, 19, 0, 0}, {116, 10, 0, -1}, {4, 10, 0, -1},
                           {50, 20, 0, 1}, {50, 2, 0, -1},  {50, 3, 17, 1},   {50, 54, 0, -1}};
    for (const auto& h : hits)
        EXPECT_EQ(HitTestItems(rects, h[0], h[1], h[2]), h[3]) << h[0] << "," << h[1] << " +" << h[2];
    // {index, count, forward, next}: wrapping at both ends.
    const int steps[][4] = {{-1, 5, 0, 4}, {-1, 5, 1, 0}, {4, 5, 1, 0}, {0, 5, 0, 4}, {-1, 0, 0, -1}, {-1, 0, 1, 0}};
    for (const auto& s : steps)
        EXPECT_EQ(StepIndex(s[0], s[1], s[2] != 0), s[3]) << s[0] << " of " << s[1];
    // Into a view of 3 items of 17 pixels: down, up, not at all when it shows.
    EXPECT_EQ(EnsureItemVisible(3, 17, 0, 3).scrollOffset, 17);
    EXPECT_EQ(EnsureItemVisible(1, 17, 34, 3).scrollPos, 100);
    EXPECT_FALSE(EnsureItemVisible(2, 17, 0, 3).changed);
    EXPECT_FALSE(EnsureItemVisible(-1, 17, 0, 3).changed);
    EXPECT_FALSE(EnsureItemVisible(2, 0, 0, 3).changed);
    EXPECT_EQ(ScrollOffsetForPos(17, 150), 25);
    // Tabbed text: a piece starts at the next multiple of 20 after the one before.
    EXPECT_EQ(TabbedPieceX({13, 7}, 7, 20), (std::vector<int>{7, 40}));
    EXPECT_EQ(TabbedPieceX({0, 0, 5}, 8, 20), (std::vector<int>{8, 20, 40}));
}

const PixelRect kScreen = {0, 0, 1280, 1024};

TEST(MessageLayout, TheLinesSizeTheBoxCentredWithinTheScreen) {
    struct Row {
        std::vector<TextExtent> lines;
        int textWidth, width, height;
    };
    const Row rows[] = {
        {{{60, 12}}, 72, 180, 12 + 103},         // the minimum width
        {{{400, 12}, {405, 12}}, 412, 462, 128}, // up to 10 pixels wider than the widest so far do not widen
        {{{400, 12}, {415, 12}}, 427, 477, 128},
        {std::vector<TextExtent>(200, {100, 12}), 112, 180, 1024}, // no taller than the screen
        {{{5000, 12}}, 5012, 1280, 115},                           // nor wider
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.lines.size() << " lines from " << r.lines[0].cx);
        const MessageLayout m = LayOutMessage(0, r.lines, kScreen, kScreen);
        EXPECT_EQ(m.textWidth, r.textWidth);
        const int left = (1280 - r.width) / 2;
        const int top = (1024 - r.height) / 2;
        EXPECT_EQ(m.window, (PixelRect{left, top, left + r.width, top + r.height}));
        EXPECT_EQ(m.close.left, r.width - 32);
    }
}

TEST(MessageLayout, OnlyTheTypeBitsTheBoxKnowsCountAndResultsFollowTheYesNoBit) {
    // Retry/cancel-like button values show OK alone; the error icon with them keeps its caption.
    EXPECT_EQ(ButtonsForType(0x12).second, nullptr);
    EXPECT_STREQ(KindForType(0x13).caption, "Error");
    EXPECT_STREQ(ButtonsForType(0x41).second, "Cancel");
    // {type, first button, result}: retry/cancel-like values with the 4 bit count as Yes/No.
    const int results[][3] = {{0x24, 1, 6}, {0x24, 0, 7}, {0x00, 1, 1}, {0x01, 0, 2}, {0x05, 0, 7}};
    for (const auto& r : results)
        EXPECT_EQ(MessageResult(static_cast<unsigned>(r[0]), r[1] != 0), r[2]) << r[0] << " " << r[1];
}

} // namespace
