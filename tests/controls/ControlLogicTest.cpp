#include "controls/EditText.h"
#include "controls/LabelText.h"
#include "controls/ScrollBarLogic.h"
#include "controls/SkGroupBox.h"
#include "controls/TabBarLogic.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string_view>
#include <vector>
#include <string>

namespace {

TEST(ScrollBarLogic, PositionsAreClampedToTheRangeLessThePage) {
    EXPECT_EQ(ClampScrollPos(-5, 500, 300), 0);
    EXPECT_EQ(ClampScrollPos(150, 500, 300), 150);
    EXPECT_EQ(ClampScrollPos(900, 500, 300), 200);
    EXPECT_EQ(ClampScrollPos(50, 300, 300), 0);
    EXPECT_EQ(ClampScrollPos(50, 0, 0), 0);
    EXPECT_EQ(ClampScrollPos(50, 100, 300), 0); // a page larger than the range never gives a negative position
}

TEST(ScrollBarLogic, ThumbGeometryAndPresses) {
    const ThumbGeometry painted = ComputeThumb(0, 500, 300, 99);
    EXPECT_EQ(painted.offset, 0);
    EXPECT_EQ(painted.length, 54);
    const ThumbGeometry hit = ComputeThumb(0, 500, 300, 100);
    EXPECT_EQ(ClassifyPress(1, hit), ScrollPress::pageUp);
    EXPECT_EQ(ClassifyPress(2, hit), ScrollPress::pageUp);
    EXPECT_EQ(ClassifyPress(3, hit), ScrollPress::drag);
    EXPECT_EQ(ClassifyPress(62, hit), ScrollPress::drag);
    EXPECT_EQ(ClassifyPress(63, hit), ScrollPress::pageDown);
    EXPECT_EQ(ClassifyPress(70, hit), ScrollPress::pageDown);
    const ThumbGeometry lower = ComputeThumb(200, 500, 300, 100);
    EXPECT_EQ(lower.offset, 36); // 200 / 500 * 90
    EXPECT_FALSE(ComputeThumb(0, 0, 0, 100).hasThumb);
}

TEST(ScrollBarLogic, DragsScaleByTheTrackAndNeverDivideByZero) {
    EXPECT_EQ(DragPositionDelta(10, 116, 800), 80);
    EXPECT_EQ(DragPositionDelta(-10, 116, 800), -80);
    EXPECT_EQ(DragPositionDelta(1, 116, 50), 0); // truncated toward zero
    EXPECT_EQ(DragPositionDelta(10, 16, 800), 0);
    EXPECT_EQ(DragPositionDelta(10, 3, 800), 0);
}

TEST(LabelText, SplitsAtLineFeeds) {
    LabelText t;
    EXPECT_EQ(t.LineCount(), 1);
    t.Set("first\nsecond");
    EXPECT_EQ(t.LineCount(), 2);
    EXPECT_EQ(t.Line(0), "first");
    EXPECT_EQ(t.Line(1), "second");
    EXPECT_EQ(t.Line(2), "");
    EXPECT_EQ(t.Line(-1), "");
    t.Set("");
    EXPECT_EQ(t.LineCount(), 1);
    EXPECT_EQ(t.Line(0), "");
    t.Set("a\n\nb\n");
    EXPECT_EQ(t.LineCount(), 4);
    EXPECT_EQ(t.Line(1), "");
    EXPECT_EQ(t.Line(2), "b");
    EXPECT_EQ(t.Line(3), "");
    t.Set(nullptr);
    EXPECT_EQ(t.LineCount(), 1);
}

TEST(LabelText, LongTextsAreCutNotOverrun) {
    LabelText t;
    const std::string word(10000, 'w');
    t.Set(word.c_str());
    EXPECT_EQ(t.Text().size(), 1023u);
    EXPECT_EQ(t.LineCount(), 1);
    EXPECT_EQ(t.Line(0), std::string(255, 'w'));
    std::string lines;
    for (int i = 0; i < 2000; ++i)
        lines += "x\n";
    t.Set(lines.c_str());
    EXPECT_EQ(t.LineCount(), 1 + 511); // 1023 characters keep 511 line feeds
    EXPECT_EQ(t.Line(511), "x");
}

TEST(TabBarLogic, PressesOnTheMainWindowsBar) {
    struct Row {
        int x;
        int current;
        bool notify;
        int tab;
    };
    const Row rows[] = {
        {0, 1, true, 0},   {71, 1, true, 0},  {72, 0, true, 1},   {360, 0, true, 5}, {431, 0, true, 5},
        {432, 5, true, 6}, {435, 5, true, 6}, {10, 0, false, -1}, {400, 5, false, -1}, {433, 6, false, -1},
    };
    for (const Row& r : rows) {
        const TabPress press = PressTab(436, 6, r.current, r.x);
        EXPECT_EQ(press.notify, r.notify) << r.x;
        if (r.notify) {
            EXPECT_EQ(press.tab, r.tab) << r.x;
        }
    }
    EXPECT_FALSE(PressTab(436, 0, -1, 10).notify);
    EXPECT_FALSE(PressTab(5, 6, -1, 3).notify); // narrower than its tab count: no division by zero
}

TEST(EditText, CopiesOnlyWhatFitsWithItsTerminator) {
    EditText t;
    t.Set("C:\\out\\", [](std::string_view) { return 6; });
    char buffer[16];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_FALSE(t.CopyTo(buffer, 7)); // the text's own length
    EXPECT_EQ(std::string(buffer, 8), "########");
    EXPECT_TRUE(t.CopyTo(buffer, 8));
    EXPECT_STREQ(buffer, "C:\\out\\");
    EXPECT_FALSE(t.CopyTo(nullptr, 8));
    ASSERT_EQ(t.CharX().size(), 8u);
    EXPECT_EQ(t.CharX()[0], 3);
    EXPECT_EQ(t.CharX()[7], 3 + 7 * 6);
    const std::string tooLong(600, 'p');
    t.Set(tooLong.c_str(), [](std::string_view) { return 1; });
    EXPECT_EQ(t.Count(), 511);
    // A character of two, three or four bytes is one position, measured whole; a broken byte is one of its own.
    t.Set("\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80\xE6x", [](std::string_view c) { return static_cast<int>(c.size()); });
    EXPECT_EQ(t.CharX(), (std::vector<int>{3, 5, 8, 12, 13, 14}));
    // Too long a text is cut between characters, never inside one: 300 "é" keep 255 (510 bytes), not 255 and a half.
    std::string accents;
    for (int i = 0; i < 300; ++i)
        accents += "\xC3\xA9";
    t.Set(accents.c_str(), [](std::string_view) { return 1; });
    EXPECT_EQ(t.Count(), 255);
    EXPECT_EQ(t.Text().size(), 510u);
}

TEST(GroupFrame, TheTopEdgeIsInterruptedBehindTheCaption) {
    const GroupFrameGeometry g = ComputeGroupFrame(60, 13, 300, 200);
    EXPECT_EQ(g.gap.left, 8);
    EXPECT_EQ(g.gap.right, 72); // interrupted from x 8 to x 71
    EXPECT_EQ(g.gap.bottom, 13);
    EXPECT_EQ(g.frame.top, 6);
    EXPECT_EQ(g.frame.right, 299);
    EXPECT_EQ(g.frame.bottom, 199);
}

} // namespace
