#include "tests/support/Canvas.h"

namespace {

HBITMAP MakeDib(int width, int height, unsigned char** bits) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* memory = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    *bits = static_cast<unsigned char*>(memory);
    return dib;
}

} // namespace

Canvas::Canvas(int width, int height, COLORREF fill)
    : w(width), h(height), memory(nullptr), bitmap(MakeDib(width, height, &bits)),
      selection(memory.hdc(), bitmap.get()) {
    Fill(fill);
}

COLORREF Canvas::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= w || y >= h || !bits)
        return CLR_INVALID;
    GdiFlush();
    const unsigned char* p = bits + (static_cast<size_t>(y) * w + x) * 4;
    return RGB(p[2], p[1], p[0]);
}

int Canvas::Count(COLORREF colour, int left, int top, int right, int bottom) const {
    int count = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            count += Pixel(x, y) == colour;
    return count;
}

void Canvas::Fill(COLORREF colour) {
    OwnedBrush brush(CreateSolidBrush(colour));
    RECT all = {0, 0, w, h};
    FillRect(memory.hdc(), &all, brush.get());
    GdiFlush();
}

int PaintedPixels::Count(COLORREF colour, int left, int top, int right, int bottom) const {
    int count = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            count += At(x, y) == colour;
    return count;
}

PaintedPixels PaintWindow(HWND window, COLORREF fill) {
    RECT client = {};
    GetClientRect(window, &client);
    Canvas canvas(client.right, client.bottom, fill);
    SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.hdc()), PRF_CLIENT);
    PaintedPixels out;
    out.width = canvas.width();
    out.height = canvas.height();
    out.pixels.resize(static_cast<size_t>(out.width) * out.height);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x)
            out.pixels[static_cast<size_t>(y) * out.width + x] = canvas.Pixel(x, y);
    return out;
}

HBITMAP MakeBitmap(int width, int height, const std::function<COLORREF(int, int)>& colourAt) {
    unsigned char* bits = nullptr;
    OwnedBitmap dib(MakeDib(width, height, &bits));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF c = colourAt(x, y);
            unsigned char* p = bits + (static_cast<size_t>(y) * width + x) * 4;
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
            p[3] = 0;
        }
    // A device-dependent copy, as LoadImage gives the program.
    HDC screen = GetDC(nullptr);
    HBITMAP ddb = CreateCompatibleBitmap(screen, width, height);
    {
        MemoryDC target(screen);
        MemoryDC source(screen);
        SelectGuard t(target.hdc(), ddb);
        SelectGuard s(source.hdc(), dib.get());
        BitBlt(target.hdc(), 0, 0, width, height, source.hdc(), 0, 0, SRCCOPY);
    }
    ReleaseDC(nullptr, screen);
    return ddb;
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info))
        return {0, 0};
    return {info.bmWidth, info.bmHeight};
}

COLORREF BitmapPixel(HBITMAP bitmap, int x, int y) {
    MemoryDC dc(nullptr);
    SelectGuard selection(dc.hdc(), bitmap);
    return GetPixel(dc.hdc(), x, y);
}
