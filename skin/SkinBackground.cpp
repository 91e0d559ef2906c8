#include "skin/SkinBackground.h"

#include "skin/SkinSettings.h"

#include "framework/Gdi.h"

namespace {

constexpr int kBorderWidth = 3;
constexpr int kBorderInset = 4;
constexpr COLORREF kBorderLight = RGB(224, 224, 224);
constexpr COLORREF kBorderDark = RGB(96, 96, 96);

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info))
        return {0, 0};
    return {info.bmWidth, info.bmHeight};
}

} // namespace

void PaintSkinnedBackground(HDC dc, int width, int height, HBITMAP backgroundBitmap, HBITMAP titleBitmap) {
    if (!dc || width <= 0 || height <= 0)
        return;
    // The caller's DC: whatever is selected or clipped here is put back, so that later drawing in the same paint is
    // not limited to the border strip the last clip leaves.
    SavedDC saved(dc);
    SetStretchBltMode(dc, COLORONCOLOR);

    const SIZE body = BitmapSize(backgroundBitmap);
    if (body.cy > 0) {
        MemoryDC source(dc);
        SelectGuard selection(source.hdc(), backgroundBitmap);
        for (int y = 0; y < height; y += body.cy)
            StretchBlt(dc, 0, y, width, body.cy, source.hdc(), 0, 0, body.cx, body.cy, SRCCOPY);
    }
    const SIZE title = BitmapSize(titleBitmap);
    if (title.cy > 0) {
        MemoryDC source(dc);
        SelectGuard selection(source.hdc(), titleBitmap);
        StretchBlt(dc, 0, 0, width, title.cy, source.hdc(), 0, 0, title.cx, title.cy, SRCCOPY);
    }

    OwnedPen light(CreatePen(PS_SOLID, kBorderWidth, kBorderLight));
    OwnedPen dark(CreatePen(PS_SOLID, kBorderWidth, kBorderDark));
    SelectGuard noFill(dc, GetStockObject(NULL_BRUSH));
    {
        // Only the top and left edges of the light outline show.
        SelectGuard pen(dc, light.get());
        ExcludeClipRect(dc, kBorderInset, kBorderInset, width, height);
        Rectangle(dc, 0, 0, width, height);
    }
    {
        // Then only the right and bottom edges of the dark one.
        SelectClipRgn(dc, nullptr);
        SelectGuard pen(dc, dark.get());
        ExcludeClipRect(dc, 0, 0, width - kBorderInset, height - kBorderInset);
        Rectangle(dc, 0, 0, width, height);
    }
}

void PaintSkinnedDialogBackground(HWND window, HDC dc) {
    RECT client = {};
    if (!GetClientRect(window, &client))
        return;
    PaintSkinnedBackground(dc, client.right - client.left, client.bottom - client.top, skinSettings.backgroundBitmap,
                           skinSettings.titleBitmap);
}
