// The controls' logic that needs no window: scroll bar, label and edit texts, tab bar, item lists, message layout and
// the range slider.
#include "controls/EditText.h"
#include "controls/ItemListLogic.h"
#include "controls/LabelText.h"
#include "controls/MessageLayout.h"
#include "controls/RangeSliderLogic.h"
#include "controls/ScrollBarLogic.h"
#include "controls/TabBarLogic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

TEST(ScrollBarLogic, ClampsPositionsClassifiesPressesAndScalesDrags) {
    // {pos, range, page, clamped}: a page larger than the range never gives a negative position.
    const int clamps[][4] = {{-5, 500, 300, 0}, {900, 500, 300, 200}, {50, 300, 300, 0}, {50, 100, 300, 0}};
    for (const auto& c : clamps)
        EXPECT_EQ(ClampScrollPos(c[0], c[1], c[2]), c[3]) << c[0] << " " << c[1] << " " << c[2];
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

// The window tests open, step, hit and scroll ordinary lists; here long texts, long lists and the edges.
TEST(ItemListLogic, PopupSizePlacementHitsAndTabs) {
    // The widest text + 13 beyond the box widens it; the scroll bar widens it by 10, and 9 * 17 + 5 = 158 < 162.
    EXPECT_EQ(MeasurePopup(Items(2, 200), 100, 120).width, 213);
    const PopupLayout many = MeasurePopup(Items(500), 162, 120);
    EXPECT_TRUE(many.hasScrollBar);
    EXPECT_EQ(std::make_pair(many.width, many.height), std::make_pair(130, 158));
    // {box left, box top, box right, width, height, x, y}: boxes 18 high on a 1280 x 1024 screen.
    const int places[][7] = {
        {100, 900, 300, 200, 100, 100, 798},   // would end within 50 of the bottom: above
        {1200, 200, 1270, 200, 50, 1070, 218}, // wider than the box at the right edge
        {10, 200, 60, 200, 50, 0, 218},        // wider near the left edge
        {100, 40, 300, 200, 1000, 100, 0},     // too tall for either side: kept on the screen
    };
    for (const auto& r : places)
        EXPECT_EQ(PlacePopup({r[0], r[1], r[2], r[1] + 18}, 18, r[3], r[4], 1280, 1024), (PixelPoint{r[5], r[6]}))
            << r[0] << "," << r[1] << " " << r[3] << "x" << r[4];
    const std::vector<PixelRect> rects = StackItems(Items(3), 100, 5, 115).itemRects;
    // {x, y, item or -1}: edges are inclusive.
    const int hits[][3] = {{115, 19, 0}, {116, 10, -1}, {4, 10, -1}, {50, 2, -1}, {50, 54, -1}};
    for (const auto& h : hits)
        EXPECT_EQ(HitTestItems(rects, h[0], h[1], 0), h[2]) << h[0] << "," << h[1];
    // A piece of tabbed text starts at the next multiple of 20 after the one before.
    EXPECT_EQ(TabbedPieceX({0, 0, 5}, 8, 20), (std::vector<int>{8, 20, 40}));
}

// The message box's window test sizes and ends ordinary boxes; here the screen's limits and the odd types.
TEST(MessageLayout, NoLargerThanTheScreenAndOnlyTheTypeBitsTheBoxKnows) {
    const PixelRect screen = {0, 0, 1280, 1024};
    EXPECT_EQ(LayOutMessage(0, std::vector<TextExtent>(200, {100, 12}), screen, screen).window,
              (PixelRect{550, 0, 730, 1024}));
    EXPECT_EQ(LayOutMessage(0, {{5000, 12}}, screen, screen).window, (PixelRect{0, 454, 1280, 569}));
    // Retry/cancel-like button values show OK alone, and with the 4 bit count as Yes/No; the error icon with them
    // keeps its caption.
    EXPECT_EQ(ButtonsForType(0x12).second, nullptr);
    EXPECT_EQ(MessageResult(0x05, false), 7);
    EXPECT_STREQ(KindForType(0x13).caption, "Error");
    EXPECT_STREQ(ButtonsForType(0x41).second, "Cancel");
}

using Sent = std::vector<std::pair<int, int>>;
using Part = RangeSliderLogic::Part;

// The main window's slider: bounds 0..120 on a 346 x 20 client, a track of 320 pixels (0.375 s a pixel).
struct SliderFixture : ::testing::Test {
    RangeSliderLogic slider;
    Sent sent;

    void SetUp() override {
        slider.SetNotify([this](int which, int final) { sent.emplace_back(which, final); });
        slider.SetBounds(0, 120);
        Select(0, 120);
    }
    void Select(double b, double e) {
        slider.SetSelection(b, e);
        slider.Layout(346, 20);
        sent.clear();
    }
};

TEST_F(SliderFixture, NormalisationKeepsTheOrderAndSendsItsCorrectionsInOrder) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Row {
        bool bounds; // SetBounds(a, b), else SetSelection(a, b)
        double a, b, begin, end;
        Sent sent;
    };
    const Row rows[] = {
        {false, -5, 50, 0, 50, {{0, 0}}},
        {false, 130, 140, 120, 120, {{1, 0}, {0, 0}}},
        {false, 10, 20, 10, 20, {}},
        {true, 50, 100, 50, 50, {{0, 0}, {1, 0}}}, // past the whole selection: begin raised, then end to it
        {false, 70, 90, 70, 90, {}},
        {true, 0, 60, 60, 60, {{1, 0}, {0, 0}}}, // the other way: end lowered, then begin to it
        {true, 120, 0, 60, 60, {}},              // bounds in either order
        {false, nan, inf, 0, 120, {{1, 0}}},     // a broken end takes the bound on its side
        {false, 80, 20, 20, 80, {}},             // put in order, not stored reversed
        {true, 0, nan, 0, 0, {{1, 0}, {0, 0}}},  // a duration that could not be read is a length of 0
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << (r.bounds ? "bounds " : "selection ") << r.a << " " << r.b);
        sent.clear();
        if (r.bounds)
            slider.SetBounds(r.a, r.b);
        else
            slider.SetSelection(r.a, r.b);
        EXPECT_DOUBLE_EQ(slider.Begin(), r.begin);
        EXPECT_DOUBLE_EQ(slider.End(), r.end);
        EXPECT_EQ(sent, r.sent);
    }
}

TEST_F(SliderFixture, WithoutATrackThereIsNoThumbAndInputIsIgnored) {
    slider.SetBounds(30, 30);
    slider.Layout(346, 20);
    EXPECT_TRUE(slider.BeginThumbRect().IsEmpty());
    sent.clear();
    EXPECT_FALSE(slider.Grab(5, 5));
    EXPECT_FALSE(slider.Step(true, false));
    EXPECT_TRUE(sent.empty());
    slider.SetBounds(0, 120);
    slider.Layout(20, 20); // narrower than two thumbs: no division by the track's zero length
    EXPECT_FALSE(slider.Step(false, false));
    EXPECT_FALSE(slider.Grab(3, 3));
}

TEST_F(SliderFixture, GrabsHitTheThumbsAndBandButNotTheColumnsBeside) {
    Select(30, 90); // begin thumb 80..93, end thumb 253..266
    // {x, y, part}: the hit rectangles are the client's full height.
    const int hits[][3] = {{92, 5, Part::kBeginThumb},  {93, 5, Part::kNoPart},  {94, 5, Part::kBand},
                           {251, 5, Part::kBand},       {252, 5, Part::kNoPart}, {253, 5, Part::kEndThumb},
                           {80, 19, Part::kBeginThumb}, {80, 20, Part::kNoPart}};
    for (const auto& h : hits)
        EXPECT_EQ(slider.HitTest(h[0], h[1]), h[2]) << h[0] << "," << h[1];
    EXPECT_FALSE(slider.Grab(93, 5));
    ASSERT_TRUE(slider.Grab(83, 4));
    EXPECT_EQ(slider.GrabOffset(), (PixelPoint{83 - 86, 4 - 10})); // from the centre of the part
    EXPECT_FALSE(slider.Grab(260, 4));                             // a second press while tracking starts nothing new
    EXPECT_EQ(slider.TrackedPart(), Part::kBeginThumb);
    EXPECT_TRUE(slider.Release());
    EXPECT_EQ(sent, (Sent{{0, 1}}));
    EXPECT_FALSE(slider.Release());
}

TEST_F(SliderFixture, DragsAndArrowKeysMoveClampedAndReportEveryStep) {
    struct Row {
        const char* input;
        double b, e;
        int grabX;              // a drag from the part's centre through moves; 0: an arrow key
        std::vector<int> moves; // or right, shift
        double begin, end;
        Sent sent;
    };
    const Row rows[] = {
        // 46 is 40 pixels into the track: 15 s; then pinned at end and at lower.
        {"begin thumb", 30, 90, 86, {46, 400, -50}, 0, 90, {{0, 0}, {0, 0}, {0, 0}, {0, 1}}},
        // 90 s again, 105 s, upper twice, below begin: end = begin. Moves that leave the end where it was say "begin".
        {"end thumb", 30, 90, 259, {259, 299, 1000, 1001, 0}, 30, 30, {{0, 0}, {1, 0}, {1, 0}, {0, 0}, {1, 0}, {1, 1}}},
        // The band keeps its span, pinned at either bound; 8 pixels from the grab are 3 s.
        {"band", 30, 90, 173, {1173, -827, 181}, 33, 93, {{2, 0}, {2, 0}, {2, 0}, {2, 1}}},
        // Arrows move by a pixel (27 and 133 here); Shift moves the end alone but reports "begin".
        {"right", 10, 50, 0, {1, 0}, 10.5, 50.25, {{2, 0}}},
        {"shift left", 10.5, 50.25, 0, {0, 1}, 10.5, 49.875, {{0, 0}}},
        // Refused at either end of the track or where the ends would cross, and still reported.
        {"right at the end", 100, 120, 0, {1, 0}, 100, 120, {{2, 0}}},
        {"left at the start", 0, 30, 0, {0, 0}, 0, 30, {{2, 0}}},
        {"shift left on one pixel", 45, 45, 0, {0, 1}, 45, 45, {{0, 0}}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.input);
        Select(r.b, r.e);
        if (r.grabX == 0) {
            EXPECT_TRUE(slider.Step(r.moves[0] != 0, r.moves[1] != 0));
        } else {
            ASSERT_TRUE(slider.Grab(r.grabX, 10));
            for (int x : r.moves)
                slider.Drag(x, 10);
            slider.Release();
        }
        EXPECT_DOUBLE_EQ(slider.Begin(), r.begin);
        EXPECT_DOUBLE_EQ(slider.End(), r.end);
        EXPECT_EQ(sent, r.sent);
    }
}

} // namespace
