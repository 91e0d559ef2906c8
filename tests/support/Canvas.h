#pragma once
// Pixels that can be read back exactly: a memory canvas, bitmaps made in memory, and a window painted through
// WM_PRINTCLIENT.

#include "framework/Gdi.h"

#include <windows.h>

#include <functional>
#include <vector>

// A memory DC holding a 32-bit top-down DIB of the given size, filled with fill: a stand-in for a window's DC.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill = RGB(255, 255, 255));
    HDC hdc() const { return memory.hdc(); }
    int width() const { return w; }
    int height() const { return h; }
    // CLR_INVALID outside the canvas.
    COLORREF Pixel(int x, int y) const;
    // How many pixels in [left, right) x [top, bottom) have exactly this colour, or any other.
    int Count(COLORREF colour, int left, int top, int right, int bottom) const;
    int Count(COLORREF colour) const { return Count(colour, 0, 0, w, h); }
    int CountOther(COLORREF colour, int left, int top, int right, int bottom) const {
        return (right - left) * (bottom - top) - Count(colour, left, top, right, bottom);
    }
    void Fill(COLORREF colour);

private:
    int w;
    int h;
    unsigned char* bits = nullptr; // before the bitmap, whose creation sets it
    MemoryDC memory;
    OwnedBitmap bitmap;
    SelectGuard selection;
};

// A window's client area as painted into a canvas of its size (filled with fill first) through WM_PRINTCLIENT.
struct PaintedPixels {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;
    // CLR_INVALID outside.
    COLORREF At(int x, int y) const {
        return x >= 0 && y >= 0 && x < width && y < height ? pixels[static_cast<size_t>(y) * width + x] : CLR_INVALID;
    }
    int Count(COLORREF colour, int left, int top, int right, int bottom) const;
    int Count(COLORREF colour) const { return Count(colour, 0, 0, width, height); }
};
PaintedPixels PaintWindow(HWND window, COLORREF fill = RGB(1, 2, 3));

// A device-dependent bitmap of the screen's format, each pixel from colourAt(x, y).
HBITMAP MakeBitmap(int width, int height, const std::function<COLORREF(int, int)>& colourAt);
SIZE BitmapSize(HBITMAP bitmap);
COLORREF BitmapPixel(HBITMAP bitmap, int x, int y);

// The point's lParam.
inline LPARAM PointParam(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y)));
}
