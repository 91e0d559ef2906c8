#include "controls/RangeSliderLogic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace {

using Sent = std::vector<std::pair<int, int>>;

// The main window's slider: bounds 0..120 on a 346 x 20 client, a track of 320 pixels.
struct SliderFixture : ::testing::Test {
    RangeSliderLogic slider;
    Sent sent;

    void SetUp() override {
        slider.SetNotify([this](int which, int final) { sent.emplace_back(which, final); });
        slider.SetBounds(0, 120);
        slider.SetSelection(0, 120);
        slider.Layout(346, 20);
        sent.clear();
    }
    void Select(double b, double e) {
        slider.SetSelection(b, e);
        slider.Layout(346, 20);
        sent.clear();
    }
};

TEST_F(SliderFixture, MapsBothEndsAndTouchingThumbsToPixels) {
    EXPECT_EQ(slider.TrackLength(), 320);
    EXPECT_EQ(slider.PixelOf(0), 0);
    EXPECT_EQ(slider.PixelOf(120), 320);
    EXPECT_EQ(slider.BeginThumbRect(), (PixelRect{0, 0, 13, 20}));
    EXPECT_EQ(slider.EndThumbRect(), (PixelRect{333, 0, 346, 20}));
    // Rounding: 0.1875 s is half a pixel.
    EXPECT_EQ(slider.PixelOf(0.1875), 1);
    EXPECT_EQ(slider.PixelOf(0.18), 0);

    Select(60, 60);
    EXPECT_EQ(slider.PixelOf(60), 160);
    EXPECT_EQ(slider.BeginThumbRect(), (PixelRect{160, 0, 173, 20}));
    EXPECT_EQ(slider.EndThumbRect(), (PixelRect{173, 0, 186, 20}));
    EXPECT_TRUE(slider.MiddleRect().IsEmpty());
}

TEST_F(SliderFixture, NormalisationSendsItsPairsInOrder) {
    slider.SetSelection(-5, 50);
    EXPECT_EQ(sent, (Sent{{0, 0}}));
    EXPECT_EQ(slider.Begin(), 0);
    EXPECT_EQ(slider.End(), 50);

    sent.clear();
    slider.SetSelection(130, 140);
    EXPECT_EQ(sent, (Sent{{1, 0}, {0, 0}}));
    EXPECT_EQ(slider.Begin(), 120);
    EXPECT_EQ(slider.End(), 120);

    // Bounds moving past the whole selection: begin raised, then end raised to it.
    slider.SetSelection(10, 20);
    sent.clear();
    slider.SetBounds(50, 100);
    EXPECT_EQ(sent, (Sent{{0, 0}, {1, 0}}));
    EXPECT_EQ(slider.Begin(), 50);
    EXPECT_EQ(slider.End(), 50);

    // And the other way: end lowered, then begin lowered to it.
    slider.SetSelection(70, 90);
    sent.clear();
    slider.SetBounds(0, 60);
    EXPECT_EQ(sent, (Sent{{1, 0}, {0, 0}}));
    EXPECT_EQ(slider.Begin(), 60);
    EXPECT_EQ(slider.End(), 60);

    // A selection inside the bounds sends nothing; bounds in either order are the same.
    slider.SetBounds(120, 0);
    sent.clear();
    slider.SetSelection(10, 20);
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(slider.Lower(), 0);
    EXPECT_EQ(slider.Upper(), 120);
}

TEST_F(SliderFixture, BrokenValuesAreMadeHarmless) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    slider.SetSelection(nan, inf);
    EXPECT_EQ(slider.Begin(), 0);
    EXPECT_EQ(slider.End(), 120);
    slider.SetSelection(-inf, 30);
    EXPECT_EQ(slider.Begin(), 0);

    // Reversed selections are put in order instead of breaking begin <= end.
    slider.SetSelection(80, 20);
    EXPECT_EQ(slider.Begin(), 20);
    EXPECT_EQ(slider.End(), 80);

    // A duration that could not be read is a video of length 0.
    slider.SetBounds(0, nan);
    EXPECT_EQ(slider.Lower(), 0);
    EXPECT_EQ(slider.Upper(), 0);
    EXPECT_EQ(slider.Begin(), 0);
    EXPECT_EQ(slider.End(), 0);
    slider.SetBounds(inf, 5);
    EXPECT_EQ(slider.Upper(), 5);
    EXPECT_TRUE(std::isfinite(slider.Lower()));
}

TEST_F(SliderFixture, EqualBoundsShowNoThumbAndIgnoreInput) {
    slider.SetBounds(30, 30);
    slider.Layout(346, 20);
    EXPECT_FALSE(slider.HasPositions());
    EXPECT_EQ(slider.PixelOf(30), 0);
    EXPECT_TRUE(slider.BeginThumbRect().IsEmpty());
    sent.clear();
    EXPECT_FALSE(slider.Grab(5, 5));
    EXPECT_FALSE(slider.Grab(170, 5));
    EXPECT_FALSE(slider.Step(true, false));
    EXPECT_TRUE(sent.empty());

    // A client narrower than two thumbs has no track either: no division by its zero length.
    slider.SetBounds(0, 120);
    slider.Layout(20, 20);
    EXPECT_FALSE(slider.HasPositions());
    EXPECT_FALSE(slider.Step(false, false));
    EXPECT_FALSE(slider.Grab(3, 3));
}

TEST_F(SliderFixture, GrabOffsetIsMeasuredFromTheCentreOfThePart) {
    Select(30, 90); // begin thumb 80..93, end thumb 253..266
    ASSERT_TRUE(slider.Grab(83, 4));
    EXPECT_EQ(slider.TrackedPart(), RangeSliderLogic::kBeginThumb);
    EXPECT_EQ(slider.GrabOffset(), (PixelPoint{83 - 86, 4 - 10}));
    // A second press while tracking starts nothing new.
    EXPECT_FALSE(slider.Grab(260, 4));
    EXPECT_EQ(slider.TrackedPart(), RangeSliderLogic::kBeginThumb);
    EXPECT_TRUE(slider.Release());
    EXPECT_EQ(sent, (Sent{{0, 1}}));
    EXPECT_FALSE(slider.Release());
}

TEST_F(SliderFixture, TheColumnsBesideTheThumbsBelongToNoPart) {
    Select(30, 90);
    const PixelRect b = slider.BeginThumbRect();
    const PixelRect e = slider.EndThumbRect();
    EXPECT_EQ(slider.HitTest(b.right - 1, 5), RangeSliderLogic::kBeginThumb);
    EXPECT_EQ(slider.HitTest(b.right, 5), RangeSliderLogic::kNoPart);
    EXPECT_EQ(slider.HitTest(b.right + 1, 5), RangeSliderLogic::kBand);
    EXPECT_EQ(slider.HitTest(e.left - 2, 5), RangeSliderLogic::kBand);
    EXPECT_EQ(slider.HitTest(e.left - 1, 5), RangeSliderLogic::kNoPart);
    EXPECT_EQ(slider.HitTest(e.left, 5), RangeSliderLogic::kEndThumb);
    // The hit rectangles are the client's full height.
    EXPECT_EQ(slider.HitTest(b.left, 19), RangeSliderLogic::kBeginThumb);
    EXPECT_EQ(slider.HitTest(b.left, 20), RangeSliderLogic::kNoPart);
    EXPECT_FALSE(slider.Grab(b.right, 5));
    EXPECT_FALSE(slider.IsTracking());
}

TEST_F(SliderFixture, BeginThumbDragsAreClampedAtLowerAndAtEnd) {
    Select(30, 90);
    ASSERT_TRUE(slider.Grab(86, 10)); // the centre: no offset
    slider.Drag(6 + 40, 10);          // 40 pixels from the track start: 15 s
    EXPECT_DOUBLE_EQ(slider.Begin(), 15);
    slider.Drag(400, 10);
    EXPECT_DOUBLE_EQ(slider.Begin(), 90);
    slider.Drag(-50, 10);
    EXPECT_DOUBLE_EQ(slider.Begin(), 0);
    slider.Release();
    EXPECT_EQ(sent, (Sent{{0, 0}, {0, 0}, {0, 0}, {0, 1}}));
    EXPECT_DOUBLE_EQ(slider.End(), 90);
}

TEST_F(SliderFixture, EndThumbMovesThatLeaveEndAloneReportBegin) {
    Select(30, 90);
    ASSERT_TRUE(slider.Grab(259, 10)); // end thumb 253..266, centre 259
    slider.Drag(259, 10);              // no change: 19 + 240 pixels is 90 s again
    slider.Drag(19 + 280, 10);         // 105 s
    slider.Drag(1000, 10);             // pinned at upper
    slider.Drag(1001, 10);             // still upper: no change
    slider.Drag(0, 10);                // below begin: end = begin
    slider.Release();
    EXPECT_EQ(sent, (Sent{{0, 0}, {1, 0}, {1, 0}, {0, 0}, {1, 0}, {1, 1}}));
    EXPECT_DOUBLE_EQ(slider.End(), 30);
    EXPECT_DOUBLE_EQ(slider.Begin(), 30);
}

TEST_F(SliderFixture, BandDragsKeepTheSpanAndPinAtTheBounds) {
    Select(30, 90);
    const PixelRect middle = slider.MiddleRect();
    const int centre = (middle.left + middle.right) / 2;
    ASSERT_TRUE(slider.Grab(centre, 10));
    EXPECT_EQ(slider.TrackedPart(), RangeSliderLogic::kBand);
    slider.Drag(centre + 1000, 10);
    EXPECT_DOUBLE_EQ(slider.End(), 120);
    EXPECT_DOUBLE_EQ(slider.Begin(), 60);
    slider.Drag(centre - 1000, 10);
    EXPECT_DOUBLE_EQ(slider.Begin(), 0);
    EXPECT_DOUBLE_EQ(slider.End(), 60);
    slider.Drag(centre + 8, 10); // 8 pixels right of the grab: 3 s later than the start
    EXPECT_DOUBLE_EQ(slider.End() - slider.Begin(), 60);
    slider.Release();
    EXPECT_EQ(sent, (Sent{{2, 0}, {2, 0}, {2, 0}, {2, 1}}));
}

TEST_F(SliderFixture, ArrowKeysStepOnePixelAndAlwaysReport) {
    Select(10, 50);
    EXPECT_TRUE(slider.Step(true, false));
    EXPECT_DOUBLE_EQ(slider.Begin(), 10.5); // bp 27 + 1 = 28, times 0.375
    EXPECT_DOUBLE_EQ(slider.End(), 50.25);  // ep 133 + 1 = 134
    EXPECT_TRUE(slider.Step(false, true));  // Shift+Left: the end alone, reported as "begin"
    EXPECT_DOUBLE_EQ(slider.Begin(), 10.5);
    EXPECT_DOUBLE_EQ(slider.End(), 49.875);
    EXPECT_EQ(sent, (Sent{{2, 0}, {0, 0}}));

    // At the end of the track the step is refused but still reported.
    Select(100, 120);
    slider.Step(true, false);
    EXPECT_DOUBLE_EQ(slider.Begin(), 100);
    EXPECT_DOUBLE_EQ(slider.End(), 120);
    EXPECT_EQ(sent, (Sent{{2, 0}}));

    // Shift+Left with both ends on one pixel would cross them: refused, reported as (0, 0).
    Select(45, 45);
    slider.Step(false, true);
    EXPECT_DOUBLE_EQ(slider.Begin(), 45);
    EXPECT_DOUBLE_EQ(slider.End(), 45);
    EXPECT_EQ(sent, (Sent{{0, 0}}));

    // At the start Left is refused too.
    Select(0, 30);
    slider.Step(false, false);
    EXPECT_DOUBLE_EQ(slider.Begin(), 0);
    EXPECT_DOUBLE_EQ(slider.End(), 30);
}

} // namespace
