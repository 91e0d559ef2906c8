#include "skin/ListGeometry.h"

#include <algorithm>
#include <cmath>

namespace {

bool IsEmpty(const PixelRect& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

// The scroll position matching a thumb edge, for a thumb function that never decreases as the position grows.
template <class ThumbFor> int InverseOfThumb(int thumbPos, int limit, ThumbFor thumbFor) {
    if (limit <= 0)
        return 0;
    const int first = thumbFor(0);
    const int last = thumbFor(limit);
    // A bar too short to have a track cannot tell positions apart.
    if (last <= first || thumbPos <= first)
        return 0;
    if (thumbPos >= last)
        return limit;
    // The smallest position whose thumb reaches thumbPos; thumbFor(limit) > thumbPos, so there is one.
    int low = 0;
    int high = limit;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (thumbFor(middle) >= thumbPos)
            high = middle;
        else
            low = middle + 1;
    }
    if (thumbFor(low) == thumbPos || low == 0)
        return low;
    // More pixels than positions: no position puts the thumb exactly there, so take the nearer one.
    return thumbPos - thumbFor(low - 1) <= thumbFor(low) - thumbPos ? low - 1 : low;
}

std::uint32_t AddCapped(std::uint32_t colour, int amount) {
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int component = static_cast<int>((colour >> shift) & 0xFF);
        out |= static_cast<std::uint32_t>(std::min(255, component + amount)) << shift;
    }
    return out;
}

// Components above 245 stay as they are, so that none passes 255.
std::uint32_t AddBelowTop(std::uint32_t colour, int amount) {
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        int component = static_cast<int>((colour >> shift) & 0xFF);
        if (component <= 245)
            component += amount;
        out |= static_cast<std::uint32_t>(component) << shift;
    }
    return out;
}

PixelRect Deflated(const PixelRect& r, int by) {
    return {r.left + by, r.top + by, r.right - by, r.bottom - by};
}

// The one pixel by which the vertical bar's track is longer and its clamps are narrower than the horizontal's.
int VerticalShift(const BarSizes& s) {
    return s.axis == BarAxis::vertical ? 1 : 0;
}

} // namespace

int ScrollLimit(int minimum, int maximum, unsigned page) {
    const long long pageSteps = page > 1 ? static_cast<long long>(page) - 1 : 0;
    const long long limit = static_cast<long long>(maximum) - minimum - pageSteps;
    return limit > 0 ? static_cast<int>(limit) : 0;
}

int ThumbTrack(int length, const BarSizes& s) {
    return length - s.thumbLength - s.trackReserve - s.endCap - s.endArrow - s.startArrow + 1 + VerticalShift(s);
}

int ClampThumb(int thumbPos, int length, const BarSizes& s) {
    const int highest = length - s.thumbLength - s.endArrow - s.endCap + 1 - VerticalShift(s);
    if (thumbPos > highest)
        thumbPos = highest;
    const int lowest = s.startArrow - 1 + VerticalShift(s);
    if (thumbPos < lowest)
        thumbPos = lowest;
    return thumbPos;
}

int ThumbPosition(int length, int pos, int limit, const BarSizes& s) {
    // With nothing to scroll the scale would be a division by zero: the thumb stays at the start.
    int offset = 0;
    if (limit > 0) {
        const double scale = static_cast<double>(ThumbTrack(length, s)) / limit;
        offset = static_cast<int>(std::trunc(scale * std::clamp(pos, 0, limit)));
    }
    return ClampThumb(offset + s.startArrow - 1, length, s);
}

int PositionForThumb(int thumbPos, int length, int limit, const BarSizes& s) {
    return InverseOfThumb(thumbPos, limit, [&](int pos) { return ThumbPosition(length, pos, limit, s); });
}

std::optional<RowSpan> VisibleRedrawRows(int first, int last, int itemCount, int topIndex, int perPage) {
    if (itemCount <= 0)
        return std::nullopt;
    const int low = std::min(first, last);
    const int high = std::max(first, last);
    const int lastVisible = std::min(topIndex + perPage, itemCount - 1);
    if (high < topIndex || low > lastVisible)
        return std::nullopt;
    return RowSpan{std::max(low, topIndex), std::min(high, lastVisible)};
}

PixelRect BoundingUnion(const PixelRect& a, const PixelRect& b) {
    if (IsEmpty(a))
        return b;
    if (IsEmpty(b))
        return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

CellLayout LayoutCell(const CellLayoutInput& in) {
    const PixelRect& c = in.cell;
    const int height = c.Height();
    CellLayout out;
    out.text = c;
    int start = c.left;
    if (in.hasCheckBox) {
        int left = c.left;
        int right = c.left + height;
        if (in.centreCheckBox) {
            const int centre = (c.left + c.right) / 2;
            left = centre - height / 2;
            right = centre + (height + 1) / 2;
        }
        out.checkBox = {left, c.top, right, c.bottom};
        out.checkArea = {c.left, c.top, right, c.bottom};
        start = right;
        out.text.left = right;
    }
    if (in.hasImage && in.imageWidth > 0 && in.imageHeight > 0) {
        const int width = std::max(0, std::min(in.imageWidth, c.Width()));
        const int imageHeight = in.imageHeight <= height + 1 ? in.imageHeight : height;
        const int x = in.centreImage ? start + (c.right - start - width) / 2 : start + (in.hasCheckBox ? 0 : 1);
        const int y = std::max(c.top, c.top + (height - imageHeight) / 2);
        out.image = {x, y, x + width, y + imageHeight};
        out.imageArea = {start, c.top, x + width, c.bottom};
        out.text.left = x + width;
    }
    return out;
}

PixelRect CellPartRect(const CellLayout& layout, const PixelRect& cell, int part) {
    switch (static_cast<CellPart>(part)) {
    case CellPart::whole: return cell;
    case CellPart::checkBox: return layout.checkBox;
    case CellPart::image: return layout.image;
    default: return layout.text;
    }
}

PixelRect ProgressBarRect(const PixelRect& text, int progressInset) {
    PixelRect r = {text.left + 1, text.top + 1, text.right - 2, text.bottom - 1};
    if (progressInset != 0)
        r = Deflated(r, 2);
    r.top += 2;
    r.bottom -= 2;
    return r;
}

int ProgressFillWidth(int width, int pos, int max) {
    if (width <= 0 || max <= 0 || pos < 1)
        return 0;
    if (pos >= max)
        return width;
    return static_cast<int>(static_cast<long long>(width) * pos / max);
}

BarShading ShadeBar(const PixelRect& bar, std::uint32_t startColour) {
    BarShading out;
    auto add = [&](const PixelRect& r, std::uint32_t colour) {
        if (!IsEmpty(r) && out.count < kMaxShadeSteps)
            out.steps[out.count++] = {r, colour};
    };
    PixelRect r = bar;
    std::uint32_t colour = startColour & 0xFFFFFF;
    add(r, colour);
    r = Deflated(r, 1);
    colour = AddCapped(colour, 5);
    add(r, colour);
    r = Deflated(r, 1);
    colour = AddBelowTop(colour, 10);
    // Only the top and bottom close in from here on, so the bar ends in a light middle line.
    while (!IsEmpty(r) && out.count < kMaxShadeSteps) {
        add(r, colour);
        ++r.top;
        --r.bottom;
        colour = AddBelowTop(colour, 10);
    }
    return out;
}

std::string DoubleAmpersands(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (char c : text) {
        out.push_back(c);
        if (c == '&')
            out.push_back('&');
    }
    return out;
}

HeaderItemPieces LayoutHeaderItem(const PixelRect& r, bool shownFirst, const HeaderSizes& s) {
    HeaderItemPieces out;
    // Every column after the first starts one pixel to the left, over the previous column's end cap, so that the
    // two caps read as one divider.
    const int capLeft = shownFirst ? r.left : r.left - 1;
    out.startCap = {capLeft, r.top, capLeft + s.startWidth, r.top + s.bitmapHeight};
    if (!shownFirst)
        out.spanColumn = {capLeft + s.startWidth, r.top, capLeft + s.startWidth + s.spanWidth, r.top + s.bitmapHeight};
    out.middle = {r.left + s.startWidth, 0, r.left + s.startWidth + r.Width(), s.bitmapHeight};
    out.endCap = {r.right - s.endWidth, 0, r.right, s.bitmapHeight};
    out.title = {r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
    return out;
}

Slices FitSlices(int real, int nominal) {
    Slices out;
    if (real <= 0 || nominal <= 0)
        return out;
    if (real >= nominal) {
        out.slice[out.count++] = {0, nominal, 0, nominal};
        return out;
    }
    const int end = real / 4;
    if (end == 0) {
        out.slice[out.count++] = {0, real, 0, nominal};
        return out;
    }
    out.slice[out.count++] = {0, end, 0, end};
    out.slice[out.count++] = {end, real - 2 * end, end, nominal - 2 * end};
    out.slice[out.count++] = {real - end, end, nominal - end, end};
    return out;
}
