#include "skin/SkinBitmapDraw.h"

#include "skin/ListGeometry.h"

#include "framework/Gdi.h"

#include <algorithm>

namespace {

SIZE RealSize(HBITMAP bitmap) {
    BITMAP info = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info))
        return {0, 0};
    return {info.bmWidth, std::abs(info.bmHeight)};
}

} // namespace

void DrawSkinBitmap(HDC target, HDC scratch, HBITMAP bitmap, int x, int y, int width, int height) {
    const SIZE real = RealSize(bitmap);
    const Slices across = FitSlices(real.cx, width);
    const Slices down = FitSlices(real.cy, height);
    if (across.count == 0 || down.count == 0)
        return;
    SelectGuard selection(scratch, bitmap);
    SetStretchBltMode(target, COLORONCOLOR);
    for (int i = 0; i < across.count; ++i) {
        const Slice& h = across.slice[i];
        for (int j = 0; j < down.count; ++j) {
            const Slice& v = down.slice[j];
            if (h.sourceLength == h.targetLength && v.sourceLength == v.targetLength)
                BitBlt(target, x + h.target, y + v.target, h.targetLength, v.targetLength, scratch, h.source, v.source,
                       SRCCOPY);
            else
                StretchBlt(target, x + h.target, y + v.target, h.targetLength, v.targetLength, scratch, h.source,
                           v.source, h.sourceLength, v.sourceLength, SRCCOPY);
        }
    }
}

void StretchSkinBitmap(HDC target, HDC scratch, HBITMAP bitmap, int sourceWidth, int sourceHeight, int x, int y,
                       int width, int height) {
    const SIZE real = RealSize(bitmap);
    const int w = std::min<int>(sourceWidth, real.cx);
    const int h = std::min<int>(sourceHeight, real.cy);
    if (w <= 0 || h <= 0 || width <= 0 || height <= 0)
        return;
    SelectGuard selection(scratch, bitmap);
    SetStretchBltMode(target, COLORONCOLOR);
    StretchBlt(target, x, y, width, height, scratch, 0, 0, w, h, SRCCOPY);
}

void FillSolidRect(HDC dc, const RECT& rect, COLORREF colour) {
    // ExtTextOut with an opaque rectangle fills without creating a brush.
    const COLORREF previous = SetBkColor(dc, colour);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    SetBkColor(dc, previous);
}
