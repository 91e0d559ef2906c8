#include "tests/support/Canvas.h"

namespace {

// A 32-bit top-down DIB; *bits gets its pixels, four bytes each in the order blue, green, red, unused.
HBITMAP MakeDib(int width, int height, unsigned char** bits) {
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
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

void Canvas::Fill(COLORREF colour) {
    OwnedBrush brush(CreateSolidBrush(colour));
    const RECT all = {0, 0, w, h};
    FillRect(memory.hdc(), &all, brush.get());
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
    const Canvas canvas(client.right, client.bottom, fill);
    SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.hdc()), PRF_CLIENT);
    PaintedPixels out{canvas.width(), canvas.height(), {}};
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x)
            out.pixels.push_back(canvas.Pixel(x, y));
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
        }
    // A device-dependent copy, as LoadImage gives the program.
    const ClientDC screen(nullptr);
    HBITMAP ddb = CreateCompatibleBitmap(screen.hdc(), width, height);
    const MemoryDC target(screen.hdc());
    const MemoryDC source(screen.hdc());
    const SelectGuard t(target.hdc(), ddb);
    const SelectGuard s(source.hdc(), dib.get());
    BitBlt(target.hdc(), 0, 0, width, height, source.hdc(), 0, 0, SRCCOPY);
    return ddb;
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info))
        return {0, 0};
    return {info.bmWidth, info.bmHeight};
}

COLORREF BitmapPixel(HBITMAP bitmap, int x, int y) {
    const MemoryDC dc(nullptr);
    const SelectGuard selection(dc.hdc(), bitmap);
    return GetPixel(dc.hdc(), x, y);
}
