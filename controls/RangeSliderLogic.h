#pragma once

#include "framework/PixelGeometry.h"

#include <functional>

// The range slider apart from its window: values, the value-to-pixel mapping, hit rectangles, grabbing, dragging,
// key steps, normalisation and the notifications they send (wParam: 0 begin, 1 end, 2 both; lParam: 1 only for the
// release that ends a drag). The window layer feeds it pointer positions, keys and the client size, and turns each
// notification into the RANGE_CHANGED message.
//
// Keeps lower <= begin <= end <= upper. Broken input is made harmless rather than stored: non-finite bounds count
// as 0 (a video whose duration could not be read behaves like one of length 0), a NaN selection end takes the
// bound on its side, and a selection passed in the wrong order is put in order.
class RangeSliderLogic {
public:
    static constexpr int kThumbWidth = 13;
    enum Part : int { kBeginThumb = 0, kEndThumb = 1, kBand = 2, kNoPart = -1 };
    using Notify = std::function<void(int which, int final)>;

    RangeSliderLogic() = default;
    void SetNotify(Notify handler) { notify = std::move(handler); }

    // Bounds in either order; then normalisation.
    void SetBounds(double a, double b);
    // Selection; then normalisation (which notifies for each correction).
    void SetSelection(double b, double e);
    double Lower() const { return lower; }
    double Upper() const { return upper; }
    double Begin() const { return begin; }
    double End() const { return end; }

    // Geometry from the client size: the track is the width less two thumbs, and the hit rectangles follow.
    void Layout(int clientWidth, int clientHeight);
    int TrackLength() const { return trackLength; }
    int ClientWidth() const { return width; }
    int ClientHeight() const { return height; }
    // Whether values have pixel positions at all: not when upper = lower or the track has no length.
    bool HasPositions() const;
    // trunc(trackLength * (v - lower) / (upper - lower) + 0.5); 0 without positions.
    int PixelOf(double v) const;
    const PixelRect& BeginThumbRect() const { return beginThumbRect; }
    const PixelRect& EndThumbRect() const { return endThumbRect; }
    // Between the thumbs, one column away from each; empty when they touch.
    PixelRect MiddleRect() const;
    int HitTest(int x, int y) const;

    // A press: true when a part was grabbed (the window then captures the mouse). Nothing while tracking already.
    bool Grab(int x, int y);
    // A move: while tracking, new values and one notification; false when not tracking.
    bool Drag(int x, int y);
    // The release: notification (trackedPart, 1); false when not tracking.
    bool Release();
    bool IsTracking() const { return tracking; }
    int TrackedPart() const { return trackedPart; }
    PixelPoint GrabOffset() const { return grabOffset; }

    // Left or Right arrow: false when ignored (no positions), else the step was tried and notified.
    bool Step(bool right, bool shift);

private:
    void Normalise();
    void Send(int which, int final) const;
    double Scale(int n) const;

    double lower = 0.0;
    double upper = 1.0;
    double begin = 0.0;
    double end = 1.0;
    int width = 0;
    int height = 0;
    int trackLength = 0;
    bool tracking = false;
    int trackedPart = kNoPart;
    PixelRect beginThumbRect;
    PixelRect endThumbRect;
    PixelPoint grabOffset;
    Notify notify;
};
