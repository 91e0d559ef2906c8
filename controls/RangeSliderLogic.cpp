#include "controls/RangeSliderLogic.h"

#include <cmath>
#include <utility>

namespace {

double FiniteOr(double value, double fallback) {
    return std::isfinite(value) ? value : fallback;
}

} // namespace

void RangeSliderLogic::SetBounds(double a, double b) {
    a = FiniteOr(a, 0.0);
    b = FiniteOr(b, 0.0);
    if (a > b)
        std::swap(a, b);
    lower = a;
    upper = b;
    Normalise();
}

void RangeSliderLogic::SetSelection(double b, double e) {
    if (std::isnan(b))
        b = lower;
    if (std::isnan(e))
        e = upper;
    if (b > e)
        std::swap(b, e);
    begin = b;
    end = e;
    Normalise();
}

void RangeSliderLogic::Normalise() {
    if (begin < lower) {
        begin = lower;
        Send(kBeginThumb, 0);
        if (end < begin) {
            end = begin;
            Send(kEndThumb, 0);
        }
    }
    if (end > upper) {
        end = upper;
        Send(kEndThumb, 0);
        if (begin > end) {
            begin = end;
            Send(kBeginThumb, 0);
        }
    }
}

void RangeSliderLogic::Send(int which, int final) const {
    if (notify)
        notify(which, final);
}

void RangeSliderLogic::Layout(int clientWidth, int clientHeight) {
    width = clientWidth;
    height = clientHeight;
    trackLength = clientWidth - 2 * kThumbWidth;
    if (!HasPositions()) {
        // No thumb is drawn, so none can be grabbed.
        beginThumbRect = {};
        endThumbRect = {};
        return;
    }
    const int b = PixelOf(begin);
    const int e = PixelOf(end);
    beginThumbRect = {b, 0, b + kThumbWidth, clientHeight};
    endThumbRect = {e + kThumbWidth, 0, e + 2 * kThumbWidth, clientHeight};
}

bool RangeSliderLogic::HasPositions() const {
    const double span = upper - lower;
    return trackLength > 0 && span > 0.0 && std::isfinite(span);
}

int RangeSliderLogic::PixelOf(double v) const {
    if (!HasPositions())
        return 0;
    return static_cast<int>(std::trunc(trackLength * (v - lower) / (upper - lower) + 0.5));
}

PixelRect RangeSliderLogic::MiddleRect() const {
    return {beginThumbRect.right + 1, 0, endThumbRect.left - 1, height};
}

int RangeSliderLogic::HitTest(int x, int y) const {
    if (!HasPositions())
        return kNoPart;
    if (beginThumbRect.Contains(x, y))
        return kBeginThumb;
    if (endThumbRect.Contains(x, y))
        return kEndThumb;
    if (MiddleRect().Contains(x, y))
        return kBand;
    return kNoPart;
}

bool RangeSliderLogic::Grab(int x, int y) {
    if (tracking)
        return false;
    const int part = HitTest(x, y);
    if (part == kNoPart)
        return false;
    const PixelRect r = part == kBeginThumb ? beginThumbRect : part == kEndThumb ? endThumbRect : MiddleRect();
    tracking = true;
    trackedPart = part;
    grabOffset = {x - (r.left + r.right) / 2, y - (r.top + r.bottom) / 2};
    return true;
}

double RangeSliderLogic::Scale(int n) const {
    return static_cast<double>(n) / trackLength * (upper - lower);
}

bool RangeSliderLogic::Drag(int px, int) {
    if (!tracking)
        return false;
    const int x = px - grabOffset.x;
    switch (trackedPart) {
    case kBeginThumb:
        begin = lower + Scale(x - kThumbWidth / 2);
        if (!(begin < end))
            begin = end;
        if (begin <= lower)
            begin = lower;
        Send(kBeginThumb, 0);
        break;
    case kEndThumb: {
        const double old = end;
        end = lower + Scale(x - 3 * kThumbWidth / 2);
        if (end <= begin)
            end = begin;
        if (!(end < upper))
            end = upper;
        // The end thumb reports "begin" when the move left end where it was.
        Send(end != old ? kEndThumb : kBeginThumb, 0);
        break;
    }
    default: {
        const double span = end - begin;
        const double centre = lower + Scale(x - kThumbWidth);
        begin = centre - span / 2;
        end = centre + span / 2;
        if (begin <= lower) {
            begin = lower;
            end = lower + span;
        }
        if (end >= upper) {
            end = upper;
            begin = upper - span;
        }
        Send(kBand, 0);
        break;
    }
    }
    return true;
}

bool RangeSliderLogic::Release() {
    if (!tracking)
        return false;
    tracking = false;
    Send(trackedPart, 1);
    return true;
}

bool RangeSliderLogic::Step(bool right, bool shift) {
    if (!HasPositions())
        return false;
    const double step = (upper - lower) / trackLength;
    if (step == 0.0)
        return false;
    int bp = static_cast<int>(std::trunc((begin - lower) * (1 / step) + 0.5));
    int ep = static_cast<int>(std::trunc((end - lower) * (1 / step) + 0.5));
    const int delta = right ? 1 : -1;
    if (!shift)
        bp += delta;
    ep += delta;
    if (0 <= bp && bp <= ep && ep <= trackLength) {
        begin = lower + bp * step;
        end = lower + ep * step;
    }
    // Shift moves the end alone but reports "begin"; the report goes out even when the step was refused.
    Send(shift ? kBeginThumb : kBand, 0);
    return true;
}
