#pragma once
// Helpers of the skin tests: pixel canvases, bitmaps made in memory, files and the registry value.

#include "framework/Gdi.h"
#include "framework/Wnd.h"

#include <windows.h>

#include <functional>
#include <string>

// A memory DC holding a 32-bit top-down DIB of the given size, filled with fill: a stand-in for a window's DC whose
// pixels can be read back exactly.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill = RGB(255, 255, 255));
    HDC hdc() const { return memory.hdc(); }
    int width() const { return w; }
    int height() const { return h; }
    COLORREF Pixel(int x, int y) const;
    // How many pixels in [left, right) x [top, bottom) have exactly this colour.
    int Count(COLORREF colour, int left, int top, int right, int bottom) const;
    int Count(COLORREF colour) const { return Count(colour, 0, 0, w, h); }
    void Fill(COLORREF colour);

private:
    int w;
    int h;
    unsigned char* bits = nullptr; // before the bitmap, whose creation sets it
    MemoryDC memory;
    OwnedBitmap bitmap;
    SelectGuard selection;
};

// A device-dependent bitmap of the screen's format, each pixel from colourAt(x, y).
HBITMAP MakeBitmap(int width, int height, const std::function<COLORREF(int, int)>& colourAt);
SIZE BitmapSize(HBITMAP bitmap);
COLORREF BitmapPixel(HBITMAP bitmap, int x, int y);

// A folder of its own under the temporary folder, removed with everything in it when the object goes. path() ends
// in "\".
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::string& path() const { return folder; }
    std::string Write(const std::string& name, const std::string& bytes) const;
    // A 24-bit bitmap file of one colour.
    std::string WriteBmp(const std::string& name, int width, int height, COLORREF colour) const;

private:
    std::string folder;
};

// The bytes of a 24-bit BMP file of one colour.
std::string BmpFileBytes(int width, int height, COLORREF colour);

// HKCU "Software\Movara\SkinIni": the value found when the test started comes back when it ends; in between the
// test sets or clears it.
class SkinRegistryValue {
public:
    SkinRegistryValue();
    ~SkinRegistryValue();
    static bool Set(const std::string& value);
    static void Remove();
    // The default value, or nothing when the key does not exist.
    static bool Read(std::string& value);

private:
    bool hadValue = false;
    std::string saved;
};

// Pumps this thread's messages for about the given time.
void PumpMessagesFor(DWORD milliseconds);
