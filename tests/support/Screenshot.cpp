#include "tests/support/Screenshot.h"

#include "framework/Gdi.h"
#include "framework/TextDraw.h"

// The GDI+ flat API, declared here: the C++ wrapper headers need min/max macros that this project turns off.
namespace {

struct GpBitmap;
struct GdiplusStartupInputA {
    UINT32 GdiplusVersion = 1;
    void* DebugEventCallback = nullptr;
    BOOL SuppressBackgroundThread = FALSE;
    BOOL SuppressExternalCodecs = FALSE;
};

} // namespace

extern "C" {
int WINAPI GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInputA* input, void* output);
void WINAPI GdiplusShutdown(ULONG_PTR token);
int WINAPI GdipCreateBitmapFromHBITMAP(HBITMAP bitmap, HPALETTE palette, GpBitmap** result);
int WINAPI GdipSaveImageToFile(GpBitmap* image, const WCHAR* filename, const CLSID* encoder, const void* parameters);
int WINAPI GdipDisposeImage(GpBitmap* image);
}

namespace {

// {557CF406-1A04-11D3-9A73-0000F81EF32E}: the PNG encoder.
constexpr CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

} // namespace

bool SaveWindowPng(HWND window, const std::string& path) {
    RECT rect = {};
    if (!GetWindowRect(window, &rect))
        return false;
    HDC dc = GetWindowDC(window);
    const OwnedBitmap bitmap(CreateCompatibleBitmap(dc, rect.right - rect.left, rect.bottom - rect.top));
    {
        const MemoryDC memory(dc);
        const SelectGuard selection(memory.hdc(), bitmap.get());
        BitBlt(memory.hdc(), 0, 0, rect.right - rect.left, rect.bottom - rect.top, dc, 0, 0, SRCCOPY);
    }
    ReleaseDC(window, dc);
    ULONG_PTR token = 0;
    GdiplusStartupInputA input;
    if (!bitmap || GdiplusStartup(&token, &input, nullptr) != 0)
        return false;
    GpBitmap* image = nullptr;
    const bool saved = GdipCreateBitmapFromHBITMAP(bitmap.get(), nullptr, &image) == 0 && image &&
                       GdipSaveImageToFile(image, WidenText(path).c_str(), &kPngEncoder, nullptr) == 0;
    if (image)
        GdipDisposeImage(image);
    GdiplusShutdown(token);
    return saved;
}
