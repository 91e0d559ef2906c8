#include "controls/RangeSliderLogic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace {

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

TEST_F(SliderFixture, MapsValuesAndThumbsToPixels) {
    EXPECT_EQ(slider.PixelOf(0.1875), 1); // half a pixel rounds up
    EXPECT_EQ(slider.PixelOf(0.18), 0);
    Select(60, 60); // touching thumbs, no band between them
    EXPECT_EQ(slider.BeginThumbRect(), (PixelRect{160, 0, 173, 20}));
    EXPECT_EQ(slider.EndThumbRect(), (PixelRect{173, 0, 186, 20}));
    EXPECT_TRUE(slider.MiddleRect().IsEmpty());
}

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
        {false, -inf, 30, 0, 30, {{0, 0}}},
        {false, 80, 20, 20, 80, {}},            // put in order, not stored reversed
        {true, 0, nan, 0, 0, {{1, 0}, {0, 0}}}, // a duration that could not be read is a length of 0
        {true, inf, 5, 0, 0, {}},
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
    EXPECT_EQ(slider.Upper(), 5);
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
