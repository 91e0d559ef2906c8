// The controls' logic that needs no window: scroll bar, label and edit texts, tab bar and the range slider.
#include "controls/EditText.h"
#include "controls/LabelText.h"
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

// Sizes the window tests never make: no negative position, no division by a track or tab of no width.
TEST(ControlGeometry, DegenerateSizesDivideByNothing) {
    EXPECT_EQ(ClampScrollPos(50, 100, 300), 0); // a page larger than the range
    EXPECT_FALSE(ComputeThumb(0, 0, 0, 100).hasThumb);
    EXPECT_EQ(DragPositionDelta(10, 16, 800), 0);
    EXPECT_EQ(DragPositionDelta(10, 3, 800), 0);
    EXPECT_FALSE(PressTab(5, 6, -1, 3).notify); // narrower than its tab count
    EXPECT_FALSE(PressTab(436, 0, -1, 10).notify);
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

using Sent = std::vector<std::pair<int, int>>;

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
