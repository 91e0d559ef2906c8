#include "tests/support/Screenshot.h"

#include <vector>

// The GDI+ flat API, declared here: the C++ wrapper headers need min/max macros that this project turns off.
namespace {

using GpStatus = int;
struct GpBitmap;
struct GdiplusStartupInputA {
    UINT32 GdiplusVersion = 1;
    void* DebugEventCallback = nullptr;
    BOOL SuppressBackgroundThread = FALSE;
    BOOL SuppressExternalCodecs = FALSE;
};

} // namespace

extern "C" {
GpStatus WINAPI GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInputA* input, void* output);
void WINAPI GdiplusShutdown(ULONG_PTR token);
GpStatus WINAPI GdipCreateBitmapFromHBITMAP(HBITMAP bitmap, HPALETTE palette, GpBitmap** result);
GpStatus WINAPI GdipSaveImageToFile(GpBitmap* image, const WCHAR* filename, const CLSID* encoder,
                                    const void* parameters);
GpStatus WINAPI GdipDisposeImage(GpBitmap* image);
}

namespace {

// {557CF406-1A04-11D3-9A73-0000F81EF32E}: the PNG encoder.
constexpr CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

std::wstring Widen(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::vector<WCHAR> wide(static_cast<size_t>(length > 0 ? length : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    return std::wstring(wide.data());
}

HBITMAP CopyFromDC(HDC source, int x, int y, int width, int height) {
    if (!source || width <= 0 || height <= 0)
        return nullptr;
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateCompatibleBitmap(source, width, height);
    if (memory && bitmap) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
        SelectObject(memory, previous);
    }
    if (memory)
        DeleteDC(memory);
    return bitmap;
}

} // namespace

bool SaveBitmapPng(HBITMAP bitmap, const std::string& path) {
    if (!bitmap)
        return false;
    ULONG_PTR token = 0;
    GdiplusStartupInputA input;
    if (GdiplusStartup(&token, &input, nullptr) != 0)
        return false;
    bool saved = false;
    GpBitmap* image = nullptr;
    if (GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &image) == 0 && image) {
        saved = GdipSaveImageToFile(image, Widen(path).c_str(), &kPngEncoder, nullptr) == 0;
        GdipDisposeImage(image);
    }
    GdiplusShutdown(token);
    return saved;
}

HBITMAP CaptureWindow(HWND window) {
    RECT rect = {};
    if (!GetWindowRect(window, &rect))
        return nullptr;
    HDC dc = GetWindowDC(window);
    HBITMAP bitmap = CopyFromDC(dc, 0, 0, rect.right - rect.left, rect.bottom - rect.top);
    if (dc)
        ReleaseDC(window, dc);
    return bitmap;
}

HBITMAP CaptureScreen() {
    HDC dc = GetDC(nullptr);
    HBITMAP bitmap = CopyFromDC(dc, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    if (dc)
        ReleaseDC(nullptr, dc);
    return bitmap;
}

bool SaveWindowPng(HWND window, const std::string& path) {
    HBITMAP bitmap = CaptureWindow(window);
    const bool saved = SaveBitmapPng(bitmap, path);
    if (bitmap)
        DeleteObject(bitmap);
    return saved;
}

bool SaveScreenPng(const std::string& path) {
    HBITMAP bitmap = CaptureScreen();
    const bool saved = SaveBitmapPng(bitmap, path);
    if (bitmap)
        DeleteObject(bitmap);
    return saved;
}
